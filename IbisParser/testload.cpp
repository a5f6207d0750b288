// [Test Load]: records are opened and released; lines are accepted without
// findings until the section's checks are written.

#include "IbisParser/testload.h"

#include "IbisParser/cmn.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msg.h"

#define TESTLOAD_MODULE "IbisParser\\testload"

int TESTLOAD_Open() {
    IBIS* ibis = nullptr;
    if (!IBIS_Current(&ibis)) {
        return 0;
    }
    TESTLOAD* record = nullptr;
    if (!CMN_Calloc(&record, sizeof *record)) {
        MSG_Bug(2200, TESTLOAD_MODULE, __LINE__);
        return 0;
    }
    IBIS_AddTestLoad(ibis, record);
    return 1;
}

int TESTLOAD_HandleLine(int, int, char*) { return 1; }

void TESTLOAD_KeywordChange(int) {}

void TESTLOAD_CheckList(TESTLOAD*) {}

void TESTLOAD_FreeList(TESTLOAD* list) {
    while (list != nullptr) {
        TESTLOAD* next = list->next;
        CMN_Free(list);
        list = next;
    }
}
