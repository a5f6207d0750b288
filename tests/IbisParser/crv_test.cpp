// I-V tables: rows, the repeated-voltage lookup, the closing checks that the
// golden files do not reach, interpolation and [Series MOSFET] entries.

#include "IbisParser/crv.h"

#include <gtest/gtest.h>

#include <string>

#include "IbisParser/cmn.h"
#include "IbisParser/mdl_types.h"
#include "IbisParser/parse_keywords.h"
#include "IbisParser/rng.h"
#include "checker_test_support.h"

namespace {

CRV* TableOf(std::initializer_list<const char*> rows, const char* label = "Pulldown") {
    CRV* table = nullptr;
    EXPECT_EQ(CRV_Start("[Pulldown]", &table, label), 1);
    for (const char* row : rows) CRV_Row(row, table, label);
    return table;
}

TEST(CrvRows, RepeatsAreFoundInAnyOrderOnlyOnce) {
    CheckerSession session;
    // Out of order from the third row on, so the set of seen voltages is
    // built; -0 and 0 are the same voltage.
    CRV* table = TableOf({"1 0 0 0", "3 0 0 0", "2 0 0 0", "-0.0 0 0 0", "0 0 0 0", "2.5 0 0 0", "3 0 0 0", "4 0 0 0"});
    EXPECT_EQ(table->points.count, 8);
    EXPECT_EQ(session.Take(),
              "N1110 (line    0) - Pulldown Voltage data is non-monotonic\n"
              "W1403 (line    0) - Value 0.000000e+00 repeated in the First Column\n"
              "W1403 (line    0) - Value 3.000000e+00 repeated in the First Column\n");
    CRV_Free(table);
}

TEST(CrvRows, HundredRowLimitCanBeLifted) {
    CheckerSession session;
    CRV_SetUnlimitedPoints(1);
    CRV* table = nullptr;
    CRV_Start("[Pulldown]", &table, "Pulldown");
    for (int i = 0; i < 150; ++i) CRV_Row((std::to_string(i) + " 0 0 0").c_str(), table, "Pulldown");
    EXPECT_EQ(session.Take(), "");
    CRV_SetUnlimitedPoints(0);
    CRV_Row("150 0 0 0", table, "Pulldown");
    EXPECT_EQ(session.Take(), "");  // reported only on reaching the 101st row
    CRV_Free(table);
}

TEST(CrvEnd, DirectionNeedsAKnownTypeAndIsNotCheckedForIsso) {
    CheckerSession session;
    const char* const falling[] = {"-1 1 1 1", "1 -1 -1 -1"};
    for (int type : {MDL_TYPE_NONE, MDL_TYPE_INVALID}) {
        CRV* table = TableOf({falling[0], falling[1]});
        CRV_End("m", type, KW::PULLDOWN, table, "Pulldown", "Model");
        CRV_Free(table);
    }
    CRV* isso = TableOf({falling[0], falling[1]}, "ISSO_PD");
    CRV_End("m", MDL_TYPE_OUTPUT, KW::ISSO_PD, isso, "ISSO PD", "Model");
    CRV_Free(isso);
    EXPECT_EQ(session.Take(), "");

    // Series_Current of a series model is left alone; of anything else it
    // must fall. Series_MOSFET tables of series models must rise.
    CRV* current = TableOf({"-1 -1 -1 -1", "1 1 1 1"});
    CRV_End("s", MDL_TYPE_SERIES, KW::SERIES_CURRENT, current, "Series_Current", "Model");
    CRV_End("o", MDL_TYPE_OUTPUT, KW::SERIES_CURRENT, current, "Series_Current", "Model");
    CRV_Free(current);
    CRV* mosfet = TableOf({falling[0], falling[1]});
    CRV_End("s", MDL_TYPE_SERIES_SWITCH, KW::SERIES_MOSFET, mosfet, "Series_MOSFET", "Model");
    CRV_Free(mosfet);
    CRV* submodel = TableOf({falling[0], falling[1]});
    CRV_End("sub", MDL_TYPE_OUTPUT, KW::PULLDOWN, submodel, "Pulldown", "Submodel");
    CRV_Free(submodel);
    EXPECT_EQ(session.Take(),
              "W1112 - Model o: Series_Current has Increasing Current\n"
              "W1111 - Model s: Series_MOSFET has Decreasing Current\n"
              "W1111 - Submodel sub: Pulldown has Decreasing Current\n");
}

TEST(CrvEnd, EqualVoltagesKeepTheRowWithATypicalCurrent) {
    CheckerSession session;
    // The lowest voltage first comes with NA typ; the later row at the same
    // voltage replaces it, so the direction is judged (and found wrong).
    CRV* table = TableOf({"-1 NA 1 1", "-1 1 1 1", "1 -1 -1 -1"});
    CRV_End("m", MDL_TYPE_OUTPUT, KW::PULLDOWN, table, "Pulldown", "Model");
    CRV_Free(table);
    EXPECT_EQ(session.Take(),
              "W1403 (line    0) - Value -1.000000e+00 repeated in the First Column\n"
              "E1109 - First Typical Value Cannot Be 'NA' for Pulldown Beginning at Line 0\n"
              "W1111 - Model m: Pulldown has Decreasing Current\n");
}

TEST(CrvEnd, ClampCurrentsNearZeroCountAsCrossing) {
    CheckerSession session;
    CRV* table = TableOf({"-1 1e-7 2 -2", "0 0.5 3 -1", "1 1 4 -4e-7"}, "GND Clamp");
    CRV_End("m", MDL_TYPE_OUTPUT, KW::GND_CLAMP, table, "GND Clamp", "Model");
    CRV_Free(table);
    EXPECT_EQ(session.Take(), "W1114 - Model m: GND Clamp : Minimum value never becomes zero\n");
}

TEST(CrvCurrentAt, InterpolatesBetweenBracketingRows) {
    CheckerSession session;
    CRV* table = TableOf({"0 0 0 NA", "1 1 2 NA", "1.0000000001 5 5 5", "3 3 NA 9"});
    CRV_AT at;
    // Between 0 and 1 V; max is NA at both ends, which stands for typ.
    EXPECT_EQ(CRV_CurrentAt(table, 0.5, &at), 3);
    EXPECT_DOUBLE_EQ(at.value[RNG_TYP], 0.5);
    EXPECT_DOUBLE_EQ(at.value[RNG_MIN], 1.0);
    EXPECT_DOUBLE_EQ(at.value[RNG_MAX], 0.5);
    // The row hardly above 1 V is passed over, so 1 V and 3 V bracket 2 V.
    EXPECT_EQ(CRV_CurrentAt(table, 2.0, &at), 3);
    EXPECT_DOUBLE_EQ(at.value[RNG_TYP], 2.0);
    EXPECT_DOUBLE_EQ(at.value[RNG_MIN], 2.5);
    EXPECT_DOUBLE_EQ(at.value[RNG_MAX], 5.0);
    // Outside the table there is nothing to bracket.
    EXPECT_EQ(CRV_CurrentAt(table, 3.5, &at), 0);
    EXPECT_EQ(CRV_CurrentAt(table, -0.1, &at), 0);
    CRV_Free(table);
}

TEST(CrvCurrentAt, MissingValuesGiveNoColumn) {
    CheckerSession session;
    CRV* table = TableOf({"0 0 0 0", "1 1"});
    session.Take();
    CRV_AT at;
    EXPECT_EQ(CRV_CurrentAt(table, 0.5, &at), 1);
    EXPECT_EQ(at.given[RNG_TYP], 1);
    EXPECT_EQ(at.given[RNG_MIN], 0);
    EXPECT_EQ(at.given[RNG_MAX], 0);
    CRV_Free(table);
}

TEST(CrvCurrentAt, WorksOnTablesListedDownwards) {
    CheckerSession session;
    CRV* table = TableOf({"2 4 4 4", "0 0 0 0"});
    CRV_AT at;
    EXPECT_EQ(CRV_CurrentAt(table, 1.5, &at), 3);
    EXPECT_DOUBLE_EQ(at.value[RNG_TYP], 3.0);
    CRV_Free(table);
}

SMOSFET* AddEntry(SMOSFET** list, const char* vdsLine) {
    SMOSFET* entry = CRV_MosfetStart("[Series MOSFET]", list);
    if (vdsLine != nullptr) CRV_MosfetDataLine(vdsLine, entry);
    CRV_MosfetDataLine("0 0 0 0", entry);
    CRV_MosfetDataLine("1 1 1 1", entry);
    return entry;
}

TEST(CrvMosfet, EqualVdsPairsAreReportedInFileOrder) {
    CheckerSession session;
    SMOSFET* list = nullptr;
    AddEntry(&list, "Vds = 2");
    AddEntry(&list, "Vds=1");
    AddEntry(&list, nullptr);
    AddEntry(&list, "Vds = 2.0000000000001");
    AddEntry(&list, "Vds = 1");
    AddEntry(&list, "Vds = 3");
    EXPECT_EQ(list->listCount, 6);
    session.Take();
    CRV_CheckMosfetList(list, "sw", "[On]");
    EXPECT_EQ(session.Take(),
              "E2806 - Model sw [On]: Found two Series_MOSFETs with identical Vds value 2.000000e+00\n"
              "E2806 - Model sw [On]: Found two Series_MOSFETs with identical Vds value 1.000000e+00\n");
    CRV_FreeMosfetList(list);
}

TEST(CrvMosfet, VdsLineFaultsAndTheEntryLimit) {
    CheckerSession session;
    SMOSFET* list = nullptr;
    SMOSFET* entry = CRV_MosfetStart("[Series MOSFET] 1", &list);
    CRV_MosfetDataLine("Vds 1", entry);
    CRV_MosfetDataLine("Vds = 1", entry);
    CRV_MosfetDataLine("Vds = 2", entry);
    EXPECT_EQ(entry->vds, 1.0);
    EXPECT_EQ(session.Take(),
              "E2803 (line    0) -\n    Incorrect Number of Line Items (2) For [Series_MOSFET]: Expecting 1\n"
              "E2810 (line    0) - Invalid Vds Line\n"
              "E2808 (line    0) - Vds is already defined\n");
    for (int i = 1; i < 100; ++i) CRV_MosfetStart("[Series MOSFET]", &list);
    EXPECT_EQ(session.Take(), "");
    CRV_MosfetStart("[Series MOSFET]", &list);
    EXPECT_EQ(session.Take(), "E2800 (line    0) - More than 100 [Series_MOSFET]s are defined\n");
    EXPECT_EQ(list->listCount, 101);
    CRV_FreeMosfetList(list);
}

}  // namespace
