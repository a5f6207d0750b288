// Waveforms: pulse tables, golden waveforms, the list limit and the time
// points a composite current shares with its waveform.

#include "IbisParser/wvfrm.h"

#include <gtest/gtest.h>

#include <string>

#include "IbisParser/hdr.h"
#include "checker_test_support.h"

namespace {

void Rows(std::initializer_list<const char*> rows, const char* label) {
    for (const char* row : rows) WVFRM_DataLine(row, label);
}

TEST(WvfrmPulseTable, EndsMustMatchAndOffsetsKeepTheirSide) {
    CheckerSession session;
    WVFRM* gnd = nullptr;
    WVFRM_StartIn("[GND Pulse Table]", &gnd, "GND Pulse");
    Rows({"0 0 0 0", "1n -0.2 -0.1 0.3", "2n -0.3 0.2 0.4", "3n 0.1 0 0"}, "GND Pulse Table");
    WVFRM_End("GND Pulse Table", WVFRM_KIND_PULSE);
    EXPECT_EQ(WVFRM_Current(), nullptr);
    EXPECT_EQ(
        session.Take(),
        "E2007 - First Typical Value should be the same as the Last for GND Pulse Table Waveform Beginning at Line 0\n"
        "W2008 - Found some GND Pulse Table (Typical) offsets less than 0 for Table Beginning at Line 0\n"
        "W2008 - Found some GND Pulse Table (Minimum) offsets less than 0 for Table Beginning at Line 0\n");
    WVFRM* power = nullptr;
    WVFRM_StartIn("[POWER Pulse Table]", &power, "POWER Pulse");
    Rows({"0 0 NA 0", "1n 0.2 -0.1 0", "2n 0 -0.1 0"}, "POWER Pulse Table");
    WVFRM_End("POWER Pulse Table", WVFRM_KIND_PULSE);
    // A pulse table has no fixture, so none is missing.
    EXPECT_EQ(session.Take(),
              "E2006 - First Minimum Value Cannot Be 'NA' for POWER Pulse Table Waveform Beginning at Line 0\n"
              "W2009 - Found some POWER Pulse Table (Typical) offsets greater than 0 for Table Beginning at Line 0\n");
    WVFRM_Free(gnd);
    WVFRM_Free(power);
}

TEST(WvfrmRows, PulseTablesKeepTheHundredRowLimit) {
    CheckerSession session;
    HDR_SetVersionLevel(5);
    WVFRM* pulse = nullptr;
    WVFRM_StartIn("[GND Pulse Table]", &pulse, "GND Pulse");
    for (int i = 0; i < 101; ++i) WVFRM_DataLine((std::to_string(i) + "n 0 0 0").c_str(), "GND Pulse Table");
    EXPECT_EQ(session.Take(),
              "E2018 (line    0) -\n    More than 100 data points provided for GND Pulse Table table\n");
    WVFRM_Free(pulse);
    EXPECT_EQ(WVFRM_Current(), nullptr);  // releasing the current waveform forgets it
    WVFRM_DataLine("0 0 0 0", "GND Pulse Table");
    EXPECT_EQ(session.Take(), "");
}

TEST(WvfrmRows, GoldenWaveformsTakeNoSubParameters) {
    CheckerSession session;
    WVFRM* golden = nullptr;
    WVFRM_StartIn("[Rising Waveform Near]", &golden, "Rising Waveform Near");
    Rows({"R_fixture = 50", "0 0 0 0", "1n 1 1 1"}, "Rising Waveform Near");
    WVFRM_End("Rising Waveform Near", WVFRM_KIND_GOLDEN);
    EXPECT_EQ(session.Take(), "E2010 (line    0) - SubParameters are not allowed in Golden Waveforms\n");
    EXPECT_EQ(golden->fixtureGiven[WVFRM_R_FIXTURE], 0);
    EXPECT_EQ(golden->points.count, 2);
    WVFRM_Free(golden);
}

TEST(WvfrmList, HundredWaveformsPerKind) {
    CheckerSession session;
    WVFRM_LIST list{};
    for (int i = 0; i < 100; ++i) WVFRM_Start("[Rising Waveform]", &list, "Rising Waveform");
    EXPECT_EQ(session.Take(), "");
    WVFRM_Start("[Rising Waveform]", &list, "Rising Waveform");
    EXPECT_EQ(session.Take(), "E2000 (line    0) - More than 100 Rising Waveforms are defined\n");
    EXPECT_EQ(list.count, 101);
    EXPECT_EQ(WVFRM_Current(), list.tail);
    WVFRM_FreeList(&list);
    EXPECT_EQ(WVFRM_Current(), nullptr);
}

TEST(WvfrmComposite, TimePointsMustAgree) {
    CheckerSession session;
    WVFRM_LIST list{};
    const char* const times[][3] = {
        {"0 0 0 0", "1n 1 1 1", "2n 1 1 1"},  // waveform 1
        {"0 0 0 0", "1n 1 1 1", "2n 1 1 1"},  // waveform 2
        {"0 0 0 0", "1n 1 1 1", "2n 1 1 1"},  // waveform 3
    };
    const char* const composites[][3] = {
        {"0 5 5 5", "1.0000000001n 6 6 6", "2n 7 7 7"},  // agrees within 1e-6
        {"0 5 5 5", "1.1n 6 6 6", "2n 7 7 7"},           // a time differs
        {"0 5 5 5", "NA 6 6 6", "2n 7 7 7"},             // a time is missing
    };
    for (int w = 0; w < 3; ++w) {
        WVFRM* waveform = WVFRM_Start("[Rising Waveform]", &list, "Rising Waveform");
        Rows({times[w][0], times[w][1], times[w][2]}, "Rising Waveform");
        WVFRM_StartIn("[Composite Current]", &waveform->composite, "Composite Current");
        Rows({composites[w][0], composites[w][1], composites[w][2]}, "Composite Current");
    }
    WVFRM_Start("[Rising Waveform]", &list, "Rising Waveform");  // no composite: nothing to compare
    session.Take();
    WVFRM_CheckCompositeTimes("m", &list, "Rising");
    EXPECT_EQ(session.Take(),
              "E2021 - Model m: Rising Waveform [2] and its Composite Current don't have identical time points\n"
              "E2021 - Model m: Rising Waveform [3] and its Composite Current don't have identical time points\n");
    WVFRM_FreeList(&list);
}

}  // namespace
