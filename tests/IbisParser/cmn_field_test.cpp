// Length-limited field copies, required keywords and reserved words.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "IbisParser/cmn.h"
#include "msg_test_capture.h"

namespace {

TEST(CmnCopyField, CutsAtTheLimitAndReports) {
    MessageCapture capture;
    MSG_SetCurrentLine(7);
    char field[21] = "";
    CMN_CopyField(field, "ABCDEFGHIJKLMNOPQRSTUVWXY", 20, "Component");
    EXPECT_STREQ(field, "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(capture.Take(),
              "ERROR (line    7) - Component string 'ABCDEFGHIJKLMNOPQRSTUVWXY' is too long, truncating to 20 "
              "characters.\n");

    CMN_CopyField(field, "short", 20, "Component");
    EXPECT_STREQ(field, "short");
    EXPECT_EQ(capture.Take(), "");

    CMN_CopyField(field, "", 20, "Component");
    EXPECT_STREQ(field, "");
    EXPECT_EQ(capture.Take(), "ERROR (line    7) - Zero length value for keyword 'Component'.\n");
    EXPECT_EQ(MessageCapture::Errors(), 2);
}

TEST(CmnCopyField, LargeLimitIsLoweredForALongerSource) {
    MessageCapture capture;
    std::vector<char> field(5001, '\0');
    const std::string source(6000, 's');
    CMN_CopyField(field.data(), source.c_str(), 5000, "Notes");
    EXPECT_EQ(std::strlen(field.data()), CMN_REPORT_LIMIT_MAX);
    EXPECT_EQ(MessageCapture::Errors(), 1);
}

TEST(CmnSetFieldOnce, SecondSettingIsRefused) {
    MessageCapture capture;
    char field[41] = "";
    EXPECT_EQ(CMN_SetFieldOnce(field, "first", 40, "Manufacturer"), 1);
    EXPECT_EQ(CMN_SetFieldOnce(field, "second", 40, "Manufacturer"), 0);
    EXPECT_STREQ(field, "first");
    EXPECT_EQ(capture.Take(), "ERROR (line    0) - Duplicate 'Manufacturer' keyword.\n");
}

TEST(CmnSetField, KeepsTheLongTextUpToTheFieldRoom) {
    MessageCapture capture;
    MSG_SetCurrentLine(2);
    char field[CMN_FIELD_MAX + 1] = "";
    EXPECT_EQ(CMN_SetField(field, "a_long_file_name.ibs", 12, "File_name"), 1);
    EXPECT_STREQ(field, "a_long_file_name.ibs");
    EXPECT_EQ(capture.Take(),
              "ERROR (line    2) - File_name string 'a_long_file_name.ibs' is too long, maximum length 12 allowed.\n");

    EXPECT_EQ(CMN_SetField(field, "again", 12, "File_name"), 0);
    EXPECT_EQ(capture.Take(), "ERROR (line    2) - Duplicate 'File_name' keyword.\n");

    char big[CMN_FIELD_MAX + 1] = "";
    const std::string source(1500, 'b');
    EXPECT_EQ(CMN_SetField(big, source.c_str(), 3000, "Notes"), 1);
    EXPECT_EQ(std::strlen(big), CMN_FIELD_MAX);
    EXPECT_EQ(capture.Take(), "");

    char empty[CMN_FIELD_MAX + 1] = "";
    EXPECT_EQ(CMN_SetField(empty, "", 12, "File_name"), 1);
    EXPECT_EQ(capture.Take(), "ERROR (line    2) - Zero length value for keyword 'File_name'.\n");
}

TEST(CmnRequireKeyword, NamesTheCurrentFile) {
    MessageCapture capture;
    CMN_SetCurrentFileName("board.ibs");
    EXPECT_EQ(CMN_RequireKeyword("Component", 1), 1);
    EXPECT_EQ(capture.Take(), "");
    EXPECT_EQ(CMN_RequireKeyword("Component", 0), 0);
    EXPECT_EQ(capture.Take(), "ERROR - Required keyword 'Component' not found in file 'board.ibs'.\n");
    CMN_SetCurrentFileName(nullptr);
    EXPECT_STREQ(CMN_GetCurrentFileName(), "");
}

TEST(CmnReserved, WholeWordsIgnoringCase) {
    EXPECT_EQ(CMN_IsNotReserved("Gnd"), 0);
    EXPECT_EQ(CMN_IsNotReserved("GND1"), 1);
    EXPECT_EQ(CMN_IsNotReserved("circuitcall"), 0);
    EXPECT_EQ(CMN_IsNotReserved("Na"), 0);
    EXPECT_EQ(CMN_IsNotReserved("POWER2"), 1);

    MessageCapture capture;
    MSG_SetCurrentLine(4);
    EXPECT_EQ(CMN_CheckReserved("nc"), 0);
    EXPECT_EQ(capture.Take(), "ERROR (line    4) - Illegal use of Reserved Word 'nc'.\n");
    EXPECT_EQ(CMN_CheckReserved("buffer1"), 1);
    EXPECT_EQ(capture.Take(), "");
}

}  // namespace
