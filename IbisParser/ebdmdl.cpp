// [Begin Board Description]: records are opened and released; lines are accepted without
// findings until the section's checks are written.

#include "IbisParser/ebdmdl.h"

#include "IbisParser/cmn.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msg.h"

#define EBDMDL_MODULE "IbisParser\\ebdmdl"

int EBDMDL_Open() {
    IBIS* ibis = nullptr;
    if (!IBIS_Current(&ibis)) {
        MSG_BugLine(4300, EBDMDL_MODULE, __LINE__);
        return 0;
    }
    EBDMDL* record = nullptr;
    if (!CMN_Calloc(&record, sizeof *record)) {
        MSG_ErrorLine(4307);
        return 0;
    }
    IBIS_AddBoard(ibis, record);
    return 1;
}

int EBDMDL_HandleLine(int, int, char*) { return 1; }

void EBDMDL_KeywordChange(int) {}

void EBDMDL_CheckList(EBDMDL*, int) {}

void EBDMDL_FreeList(EBDMDL* list) {
    while (list != nullptr) {
        EBDMDL* next = list->next;
        CMN_Free(list);
        list = next;
    }
}
