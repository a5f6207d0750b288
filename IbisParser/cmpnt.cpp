// [Component]: records are opened and released; lines are accepted without
// findings until the section's checks are written.

#include "IbisParser/cmpnt.h"

#include "IbisParser/cmn.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msg.h"

#define CMPNT_MODULE "IbisParser\\cmpnt"

int CMPNT_Open() {
    IBIS* ibis = nullptr;
    if (!IBIS_Current(&ibis)) {
        MSG_BugLine(500, CMPNT_MODULE, __LINE__);
        return 0;
    }
    CMPNT* record = nullptr;
    if (!CMN_Calloc(&record, sizeof *record)) {
        MSG_ErrorLine(512);
        return 0;
    }
    IBIS_AddComponent(ibis, record);
    return 1;
}

int CMPNT_HandleLine(int, int, char*) { return 1; }

void CMPNT_KeywordChange(int) {}

void CMPNT_CheckList(CMPNT*, CIRCUIT*, MDL*) {}

void CMPNT_FreeList(CMPNT* list) {
    while (list != nullptr) {
        CMPNT* next = list->next;
        CMN_Free(list);
        list = next;
    }
}
