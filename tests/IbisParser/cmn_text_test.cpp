// Memory helpers, cursor moves, text utilities, tokens and Len/L/R/C items.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "IbisParser/cmn.h"
#include "msg_test_capture.h"

namespace {

TEST(CmnMemory, AllocateGrowAndRelease) {
    int* numbers = nullptr;
    ASSERT_EQ(CMN_Calloc(&numbers, 4 * sizeof(int)), 1);
    EXPECT_EQ(numbers[3], 0);
    numbers[3] = 7;
    ASSERT_EQ(CMN_Realloc(&numbers, 1000 * sizeof(int)), 1);
    EXPECT_EQ(numbers[3], 7);
    CMN_FreePtr(&numbers);
    EXPECT_EQ(numbers, nullptr);
}

#if !defined(__SANITIZE_ADDRESS__)
TEST(CmnMemory, FailureIsReportedAndTheOldBlockKept) {
    MessageCapture capture;
    char* block = nullptr;
    EXPECT_EQ(CMN_Calloc(&block, SIZE_MAX), 0);
    EXPECT_EQ(block, nullptr);
    ASSERT_EQ(CMN_Calloc(&block, 8), 1);
    EXPECT_EQ(CMN_Realloc(&block, SIZE_MAX - 8), 0);
    EXPECT_NE(block, nullptr);
    CMN_Free(block);
    EXPECT_EQ(capture.Take(),
              "ERROR - Memory allocation failed.  This request 4294967295.\n\n"
              "ERROR - Memory reallocation failed.  This request 4294967287.\n\n");
}
#endif

TEST(CmnMemory, CopiesOfTexts) {
    EXPECT_EQ(CMN_StrDup(nullptr), nullptr);
    char* copy = CMN_StrDup("pin A1");
    EXPECT_STREQ(copy, "pin A1");
    CMN_Free(copy);
    char* head = CMN_SubStr("abcdef", 3);
    EXPECT_STREQ(head, "abc");
    CMN_Free(head);
    char* whole = CMN_SubStr("ab", 5);  // shorter than n: copied whole, never read past
    EXPECT_STREQ(whole, "ab");
    CMN_Free(whole);
}

TEST(CmnInternalCheck, MissingPointerEndsTheProcess) {
    EXPECT_DEATH(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            CMN_Free(nullptr);
        },
        "IbisParser.cmn:[0-9]+:assertion failed\\.");
}

TEST(CmnCursor, SkipsAndTheScanGuard) {
    const char* text = " \t\v [Model]  name rest";
    const char* p = text;
    CMN_SkipSpace(&p);
    EXPECT_EQ(*p, '[');
    EXPECT_EQ(CMN_SkipPastBracket(&p), 1);
    EXPECT_STREQ(p, "name rest");
    CMN_SkipToSpace(&p);
    EXPECT_STREQ(p, " rest");
    EXPECT_EQ(CMN_SkipPastBracket(&p), 0);
    EXPECT_STREQ(p, "");

    const std::string longRun = std::string(200, ' ') + "x";
    char* q = const_cast<char*>(longRun.c_str());
    EXPECT_DEATH(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            CMN_SkipSpace(&q);
        },
        "assertion failed");
    EXPECT_EQ(CMN_SetUnlimitedScan(1), 1);
    CMN_SkipSpace(&q);
    EXPECT_STREQ(q, "x");
    CMN_SetUnlimitedScan(0);
    EXPECT_EQ(CMN_GetUnlimitedScan(), 0);
}

TEST(CmnText, CaseTrimAndNames) {
    EXPECT_TRUE(CMN_IsSpace('\r'));
    EXPECT_FALSE(CMN_IsSpace(static_cast<char>(0xA0)));
    EXPECT_FALSE(CMN_IsSpace('_'));

    char line[] = "Pulldown  \t\r\n";
    EXPECT_STREQ(CMN_TrimRight(line), "Pulldown");
    EXPECT_STREQ(CMN_ToUpper(line), "PULLDOWN");
    EXPECT_STREQ(CMN_ToLower(line), "pulldown");

    EXPECT_EQ(CMN_TokenLength('=', "Len=0.5"), 3u);
    EXPECT_EQ(CMN_TokenLength('\0', "abc\tdef"), 3u);
    EXPECT_EQ(CMN_TokenLength('=', ""), 0u);

    char dosPath[] = "C:\\models\\board.v2.ebd";
    EXPECT_STREQ(CMN_BaseName(dosPath), "board.v2");
    char unixPath[] = "/tmp/x/part.ibs";
    EXPECT_STREQ(CMN_BaseName(unixPath), "part");

    EXPECT_EQ(CMN_StrEqualNoCase("Model_Selector", "MODEL_selector"), 1);
    EXPECT_EQ(CMN_StrEqualNoCase("Model", "Models"), 0);
    EXPECT_EQ(CMN_StrPrefixNoCase("POWER_1", "power", 5), 1);
    EXPECT_EQ(CMN_StrPrefixNoCase("POW", "power", 5), 0);
    EXPECT_EQ(CMN_StrPrefixNoCase("Pin", "pin", 10), 1);

    char keyword[] = "model  selector";
    EXPECT_EQ(CMN_KeywordEquals("Model__Selector", keyword), 1);
    EXPECT_STREQ(keyword, "model__selector");

    EXPECT_STREQ(CMN_ULongToText(4294967295ul), "4294967295");
}

TEST(CmnText, OpenBinaryAddsTheFlag) {
    char name[] = "/tmp/cmn_open_binaryXXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    close(fd);
    FILE* out = CMN_OpenBinary(name, "w+");
    ASSERT_NE(out, nullptr);
    std::fputs("ab\r\n", out);
    std::fclose(out);
    FILE* in = CMN_OpenBinary(name, "r");
    ASSERT_NE(in, nullptr);
    char buffer[8] = "";
    EXPECT_EQ(std::fread(buffer, 1, sizeof buffer, in), 4u);
    std::fclose(in);
    std::remove(name);
    EXPECT_EQ(CMN_OpenBinary("/nonexistent/dir/f", "r"), nullptr);
}

TEST(CmnTokens, StopCharacterFormsItsOwnToken) {
    TOKENLIST list;
    ASSERT_EQ(CMN_SplitTokens("a=b c", 8, '=', &list), 1);
    ASSERT_EQ(list.stored, 4);
    EXPECT_EQ(list.found, 4);
    EXPECT_STREQ(list.tokens[0], "a");
    EXPECT_STREQ(list.tokens[1], "=");
    EXPECT_STREQ(list.tokens[2], "b");
    EXPECT_STREQ(list.tokens[3], "c");
    EXPECT_EQ(list.tokens[4], nullptr);
    CMN_FreeTokens(&list);
    EXPECT_EQ(list.tokens, nullptr);

    ASSERT_EQ(CMN_SplitTokens("a=b c", 2, '=', &list), 1);
    EXPECT_EQ(list.capacity, 2);
    EXPECT_EQ(list.stored, 2);
    EXPECT_EQ(list.found, 4);
    EXPECT_STREQ(list.tokens[1], "=");
    CMN_FreeTokens(&list);

    ASSERT_EQ(CMN_SplitLine("  Vinl = 0.8V\t| note ", 10, &list), 1);
    EXPECT_EQ(list.found, 5);
    EXPECT_STREQ(list.tokens[1], "=");
    EXPECT_STREQ(list.tokens[4], "note");
    CMN_FreeTokens(&list);

    ASSERT_EQ(CMN_SplitLine("   ", 3, &list), 1);
    EXPECT_EQ(list.found, 0);
    CMN_FreeTokens(&list);
}

struct RlcStep {
    int item;
    double value;
    const char* rest;
};

TEST(CmnParseRLC, ReadsAWholeList) {
    MessageCapture capture;
    const char* p = "  Len=0.5 L = 2n C=1.5pF R=0.1 /  next";
    const RlcStep steps[] = {
        {CMN_RLC_LEN, 0.5, "L = 2n C=1.5pF R=0.1 /  next"},
        {CMN_RLC_L, 2e-9, "C=1.5pF R=0.1 /  next"},
        {CMN_RLC_C, 1.5e-12, "R=0.1 /  next"},
        {CMN_RLC_R, 0.1, "/  next"},
        {CMN_RLC_SLASH, 0.0, "next"},
    };
    for (const RlcStep& s : steps) {
        double value = 0.0;
        const char* rest = nullptr;
        EXPECT_EQ(CMN_ParseRLC(p, &value, &rest), s.item);
        if (s.item != CMN_RLC_SLASH) {
            EXPECT_DOUBLE_EQ(value, s.value);
        }
        EXPECT_STREQ(rest, s.rest);
        p = rest;
    }
    double value = 0.0;
    const char* rest = nullptr;
    EXPECT_EQ(CMN_ParseRLC(" \t", &value, &rest), CMN_RLC_END);
    EXPECT_EQ(capture.Take(), "");
}

TEST(CmnParseRLC, Malformed) {
    MessageCapture capture;
    MSG_SetCurrentLine(8);
    double value = 9.0;
    const char* rest = nullptr;

    EXPECT_EQ(CMN_ParseRLC("= 3 R=1", &value, &rest), CMN_RLC_ERROR);
    EXPECT_STREQ(rest, "3 R=1");
    EXPECT_EQ(capture.Take(), "ERROR (line    8) - Unexpected '=' found\n");

    EXPECT_EQ(CMN_ParseRLC("len=1 R=2", &value, &rest), CMN_RLC_ERROR);  // names are exact case
    EXPECT_STREQ(rest, "=1 R=2");
    EXPECT_EQ(capture.Take(), "ERROR (line    8) - Unexpected token 'len' found in R/L/C section\n");

    EXPECT_EQ(CMN_ParseRLC("R  ", &value, &rest), CMN_RLC_END);
    EXPECT_EQ(capture.Take(), "ERROR (line    8) - Premature end of R/L/C section\n");
    EXPECT_EQ(CMN_ParseRLC("R= ", &value, &rest), CMN_RLC_END);
    EXPECT_EQ(capture.Take(), "ERROR (line    8) - Premature end of R/L/C section\n");

    EXPECT_EQ(CMN_ParseRLC("R 5 / C=1p", &value, &rest), CMN_RLC_ERROR);
    EXPECT_STREQ(rest, " C=1p");
    EXPECT_EQ(capture.Take(), "ERROR (line    8) - Error parsing R/L/C section. Missing '='\n");

    EXPECT_EQ(CMN_ParseRLC("C=abc L=1", &value, &rest), CMN_RLC_C);
    EXPECT_STREQ(rest, "L=1");
    EXPECT_EQ(capture.Take(), "ERROR (line    8) - Illegal number found 'abc'\n");

    EXPECT_EQ(CMN_ParseRLC("L=1nH2", &value, &rest), CMN_RLC_L);
    EXPECT_EQ(capture.Take(), "ERROR (line    8) - Illegal number found '1nH2'\n");

    value = 9.0;
    EXPECT_EQ(CMN_ParseRLC("L=/", &value, &rest), CMN_RLC_L);
    EXPECT_EQ(value, 0.0);
    EXPECT_STREQ(rest, "/");
    EXPECT_EQ(capture.Take(), "ERROR (line    8) - Numerical value expected\n");

    char editable[] = "R=1 /";
    char* mutableRest = nullptr;
    EXPECT_EQ(CMN_ParseRLC(editable, &value, &mutableRest), CMN_RLC_R);
    EXPECT_EQ(mutableRest, editable + 4);
}

}  // namespace
