// [Test Load]: opening records, handing lines to the line readers, the
// lookup by name and releasing records.

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msel_names.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"
#include "IbisParser/parse_keywords.h"
#include "IbisParser/rng.h"
#include "IbisParser/testload_internal.h"

TESTLOAD* g_testloadOpen = nullptr;

int TESTLOAD_Open() {
    g_testloadOpen = nullptr;
    IBIS* ibis = nullptr;
    if (!IBIS_Current(&ibis)) return 0;
    TESTLOAD* record = nullptr;
    if (!CMN_Calloc(&record, sizeof *record)) {
        MSG_Bug(2200, TESTLOAD_MODULE, __LINE__);
        return 0;
    }
    TESTLOAD* head = IBIS_GetTestLoads(ibis);
    record->index = head != nullptr ? head->index : MSEL_NamesNew();
    IBIS_AddTestLoad(ibis, record);
    g_testloadOpen = record;
    return 1;
}

int TESTLOAD_HandleLine(int lineClass, int keyword, char* line) {
    MSG_REQUIRE(line != nullptr, TESTLOAD_MODULE);
    TESTLOAD* load = g_testloadOpen;
    if (lineClass == PARSE_LINE_KEYWORD) {
        if (load == nullptr) {
            MSG_ErrorLine(2202);
            return 1;
        }
        if (keyword == KW::TEST_LOAD)
            TESTLOAD_NameLine(load, line);
        else
            MSG_BugLine(2204, TESTLOAD_MODULE, __LINE__);
        return 1;
    }
    if (load == nullptr) {
        MSG_ErrorLine(2203);
        return 1;
    }
    if (keyword == KW::TEST_LOAD)
        TESTLOAD_SubParameterLine(load, line);
    else
        MSG_ErrorLine(2205);
    return 1;
}

void TESTLOAD_KeywordChange(int) {
    // [Test Load] is a keyword of its own: whatever follows it ends the load.
    TESTLOAD* load = g_testloadOpen;
    if (load == nullptr) return;
    g_testloadOpen = nullptr;
    TESTLOAD_CheckLoad(load);
}

TESTLOAD* TESTLOAD_Find(const TESTLOAD* list, const char* name) {
    MSG_REQUIRE(name != nullptr, TESTLOAD_MODULE);
    if (list == nullptr) return nullptr;
    if (MSEL_NamesComplete(list->index)) return static_cast<TESTLOAD*>(MSEL_NamesFind(list->index, name));
    for (const TESTLOAD* load = list; load != nullptr; load = load->next)
        if (std::strcmp(load->name, name) == 0) return const_cast<TESTLOAD*>(load);
    return nullptr;
}

void TESTLOAD_FreeList(TESTLOAD* list) {
    if (list == nullptr) return;
    MSEL_NamesFree(list->index);
    while (list != nullptr) {
        TESTLOAD* next = list->next;
        if (list == g_testloadOpen) g_testloadOpen = nullptr;
        RNG_Free(list->vTerm1);
        RNG_Free(list->vTerm2);
        CMN_Free(list);
        list = next;
    }
}
