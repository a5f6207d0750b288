// [Test Data]: opening records, handing lines to the line readers, closing
// keywords and releasing records.

#include "IbisParser/cmn.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msel_names.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"
#include "IbisParser/parse_keywords.h"
#include "IbisParser/testdata_internal.h"
#include "IbisParser/wvfrm.h"

TestdataState g_testdata;

namespace {

bool IsWaveformKeyword(int keyword) {
    return keyword >= KW::RISING_WAVEFORM_NEAR && keyword <= KW::DIFF_FALLING_WAVEFORM_FAR;
}

void FreeTestData(TESTDATA* data) {
    // A waveform still being read stops being current as it goes.
    for (WVFRM* waveform : data->waveform) WVFRM_Free(waveform);
    CMN_Free(data);
}

}  // namespace

const char* TESTDATA_WaveformLabel(int keyword) {
    switch (keyword) {
        case KW::RISING_WAVEFORM_NEAR: return "Rising Waveform Near";
        case KW::RISING_WAVEFORM_FAR: return "Rising Waveform Far";
        case KW::FALLING_WAVEFORM_NEAR: return "Falling Waveform Near";
        case KW::FALLING_WAVEFORM_FAR: return "Falling Waveform Far";
        case KW::DIFF_RISING_WAVEFORM_NEAR: return "Diff Rising Waveform Near";
        case KW::DIFF_RISING_WAVEFORM_FAR: return "Diff Rising Waveform Far";
        case KW::DIFF_FALLING_WAVEFORM_NEAR: return "Diff Falling Waveform Near";
        case KW::DIFF_FALLING_WAVEFORM_FAR: return "Diff Falling Waveform Far";
        default: return nullptr;
    }
}

int TESTDATA_Open() {
    g_testdata = TestdataState{};
    IBIS* ibis = nullptr;
    if (!IBIS_Current(&ibis)) return 0;
    TESTDATA* record = nullptr;
    if (!CMN_Calloc(&record, sizeof *record)) {
        MSG_Bug(2300, TESTDATA_MODULE, __LINE__);
        return 0;
    }
    TESTDATA* head = IBIS_GetTestData(ibis);
    record->index = head != nullptr ? head->index : MSEL_NamesNew();
    IBIS_AddTestData(ibis, record);
    g_testdata.open = record;
    g_testdata.lastKeyword = KW::TEST_DATA;
    return 1;
}

int TESTDATA_HandleLine(int lineClass, int keyword, char* line) {
    MSG_REQUIRE(line != nullptr, TESTDATA_MODULE);
    TESTDATA* data = g_testdata.open;
    if (lineClass == PARSE_LINE_KEYWORD) {
        if (data == nullptr) {
            MSG_ErrorLine(2302);
            return 1;
        }
        g_testdata.lastKeyword = keyword;
        if (keyword == KW::TEST_DATA)
            TESTDATA_NameLine(data, line);
        else if (IsWaveformKeyword(keyword))
            TESTDATA_WaveformLine(data, keyword, line);
        else
            MSG_BugLine(2312, TESTDATA_MODULE, __LINE__);
        return 1;
    }
    if (data == nullptr) {
        MSG_ErrorLine(2303);
        return 1;
    }
    const int last = g_testdata.lastKeyword;
    if (last == KW::TEST_DATA)
        TESTDATA_SubParameterLine(data, line);
    else if (const char* label = TESTDATA_WaveformLabel(last))
        WVFRM_DataLine(line, label);
    else
        MSG_ErrorLine(2313);
    return 1;
}

void TESTDATA_KeywordChange(int next) {
    TESTDATA* data = g_testdata.open;
    if (data == nullptr) return;
    const int last = g_testdata.lastKeyword;
    if (last == KW::TEST_DATA)
        TESTDATA_CheckSubParameters(data);
    else if (const char* label = TESTDATA_WaveformLabel(last))
        WVFRM_End(label, WVFRM_KIND_GOLDEN);
    if (IsWaveformKeyword(next)) return;
    TESTDATA_CheckWaveformSet(data);
    g_testdata = TestdataState{};
}

void TESTDATA_FreeList(TESTDATA* list) {
    if (list == nullptr) return;
    MSEL_NamesFree(list->index);
    while (list != nullptr) {
        TESTDATA* next = list->next;
        if (list == g_testdata.open) g_testdata = TestdataState{};
        FreeTestData(list);
        list = next;
    }
}
