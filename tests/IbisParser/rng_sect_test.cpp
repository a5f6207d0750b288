// Typical/minimum/maximum rows and R/L/C sections.

#include <gtest/gtest.h>

#include <string>

#include "IbisParser/cmn.h"
#include "IbisParser/rng.h"
#include "IbisParser/sect.h"
#include "checker_test_support.h"

namespace {

TEST(RngParseLine, ValuesAndNA) {
    CheckerSession session;
    RNG* range = nullptr;
    EXPECT_EQ(RNG_ParseLine("1.0 NA na", "C_comp", &range), 1);
    ASSERT_NE(range, nullptr);
    EXPECT_DOUBLE_EQ(range->value[RNG_TYP], 1.0);
    EXPECT_EQ(range->state[RNG_TYP], CMN_OPT_GIVEN);
    EXPECT_EQ(range->state[RNG_MIN], CMN_OPT_NA);
    EXPECT_EQ(range->state[RNG_MAX], CMN_OPT_NA);
    RNG_Free(range);
    EXPECT_EQ(RNG_ParseLine("3.3 3.0 3.6", "Voltage Range", &range), 1);
    EXPECT_DOUBLE_EQ(range->value[RNG_MAX], 3.6);
    RNG_Free(range);
    EXPECT_EQ(session.Take(), "");
}

TEST(RngParseLine, MissingAndSurplusValues) {
    CheckerSession session;
    RNG* range = nullptr;
    EXPECT_EQ(RNG_ParseLine("1.0", "C_comp", &range), 1);
    ASSERT_NE(range, nullptr);
    EXPECT_EQ(range->state[RNG_MIN], CMN_OPT_ABSENT);
    EXPECT_EQ(range->state[RNG_MAX], CMN_OPT_ABSENT);
    RNG_Free(range);
    EXPECT_EQ(session.Take(),
              "E3901 (line    0) - No minimum Value Was Provided for C_comp\n"
              "E3901 (line    0) - No maximum Value Was Provided for C_comp\n");
    EXPECT_EQ(RNG_ParseLine("1 2", "C_comp", &range), 1);
    RNG_Free(range);
    EXPECT_EQ(session.Take(), "E3901 (line    0) - No maximum Value Was Provided for C_comp\n");
    // A wrong count is one 3902; the record still holds the first three
    // values (none at all reads as three absent ones).
    EXPECT_EQ(RNG_ParseLine("2 1 3 4", "C_comp", &range), 1);
    ASSERT_NE(range, nullptr);
    EXPECT_DOUBLE_EQ(range->value[RNG_TYP], 2.0);
    EXPECT_DOUBLE_EQ(range->value[RNG_MAX], 3.0);
    EXPECT_EQ(range->state[RNG_MAX], CMN_OPT_GIVEN);
    RNG_Free(range);
    EXPECT_EQ(RNG_ParseLine("   ", "C_comp", &range), 1);
    ASSERT_NE(range, nullptr);
    EXPECT_EQ(range->state[RNG_TYP], CMN_OPT_ABSENT);
    EXPECT_EQ(range->state[RNG_MIN], CMN_OPT_ABSENT);
    EXPECT_EQ(range->state[RNG_MAX], CMN_OPT_ABSENT);
    RNG_Free(range);
    EXPECT_EQ(session.Take(),
              "E3902 (line    0) - Incorrect Number of Line Items (4) For C_comp: Expecting 3\n"
              "E3902 (line    0) - Incorrect Number of Line Items (0) For C_comp: Expecting 3\n");
}

TEST(RngParseLine, BadValueStillGivesTheRecord) {
    CheckerSession session;
    RNG* range = nullptr;
    EXPECT_EQ(RNG_ParseLine("1 abc 3", "R_pkg", &range), 0);
    ASSERT_NE(range, nullptr);
    EXPECT_EQ(range->state[RNG_MIN], CMN_OPT_ABSENT);
    EXPECT_EQ(range->state[RNG_MAX], CMN_OPT_GIVEN);
    RNG_Free(range);
    EXPECT_EQ(session.Take(), "E1909 (line    0) - Invalid R_pkg Value (\"abc\")\n");
}

TEST(RngParseLine, TypicalOutsideTheLimits) {
    CheckerSession session;
    RNG* range = nullptr;
    for (const char* line : {"5 1 2", "0 1 2", "5 6 4", "5 4 6", "5 NA 2", "2 2 2"}) {
        RNG_ParseLine(line, "R", &range);
        RNG_Free(range);
    }
    EXPECT_EQ(session.Take(),
              "W3903 (line    0) - Typ value is not in between Min and Max \n"
              "W3903 (line    0) - Typ value is not in between Min and Max \n");
}

struct Parsed {
    int result;
    SECT* section;
    std::string rest;
};

Parsed Parse(const char* text) {
    std::string copy = text;
    char* rest = nullptr;
    Parsed parsed{0, nullptr, ""};
    parsed.result = SECT_Parse(copy.data(), &parsed.section, &rest);
    if (rest != nullptr) parsed.rest = rest;
    return parsed;
}

TEST(SectParse, CompleteSections) {
    CheckerSession session;
    Parsed parsed = Parse("Len=0 / Node u1.1");
    EXPECT_EQ(parsed.result, 1);
    ASSERT_NE(parsed.section, nullptr);
    EXPECT_TRUE(parsed.section->len.given);
    EXPECT_FALSE(parsed.section->r.given);
    EXPECT_EQ(parsed.rest, "Node u1.1");
    SECT_Free(parsed.section);

    parsed = Parse("Len=0.5 L=2n C=1p R=0.1/");
    EXPECT_EQ(parsed.result, 1);
    EXPECT_DOUBLE_EQ(parsed.section->l.value, 2e-9);
    EXPECT_DOUBLE_EQ(parsed.section->c.value, 1e-12);
    SECT_Free(parsed.section);

    parsed = Parse("  ");
    EXPECT_EQ(parsed.result, 1);
    EXPECT_EQ(parsed.section, nullptr);
    EXPECT_EQ(session.Take(), "");
}

TEST(SectParse, FaultySections) {
    CheckerSession session;
    auto messages = [&](const char* text, int expectedResult) {
        Parsed parsed = Parse(text);
        EXPECT_EQ(parsed.result, expectedResult) << text;
        if (expectedResult == 0) {
            EXPECT_EQ(parsed.section, nullptr) << text;
        }
        SECT_Free(parsed.section);
        return session.Take();
    };
    EXPECT_EQ(messages("Len=1 R=2 /", 1), "E3012 (line    0) -  L and C must be specified when Len != 0\n");
    EXPECT_EQ(messages("R=1 /", 1), "E3002 (line    0) - Len should be specified before R\n");
    EXPECT_EQ(messages("L=1 C=1 /", 1),
              "E3005 (line    0) - Len should be specified before L\nE3008 (line    0) - Len should be specified before C\n");
    EXPECT_EQ(messages("/", 1), "E3011 (line    0) - Empty R/L/C section found\n");
    EXPECT_EQ(messages("Len=-1 Len=0 /", 1),
              "E3001 (line    0) - Len should not be less than zero\n"
              "E3000 (line    0) - Duplicate Len sub param in R/L/C section\n");
    EXPECT_EQ(messages("Len=0 R=-1 R=1 L=-1 L=1 C=-1 C=1 /", 1),
              "E3004 (line    0) - R should not be less than zero\n"
              "E3003 (line    0) - Duplicate R sub param in R/L/C section\n"
              "E3007 (line    0) - L should not be less than zero\n"
              "E3006 (line    0) - Duplicate L sub param in R/L/C section\n"
              "E3010 (line    0) - C should not be less than zero\n"
              "E3009 (line    0) - Duplicate C sub param in R/L/C section\n");
    EXPECT_EQ(messages("Len=1 L=1n C=1p", 0),
              "E3013 (line    0) - Premature end of R/L/C section. Trailing '/' missing\n");
}

}  // namespace
