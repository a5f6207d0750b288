// [Submodel]: records are opened and released; lines are accepted without
// findings until the section's checks are written.

#include "IbisParser/submdl.h"

#include "IbisParser/cmn.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msg.h"

#define SUBMDL_MODULE "IbisParser\\submdl"

int SUBMDL_Open() {
    IBIS* ibis = nullptr;
    if (!IBIS_Current(&ibis)) {
        return 0;
    }
    SUBMDL* record = nullptr;
    if (!CMN_Calloc(&record, sizeof *record)) {
        MSG_Bug(2400, SUBMDL_MODULE, __LINE__);
        return 0;
    }
    IBIS_AddSubmodel(ibis, record);
    return 1;
}

int SUBMDL_HandleLine(int, int, char*) { return 1; }

void SUBMDL_KeywordChange(int) {}

void SUBMDL_CheckReferences(SUBMDL*, MDL*) {}

void SUBMDL_FreeList(SUBMDL* list) {
    while (list != nullptr) {
        SUBMDL* next = list->next;
        CMN_Free(list);
        list = next;
    }
}
