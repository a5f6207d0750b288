// Number conversion with scale suffixes, NA values and optional values.

#include <gtest/gtest.h>

#include "IbisParser/cmn.h"
#include "msg_test_capture.h"

namespace {

struct ScaledCase {
    const char* text;
    int result;
    double value;
};

TEST(CmnParseScaled, SuffixesUnitsAndRejects) {
    const ScaledCase cases[] = {
        {"5", 1, 5.0},          {"5p", 1, 5e-12},      {"2.2nF", 1, 2.2e-9},   {"3V", 1, 3.0},
        {"4M", 1, 4e6},         {"4m", 1, 4e-3},       {"1.0pF2", 2, 1e-12},   {"-2.5u", 1, -2.5e-6},
        {"1T", 1, 1e12},        {"3G", 1, 3e9},        {"7k", 1, 7e3},         {"2f", 1, 2e-15},
        {"1.5e-3", 1, 1.5e-3},  {"2e3k", 1, 2e6},      {".5n", 1, 0.5e-9},     {"1e", 1, 1.0},
        {"10ohm", 1, 10.0},     {"3A2", 2, 3.0},
    };
    for (const ScaledCase& c : cases) {
        double value = -99.0;
        EXPECT_EQ(CMN_ParseScaled(c.text, &value), c.result) << c.text;
        EXPECT_DOUBLE_EQ(value, c.value) << c.text;
    }
    for (const char* bad : {"5%", "abc", "", "-", ".", "NAN", "inf", "5 ", "+e5"}) {
        double value = -99.0;
        EXPECT_EQ(CMN_ParseScaled(bad, &value), 0) << bad;
    }
}

TEST(CmnParseScaled, HexadecimalIsNotANumber) {
    // strtod would read 0x10 as 16; here it is 0 followed by the unit "x10".
    double value = -1.0;
    EXPECT_EQ(CMN_ParseScaled("0x10", &value), 2);
    EXPECT_EQ(value, 0.0);
}

TEST(CmnGetValueOrNA, NaInAnyCase) {
    double value = 7.0;
    int na = 0;
    EXPECT_EQ(CMN_GetValueOrNA("na", &value, &na), 1);
    EXPECT_EQ(value, 0.0);
    EXPECT_EQ(na, 1);
    EXPECT_EQ(CMN_GetValueOrNA("NAN", &value, &na), 0);
    EXPECT_EQ(na, 0);
    EXPECT_EQ(CMN_GetValueOrNA("2.2nF", &value, &na), 1);
    EXPECT_DOUBLE_EQ(value, 2.2e-9);
    EXPECT_EQ(na, 0);
}

TEST(CmnGetOptionalValue, StatesAndMessages) {
    MessageCapture capture;
    MSG_SetCurrentLine(3);
    double value = 1.0;
    int state = -1;
    EXPECT_EQ(CMN_GetOptionalValue(nullptr, "typ", "C_comp", &value, &state), 1);
    EXPECT_EQ(state, CMN_OPT_ABSENT);
    EXPECT_EQ(CMN_GetOptionalValue("", "typ", "C_comp", &value, &state), 1);
    EXPECT_EQ(state, CMN_OPT_ABSENT);
    EXPECT_EQ(CMN_GetOptionalValue("Na", "typ", "C_comp", &value, &state), 1);
    EXPECT_EQ(state, CMN_OPT_NA);
    EXPECT_EQ(value, 0.0);
    EXPECT_EQ(CMN_GetOptionalValue("5p", "typ", "C_comp", &value, &state), 1);
    EXPECT_EQ(state, CMN_OPT_GIVEN);
    EXPECT_DOUBLE_EQ(value, 5e-12);
    EXPECT_EQ(capture.Take(), "");

    EXPECT_EQ(CMN_GetOptionalValue("1.0pF2", "min", "C_comp", &value, &state), 1);
    EXPECT_EQ(state, CMN_OPT_GIVEN);
    EXPECT_DOUBLE_EQ(value, 1e-12);
    EXPECT_EQ(capture.Take(), "WARNING (line    3) - Suspicious C_comp min Value (\"1.0pF2\"); Numeric in Scale\n");

    EXPECT_EQ(CMN_GetOptionalValue("abc", "max", "C_comp", &value, &state), 0);
    EXPECT_EQ(capture.Take(), "ERROR (line    3) - Invalid C_comp Value (\"abc\")\n");
    EXPECT_EQ(MessageCapture::Errors(), 1);
    EXPECT_EQ(MessageCapture::Warnings(), 1);
}

TEST(CmnParseUnsigned, SignsTrailingAndRange) {
    unsigned long value = 0;
    EXPECT_EQ(CMN_ParseUnsigned("12", &value), 1);
    EXPECT_EQ(value, 12u);
    EXPECT_EQ(CMN_ParseUnsigned("12x", &value), 2);
    EXPECT_EQ(value, 12u);
    EXPECT_EQ(CMN_ParseUnsigned("-1", &value), 0);
    EXPECT_EQ(CMN_ParseUnsigned("", &value), 0);
    EXPECT_EQ(CMN_ParseUnsigned("x", &value), 0);
    EXPECT_EQ(CMN_ParseUnsigned("99999999999999999999999", &value), 0);
}

TEST(CmnParseDouble, StoresTheValueAndRatesTheRest) {
    double value = 0.0;
    EXPECT_EQ(CMN_ParseDouble("1.5", &value), 1);
    EXPECT_EQ(value, 1.5);
    EXPECT_EQ(CMN_ParseDouble("2.5V", &value), 2);
    EXPECT_EQ(value, 2.5);
    EXPECT_EQ(CMN_ParseDouble("V", &value), 0);
    EXPECT_EQ(value, 0.0);
}

}  // namespace
