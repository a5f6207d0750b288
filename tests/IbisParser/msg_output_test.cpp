// Output formats, wrapping, suppression, counters and the summary of the
// checker's messages.

#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "IbisParser/msg.h"
#include "msg_test_capture.h"

namespace {

// 916 is "Invalid Keyword: %s"; pads the value so the filled text has the
// given length.
constexpr int kKeywordCode = 916;
std::string TextOfLength(size_t length) { return std::string(length - 17, 'k'); }

TEST(MsgOutput, LineNumberedErrorInPlainAndCodedStyle) {
    MessageCapture capture;
    MSG_SetCurrentLine(12);
    MSG_ErrorLine(4906, "A1");
    EXPECT_EQ(capture.Take(), "ERROR (line   12) - Duplicate Pin 'A1'\n");
    EXPECT_EQ(MessageCapture::Errors(), 1);

    MSG_SetCodedStyle(1);
    MSG_ErrorLine(4906, "A1");
    EXPECT_EQ(capture.Take(), "E4906 (line   12) - Duplicate Pin 'A1'\n");
    EXPECT_EQ(MessageCapture::Errors(), 2);
}

TEST(MsgOutput, ACharacterValueOfZeroPrintsNothingAndCutsNothing) {
    MessageCapture capture;
    MSG_SetCurrentLine(5);
    // "... found %u column%c.": the plural "s" left out for one value.
    MSG_ErrorLine(3116, 3u, "A1", 1u, '\0');
    EXPECT_EQ(capture.Take(),
              "ERROR (line    5) - Expected 3 columns of Row data for [Row] A1 in Matrix ending previous to this line, "
              "found 1 column.\n");
    MSG_ErrorLine(3116, 3u, "A1", 2u, 's');
    EXPECT_EQ(capture.Take(),
              "ERROR (line    5) - Expected 3 columns of Row data for [Row] A1 in Matrix ending previous to this line, "
              "found 2 columns.\n");
}

TEST(MsgOutput, EveryLevelInBothStyles) {
    MessageCapture capture;
    MSG_SetCurrentLine(12345);  // wider than the field: printed whole
    MSG_Bug(101);
    MSG_BugLine(101);
    MSG_Error(102);
    MSG_Warning(102);
    MSG_WarningLine(102);
    MSG_Caution(102);
    MSG_Note(102);
    MSG_NoteLine(102);
    EXPECT_EQ(capture.Take(),
              "PROGRAM BUG - Unable to get IBIS structure\n"
              "PROGRAM BUG (line 12345) - Unable to get IBIS structure\n"
              "ERROR - Orphan Model keyword.\n"
              "WARNING - Orphan Model keyword.\n"
              "WARNING (line 12345) - Orphan Model keyword.\n"
              "CAUTION - Orphan Model keyword.\n"
              "NOTE - Orphan Model keyword.\n"
              "NOTE (line 12345) - Orphan Model keyword.\n");

    MSG_SetCodedStyle(1);
    MSG_SetCurrentLine(7);
    MSG_Bug(101);
    MSG_BugLine(101);
    MSG_Error(102);
    MSG_Warning(102);
    MSG_WarningLine(102);
    MSG_Caution(102);
    MSG_Note(102);
    MSG_NoteLine(102);
    EXPECT_EQ(capture.Take(),
              "B0101 - Unable to get IBIS structure\n"
              "B0101 (line    7) - Unable to get IBIS structure\n"
              "E0102 - Orphan Model keyword.\n"
              "W0102 - Orphan Model keyword.\n"
              "W0102 (line    7) - Orphan Model keyword.\n"
              "C0102 - Orphan Model keyword.\n"
              "N0102 - Orphan Model keyword.\n"
              "N0102 (line    7) - Orphan Model keyword.\n");

    int bugs = 0, errors = 0, warnings = 0;
    MSG_GetCounts(&bugs, &errors, &warnings);
    EXPECT_EQ(bugs, 4);
    EXPECT_EQ(errors, 2);
    EXPECT_EQ(warnings, 4);
    EXPECT_EQ(MSG_GetCautionCount(), 2);  // notes are not counted anywhere
    MSG_GetCounts(nullptr, nullptr, nullptr);
}

// Issues a 916 of the given text length at a level and reports whether the
// text went onto a line of its own.
bool Wraps(MessageCapture& capture, void (*issue)(int, ...), size_t length) {
    const std::string value = TextOfLength(length);
    issue(kKeywordCode, value.c_str());
    const std::string out = capture.Take();
    const std::string text = "Invalid Keyword: " + value + "\n";
    EXPECT_EQ(out.substr(out.size() - text.size()), text);
    return out.find(" -\n    Invalid Keyword: ") != std::string::npos;
}

TEST(MsgOutput, WrapLimitsPerLevel) {
    MessageCapture capture;
    MSG_SetCurrentLine(3);
    struct Case {
        void (*issue)(int, ...);
        size_t first;  // shortest wrapped text; 75 is always the longest
    };
    const Case cases[] = {
        {MSG_Error, 72},   {MSG_ErrorLine, 60}, {MSG_Warning, 70}, {MSG_WarningLine, 58},
        {MSG_Caution, 70}, {MSG_Note, 73},      {MSG_NoteLine, 61},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first);
        EXPECT_FALSE(Wraps(capture, c.issue, c.first - 1));
        EXPECT_TRUE(Wraps(capture, c.issue, c.first));
        EXPECT_TRUE(Wraps(capture, c.issue, 75));
        EXPECT_FALSE(Wraps(capture, c.issue, 76));
    }
    // Program bugs never wrap.
    EXPECT_FALSE(Wraps(capture, MSG_Bug, 73));
    EXPECT_FALSE(Wraps(capture, MSG_BugLine, 65));
}

TEST(MsgOutput, WrappedLayoutInBothStyles) {
    MessageCapture capture;
    const std::string value = TextOfLength(73);
    MSG_Error(kKeywordCode, value.c_str());
    EXPECT_EQ(capture.Take(), "ERROR -\n    Invalid Keyword: " + value + "\n");
    MSG_Error(kKeywordCode, TextOfLength(71).c_str());
    EXPECT_EQ(capture.Take(), "ERROR - Invalid Keyword: " + TextOfLength(71) + "\n");

    MSG_SetCodedStyle(1);
    MSG_SetCurrentLine(42);
    MSG_WarningLine(kKeywordCode, value.c_str());
    EXPECT_EQ(capture.Take(), "W0916 (line   42) -\n    Invalid Keyword: " + value + "\n");
}

TEST(MsgOutput, SuppressedLevelsPrintAndCountNothing) {
    MessageCapture capture;
    MSG_SuppressErrors(1);
    MSG_SuppressWarnings(1);
    MSG_SuppressBugs(1);
    MSG_Error(102);
    MSG_ErrorLine(102);
    MSG_Warning(102);
    MSG_WarningLine(102);
    MSG_Bug(101);
    EXPECT_EQ(capture.Take(), "");
    EXPECT_EQ(MessageCapture::Errors(), 0);
    EXPECT_EQ(MessageCapture::Warnings(), 0);
    EXPECT_EQ(MessageCapture::Bugs(), 0);

    // Cautions and notes cannot be silenced.
    MSG_Caution(102);
    MSG_Note(102);
    EXPECT_EQ(capture.Take(), "CAUTION - Orphan Model keyword.\nNOTE - Orphan Model keyword.\n");

    MSG_SuppressErrors(0);
    MSG_Error(102);
    EXPECT_EQ(MessageCapture::Errors(), 1);
}

TEST(MsgOutput, UnknownCodePrintsOnlyTheCodedNotice) {
    MessageCapture capture;
    MSG_Error(99);
    MSG_Warning(4999);
    MSG_ErrorLine(54300);
    EXPECT_EQ(capture.Take(), "");
    MSG_SetCodedStyle(1);
    MSG_Error(99);
    EXPECT_EQ(capture.Take(), "I0000 - Error code doesn't exist.\n");
    EXPECT_EQ(MessageCapture::Errors(), 0);
    EXPECT_EQ(MessageCapture::Warnings(), 0);
}

TEST(MsgOutput, TextLongerThanTheBufferIsCut) {
    MessageCapture capture;
    const std::string value(5000, 'z');
    MSG_Error(kKeywordCode, value.c_str());
    const std::string out = capture.Take();
    const size_t kept = MSG_BUFFER_SIZE - 1;
    ASSERT_EQ(out.size(), std::string("ERROR - ").size() + kept + 1);
    EXPECT_EQ(out.substr(0, 25), "ERROR - Invalid Keyword: ");
    EXPECT_EQ(out.back(), '\n');
    EXPECT_EQ(MessageCapture::Errors(), 1);
}

TEST(MsgSummary, NoFindings) {
    MessageCapture capture;
    MSG_Summary();
    EXPECT_EQ(capture.Take(), "Errors  : 0\n\nFile Passed\n");
}

TEST(MsgSummary, WarningsAndCautionsPass) {
    MessageCapture capture;
    MSG_Warning(102);
    MSG_Warning(102);
    MSG_Caution(102);
    MSG_Note(102);
    capture.Take();
    MSG_Summary();
    EXPECT_EQ(capture.Take(), "\nErrors  : 0\nWarnings: 2\nCautions: 1\n\nFile Passed\n");
}

TEST(MsgSummary, CautionsAloneGiveNoLeadingEmptyLine) {
    MessageCapture capture;
    MSG_Caution(102);
    capture.Take();
    MSG_Summary();
    EXPECT_EQ(capture.Take(), "Errors  : 0\nCautions: 1\n\nFile Passed\n");
}

TEST(MsgSummary, BugsAndErrorsFail) {
    MessageCapture capture;
    MSG_Bug(101);
    capture.Take();
    MSG_Summary();
    EXPECT_EQ(capture.Take(), "\nBugs    : 1\nErrors  : 0\n\nFile Failed\n");

    MSG_ResetCounts();
    MSG_Error(102);
    capture.Take();
    MSG_Summary();
    EXPECT_EQ(capture.Take(), "\nErrors  : 1\n\nFile Failed\n");
}

TEST(MsgSummary, CountsAccumulateUntilReset) {
    MessageCapture capture;
    MSG_Error(102);
    MSG_Summary();
    MSG_Error(102);
    EXPECT_EQ(MessageCapture::Errors(), 2);
    MSG_ResetCounts();
    EXPECT_EQ(MessageCapture::Errors(), 0);
    EXPECT_EQ(MSG_GetCautionCount(), 0);
}

TEST(MsgInternalCheck, PrintsModuleAndLineThenEndsTheProcess) {
    // The report goes to standard output; the death test watches standard
    // error, so the child joins the two.
    EXPECT_DEATH(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            MSG_InternalCheckFailed("IbisParser\\cmn", 77);
        },
        "IbisParser.cmn:77:assertion failed\\.");
}

}  // namespace
