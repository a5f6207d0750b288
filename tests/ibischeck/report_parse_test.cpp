// Reading findings back from a captured report: only a write can start a
// finding, whatever the lines inside a message text look like.

#include <gtest/gtest.h>

#include "tools/ibischeck/report_parse.h"

namespace {

using ibischeck::Finding;
using ibischeck::Level;
using ibischeck::ParseFindings;
using Write = ibischeck::ReportCapture::Write;

// A report assembled from writes, as the checker's stream receives them.
struct Report {
    std::string text;
    std::vector<Write> writes;
    Report& Add(const std::string& piece, const std::string& location = "a.ibs") {
        writes.push_back({text.size(), location});
        text += piece;
        return *this;
    }
};

TEST(ReportParse, ReadsBothStylesWithAndWithoutLineNumbers) {
    Report report;
    report.Add("\nChecking a.ibs for IBIS 5.0 Compatibility...\n\n")
        .Add("ERROR")
        .Add(" (line   12)")
        .Add(" - Duplicate Pin 'A1'\n")
        .Add("W0921")
        .Add(" - IBIS files should not contain tab characters.\n")
        .Add("PROGRAM BUG")
        .Add(" - Unable to get IBIS structure\n")
        .Add("\n")
        .Add("Errors  : 1\n");
    const std::vector<Finding> findings = ParseFindings(report.text, report.writes);
    ASSERT_EQ(findings.size(), 3u);
    EXPECT_EQ(findings[0].level, Level::Error);
    EXPECT_EQ(findings[0].line, 12ul);
    EXPECT_EQ(findings[0].code, 0);  // the plain style shows none
    EXPECT_EQ(findings[0].message, "Duplicate Pin 'A1'");
    EXPECT_EQ(findings[1].level, Level::Warning);
    EXPECT_EQ(findings[1].code, 921);
    EXPECT_FALSE(findings[1].line.has_value());
    EXPECT_EQ(findings[2].level, Level::ProgramBug);
}

TEST(ReportParse, JoinsWrappedTextsAndKeepsLineBreaksInsideTexts) {
    Report report;
    report.Add("E0907", "b.pkg")
        .Add(" (line    4)", "b.pkg")
        .Add(" -\n    Data for unknown keyword.\nERROR - looks like a finding\n", "b.pkg")
        .Add("E0909")
        .Add(" - Previous keyword not terminated properly. Possibly missing a \"/\"\n\n")
        .Add("\n");
    const std::vector<Finding> findings = ParseFindings(report.text, report.writes);
    ASSERT_EQ(findings.size(), 2u);
    EXPECT_EQ(findings[0].message, "Data for unknown keyword.\nERROR - looks like a finding");
    EXPECT_EQ(findings[0].file, "b.pkg");
    EXPECT_EQ(findings[0].line, 4ul);
    // A text ending in a line break keeps it.
    EXPECT_EQ(findings[1].message, "Previous keyword not terminated properly. Possibly missing a \"/\"\n");
}

TEST(ReportParse, IgnoresTheUnknownCodeNoticeAndTextThatStartsNoWrite) {
    Report report;
    report.Add("I0000 - Error code doesn't exist.\n").Add("text ERROR - not at a write\n");
    EXPECT_TRUE(ParseFindings(report.text, report.writes).empty());
    // The same line at the start of a write is a finding.
    Report head;
    head.Add("NOTE - a note\n");
    ASSERT_EQ(ParseFindings(head.text, head.writes).size(), 1u);
    EXPECT_EQ(ParseFindings(head.text, head.writes)[0].level, Level::Note);
}

}  // namespace
