// Number conversion with scale suffixes, NA values and optional values.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <random>
#include <string>

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

// A suffix moves the decimal exponent; the value is the double nearest to
// the decimal the text spells, the same for every spelling of it.
TEST(CmnParseScaled, EverySpellingOfADecimalIsTheSameDouble) {
    const char* const spellings[][5] = {
        {"1000n", "1u", "0.001m", "1000000p", "1e-6"},
        {"1000p", "1n", "0.001u", "0.000001m", "1e-9"},
        {"1000000n", "1000u", "1m", "0.001", "1e-3"},
        {"2.2n", "2200p", "0.0022u", "22e-10", "2.2e-9"},
        {"0.05k", "50000m", "5e1", "0.00005M", "50"},
    };
    for (const auto& row : spellings) {
        double expected = 0.0;
        ASSERT_EQ(CMN_ParseDouble(row[4], &expected), 1) << row[4];
        for (const char* text : row) {
            double value = -1.0;
            EXPECT_EQ(CMN_ParseScaled(text, &value), 1) << text;
            EXPECT_EQ(value, expected) << text;  // exactly, not nearly
        }
    }
}

TEST(CmnParseScaled, SignsPointsExponentsAndExtremes) {
    struct Case {
        const char* scaled;
        const char* plain;  // the same decimal without a suffix
    };
    const Case cases[] = {
        {"-1000n", "-1e-6"},   {"+1.5e2k", "1.5e5"},     {".5n", ".5e-9"},     {"5.n", "5e-9"},
        {"-0n", "-0"},         {"3E-3M", "3e3"},         {"1e-320m", "1e-323"}, {"1e306k", "1e309"},
        {"1e-330f", "0"},      {"123456789012345678901234567890.5e-30T", "123456789012345678901234567890.5e-18"},
        {"1e99999999999999999999u", "1e999"}, {"1e-99999999999999999999G", "0"},
    };
    for (const Case& c : cases) {
        double value = -1.0;
        double expected = -2.0;
        EXPECT_EQ(CMN_ParseScaled(c.scaled, &value), 1) << c.scaled;
        std::sscanf(c.plain, "%lf", &expected);
        EXPECT_EQ(value, expected) << c.scaled;
        EXPECT_EQ(std::signbit(value), std::signbit(expected)) << c.scaled;
    }
    // A mantissa longer than any checker line still converts.
    const std::string longMantissa = "0." + std::string(300, '0') + "1e300n";
    double value = 0.0;
    EXPECT_EQ(CMN_ParseScaled(longMantissa.c_str(), &value), 1);
    EXPECT_EQ(value, 1e-10);
}

// Numbers of every shape, with and without suffix, against strtod on the
// same decimal written with its exponent shifted: short ones take a shortcut
// of their own, long ones and far exponents another road, and both must give
// the correctly rounded double.
TEST(CmnParseScaled, AgreesWithStrtodOnTheSpelledDecimal) {
    const char* const suffixes[] = {"", "T", "G", "M", "k", "m", "u", "n", "p", "f", "V"};
    const int powers[] = {0, 12, 9, 6, 3, -3, -6, -9, -12, -15, 0};
    std::mt19937 random(12345);
    for (int trial = 0; trial < 20000; ++trial) {
        std::string digits;
        const int count = 1 + static_cast<int>(random() % 22);
        for (int i = 0; i < count; ++i) digits += static_cast<char>('0' + random() % 10);
        const size_t point = random() % (digits.size() + 1);
        std::string mantissa = digits.substr(0, point) + "." + digits.substr(point);
        if (random() % 2 == 0) mantissa = "-" + mantissa;
        const int exponent = static_cast<int>(random() % 61) - 30;
        const size_t which = random() % std::size(suffixes);
        const std::string text = mantissa + "e" + std::to_string(exponent) + suffixes[which];
        const std::string plain = mantissa + "e" + std::to_string(exponent + powers[which]);

        double value = 0.0;
        ASSERT_EQ(CMN_ParseScaled(text.c_str(), &value), 1) << text;
        EXPECT_EQ(value, std::strtod(plain.c_str(), nullptr)) << text;
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
