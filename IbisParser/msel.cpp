// [Model Selector]: records are opened and released; lines are accepted without
// findings until the section's checks are written.

#include "IbisParser/msel.h"

#include "IbisParser/cmn.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msg.h"

#define MSEL_MODULE "IbisParser\\msel"

int MSEL_Open() {
    IBIS* ibis = nullptr;
    if (!IBIS_Current(&ibis)) {
        MSG_BugLine(4000, MSEL_MODULE, __LINE__);
        return 0;
    }
    MSEL* record = nullptr;
    if (!CMN_Calloc(&record, sizeof *record)) {
        MSG_ErrorLine(4007);
        return 0;
    }
    IBIS_AddSelector(ibis, record);
    return 1;
}

int MSEL_HandleLine(int, int, char*) { return 1; }

void MSEL_KeywordChange(int) {}

void MSEL_CheckList(MSEL*) {}

void MSEL_FreeList(MSEL* list) {
    while (list != nullptr) {
        MSEL* next = list->next;
        CMN_Free(list);
        list = next;
    }
}
