// Records of findings: what each holds, and that the report prints a finding
// from its record.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "IbisParser/msg.h"
#include "msg_test_capture.h"

namespace {

// Keeps the records of the checker's messages while it lives.
class RecordLog {
public:
    RecordLog() {
        MSG_SetRecordSink([this](const MSG_Record& record) { records.push_back(record); });
    }
    ~RecordLog() {
        MSG_SetRecordSink(nullptr);
        MSG_SetFileSource(nullptr);
    }
    RecordLog(const RecordLog&) = delete;
    RecordLog& operator=(const RecordLog&) = delete;
    std::vector<MSG_Record> records;
};

TEST(MsgRecord, HoldsFileLineLevelCodeAndTextAndIsWhatIsPrinted) {
    MessageCapture capture;
    RecordLog log;
    std::string file = "a.ibs";
    MSG_SetFileSource([&file]() { return file; });
    MSG_SetCurrentLine(12);
    MSG_ErrorLine(4906, "A1");
    file = "b.pkg";
    MSG_SetCodedStyle(1);
    MSG_Caution(102);
    // A shared code prints its own number, whatever its variant.
    MSG_Error(MSG_IBIS_NO_COMPONENT);

    ASSERT_EQ(log.records.size(), 3u);
    const MSG_Record& first = log.records[0];
    EXPECT_EQ(first.file, "a.ibs");
    EXPECT_TRUE(first.hasLine);
    EXPECT_EQ(first.line, 12u);
    EXPECT_EQ(first.level, MSG_LEVEL_ERROR);
    EXPECT_EQ(first.code, 4906);
    EXPECT_EQ(first.text, "Duplicate Pin 'A1'");
    EXPECT_EQ(log.records[1].file, "b.pkg");
    EXPECT_FALSE(log.records[1].hasLine);
    EXPECT_EQ(log.records[1].level, MSG_LEVEL_CAUTION);
    EXPECT_EQ(log.records[2].code, 3901);
    EXPECT_EQ(log.records[2].text, "Required keyword 'Component' not found.");

    MSG_SetCodedStyle(0);
    const std::string plain = MSG_Render(first);
    MSG_SetCodedStyle(1);
    EXPECT_EQ(capture.Take(), plain + MSG_Render(log.records[1]) + MSG_Render(log.records[2]));
    EXPECT_EQ(plain, "ERROR (line   12) - Duplicate Pin 'A1'\n");
}

TEST(MsgRecord, KeepsTheTextWholeWhereThePrintWrapsItOrItSpansLines) {
    MessageCapture capture;
    RecordLog log;
    MSG_SetCurrentLine(4);
    // 907 is "Data for unknown keyword.\n%s": the data line echoed reads
    // like a finding of its own.
    MSG_ErrorLine(907, "ERROR - not a finding \"quoted\" \\ back");
    const std::string wrapped(60, 'w');  // 916 "Invalid Keyword: %s" makes it 77 characters
    MSG_Error(916, wrapped.substr(0, 56).c_str());

    ASSERT_EQ(log.records.size(), 2u);
    EXPECT_EQ(log.records[0].text, "Data for unknown keyword.\nERROR - not a finding \"quoted\" \\ back");
    EXPECT_EQ(log.records[1].text, "Invalid Keyword: " + wrapped.substr(0, 56));
    EXPECT_EQ(capture.Take(),
              "ERROR (line    4) -\n    Data for unknown keyword.\nERROR - not a finding \"quoted\" \\ back\n"
              "ERROR -\n    Invalid Keyword: " + wrapped.substr(0, 56) + "\n");
}

TEST(MsgRecord, NoneForSuppressedMessagesOrUnknownCodes) {
    MessageCapture capture;
    RecordLog log;
    MSG_SuppressWarnings(1);
    MSG_Warning(102);
    MSG_SetCodedStyle(1);
    MSG_Error(99999);  // prints the notice of an unknown code, which is no finding
    EXPECT_TRUE(log.records.empty());
    EXPECT_EQ(capture.Take(), "I0000 - Error code doesn't exist.\n");
}

TEST(MsgRecord, ACharacterValueOfZeroLeavesNoByteInTheText) {
    MessageCapture capture;
    RecordLog log;
    MSG_Error(3116, 3u, "A1", 1u, '\0');
    ASSERT_EQ(log.records.size(), 1u);
    EXPECT_EQ(log.records[0].text.find('\0'), std::string::npos);
    EXPECT_TRUE(log.records[0].text.ends_with("found 1 column.")) << log.records[0].text;
}

}  // namespace
