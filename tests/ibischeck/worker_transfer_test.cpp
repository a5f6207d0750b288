// The JSON Lines a worker hands to the command: every byte of a text
// arrives, and a transfer cut short is told from a whole one.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tools/ibischeck/worker_transfer.h"

namespace {

using namespace ibischeck;

FileResult SampleResult() {
    FileResult result;
    result.ibisVersion = "5.0";
    result.passed = false;
    result.counts.errors = 1;
    result.counts.notes = 1;
    return result;
}

// A text no printed line could be told apart in: quotes, backslashes, line
// breaks, a line that reads like a finding, bytes that are not UTF-8, a NUL.
const std::string kHostile = std::string("say \"hi\" \\ there\nERROR (line 3) - fake\r\n\xe9\xff\xc3(") + '\0' + "end";

TEST(WorkerTransfer, CarriesEveryByteOfEveryText) {
    Finding finding;
    finding.file = "dir/caf\xe9 \"x\".ibs";
    finding.line = 42;
    finding.level = Level::Note;
    finding.code = 907;
    finding.message = kHostile;
    Finding bare;
    bare.file = "a.ibs";
    bare.level = Level::Error;
    bare.code = 3901;
    bare.message = "Required keyword 'Component' not found.";

    const std::string text = TransferLineOf(finding) + TransferLineOf(bare) + TransferEndLine(SampleResult());
    // One line per record: no line break of a text reaches the transfer.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);

    FileResult read;
    ASSERT_TRUE(ReadTransfer(text, &read));
    ASSERT_EQ(read.findings.size(), 2u);
    EXPECT_EQ(read.findings[0].file, finding.file);
    EXPECT_EQ(read.findings[0].line, 42ul);
    EXPECT_EQ(read.findings[0].level, Level::Note);
    EXPECT_EQ(read.findings[0].code, 907);
    EXPECT_EQ(read.findings[0].message, kHostile);
    EXPECT_FALSE(read.findings[1].line.has_value());
    EXPECT_EQ(read.findings[1].message, bare.message);
    EXPECT_EQ(read.ibisVersion, "5.0");
    EXPECT_FALSE(read.passed);
    EXPECT_EQ(read.counts.errors, 1);
    EXPECT_EQ(read.counts.notes, 1);
}

TEST(WorkerTransfer, ATransferCutShortKeepsItsWholeFindingsAndSaysSo) {
    Finding finding;
    finding.file = "a.ibs";
    finding.code = 916;
    finding.message = kHostile;
    const std::string line = TransferLineOf(finding);
    const std::string whole = line + line + TransferEndLine(SampleResult());

    FileResult read;
    EXPECT_FALSE(ReadTransfer(line + line, &read));  // no end line
    EXPECT_EQ(read.findings.size(), 2u);
    EXPECT_FALSE(ReadTransfer(line + line.substr(0, line.size() / 2), &read));  // cut inside a line
    EXPECT_EQ(read.findings.size(), 1u);
    EXPECT_FALSE(ReadTransfer(whole.substr(0, whole.size() - 1), &read));  // the end line unfinished
    EXPECT_FALSE(ReadTransfer(whole + line, &read));                     // something after the end
    EXPECT_FALSE(ReadTransfer("{\"finding\":{\"level\":\"bad\"}}\n", &read));
    EXPECT_FALSE(ReadTransfer("", &read));
    EXPECT_TRUE(ReadTransfer(whole, &read));
}

TEST(WorkerTransfer, TextsHoldingMoreThanBytesAreRefused) {
    // A code point above U+00FF cannot have come from a worker.
    const std::string line =
        "{\"finding\":{\"file\":\"a.ibs\",\"line\":null,\"level\":\"error\",\"code\":1,\"message\":\"\\u20ac\"}}\n";
    FileResult read;
    EXPECT_FALSE(ReadTransfer(line, &read));
    EXPECT_TRUE(read.findings.empty());
}

}  // namespace
