// [Test Data]: records are opened and released; lines are accepted without
// findings until the section's checks are written.

#include "IbisParser/testdata.h"

#include "IbisParser/cmn.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msg.h"

#define TESTDATA_MODULE "IbisParser\\testdata"

int TESTDATA_Open() {
    IBIS* ibis = nullptr;
    if (!IBIS_Current(&ibis)) {
        return 0;
    }
    TESTDATA* record = nullptr;
    if (!CMN_Calloc(&record, sizeof *record)) {
        MSG_Bug(2300, TESTDATA_MODULE, __LINE__);
        return 0;
    }
    IBIS_AddTestData(ibis, record);
    return 1;
}

int TESTDATA_HandleLine(int, int, char*) { return 1; }

void TESTDATA_KeywordChange(int) {}

void TESTDATA_CheckList(TESTDATA*) {}

void TESTDATA_FreeList(TESTDATA* list) {
    while (list != nullptr) {
        TESTDATA* next = list->next;
        CMN_Free(list);
        list = next;
    }
}
