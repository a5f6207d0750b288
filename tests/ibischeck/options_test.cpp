// The command line: help, exit status by --fail-on, --explain, --summary.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "command_support.h"
#include "generated_ibis_files.h"

namespace {

using namespace ibischeck_test;
using ibischeck_generated::Variation;
using Words = std::vector<std::string>;

Words WordsOf(const std::string& line) {
    std::istringstream in(line);
    Words words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

TEST(Help, ListsEveryOptionWithItsDescriptionOnOneLine) {
    const CommandResult help = Ibischeck({"--help"});
    EXPECT_EQ(help.status, 0);
    const std::vector<std::string> options = {"--quiet",   "--coded",   "--accept-version-1", "--force-version-5",
                                              "--skip-file-name-checks", "--format", "--recursive", "--jobs",
                                              "--fail-on", "--explain", "--summary",         "--help",
                                              "--version"};
    std::istringstream lines(help.out);
    std::vector<std::string> optionLines;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("  -", 0) != 0) continue;
        // names, two or more blanks, a description: all on the one line
        const size_t gap = line.find("  ", 2);
        EXPECT_TRUE(gap != std::string::npos && line.find_first_not_of(' ', gap) != std::string::npos) << line;
        optionLines.push_back(line);
    }
    for (const std::string& option : options) {
        int found = 0;
        for (const std::string& line : optionLines) found += line.find(option + " ") != std::string::npos ||
                                                              line.find(option + ",") != std::string::npos;
        EXPECT_EQ(found, 1) << option;
    }
}

class FailOn : public testing::Test {
protected:
    void SetUp() override {
        const auto lines = ibischeck_generated::TemplateLines(KORVAN_SOURCE_DIR);
        for (const auto& [name, variation] : {std::pair{"clean.ibs", Variation::Clean},
                                             std::pair{"warned.ibs", Variation::Tab},
                                             std::pair{"cautioned.ibs", Variation::Cautions},
                                             std::pair{"failed.ibs", Variation::UnknownKeyword}})
            std::ofstream(folder_.path() / name) << ibischeck_generated::GeneratedText(lines, name, variation);
    }
    int Status(const std::string& file, const std::string& level) {
        return Ibischeck({"-q", "--fail-on", level, file}, folder_.path()).status;
    }
    TempFolder folder_;
};

TEST_F(FailOn, RaisesTheExitStatusAtTheChosenLevelAndAbove) {
    EXPECT_EQ(Ibischeck({"clean.ibs"}, folder_.path()).status, 0);
    for (const char* level : {"error", "warning", "caution"}) {
        EXPECT_EQ(Status("clean.ibs", level), 0) << level;
        EXPECT_EQ(Status("failed.ibs", level), 1) << level;
    }
    EXPECT_EQ(Ibischeck({"warned.ibs"}, folder_.path()).status, 0);  // error is the default
    EXPECT_EQ(Status("warned.ibs", "error"), 0);
    EXPECT_EQ(Status("warned.ibs", "warning"), 1);
    EXPECT_EQ(Status("warned.ibs", "caution"), 1);
    EXPECT_EQ(Status("cautioned.ibs", "warning"), 0);
    EXPECT_EQ(Status("cautioned.ibs", "caution"), 1);
    EXPECT_EQ(Status("clean.ibs", "note"), 2);  // not a level it takes
}

TEST_F(FailOn, SummaryTableHasALinePerFileAndTheTotals) {
    const CommandResult result =
        Ibischeck({"-q", "--summary", "clean.ibs", "warned.ibs", "cautioned.ibs", "failed.ibs"}, folder_.path());
    const size_t table = result.out.rfind("\nFile ");  // the table follows the reports
    ASSERT_NE(table, std::string::npos);
    std::istringstream lines(result.out.substr(table + 1));
    std::vector<std::string> rows;
    for (std::string line; std::getline(lines, line);) rows.push_back(line);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(WordsOf(rows[0]), (Words{"File", "IBIS", "Errors", "Warnings", "Cautions", "Notes", "Verdict"}));
    EXPECT_EQ(WordsOf(rows[1]), (Words{"clean.ibs", "5.0", "0", "0", "0", "0", "Passed"}));
    EXPECT_EQ(WordsOf(rows[2]), (Words{"warned.ibs", "5.0", "0", "1", "0", "0", "Passed"}));
    EXPECT_EQ(WordsOf(rows[3]), (Words{"cautioned.ibs", "5.0", "0", "0", "2", "0", "Passed"}));
    Words failed = WordsOf(rows[4]);
    ASSERT_EQ(failed.size(), 7u) << rows[4];
    const std::string errors = failed[2];
    EXPECT_GT(std::stoi(errors), 0);
    EXPECT_EQ(failed, (Words{"failed.ibs", "5.0", errors, "0", "0", "0", "Failed"}));
    // The totals: the same errors, then one warning, two cautions, no notes.
    EXPECT_EQ(WordsOf(rows[5]), (Words{"Total", errors, "1", "2", "0", "3", "Passed,", "1", "Failed"}));
}

TEST(Explain, PrintsTheTextsAndLevelsOfACode) {
    const CommandResult plain = Ibischeck({"--explain", "906"});
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(plain.out, "Code 0906\n  Text : Keywords Must Begin In Column 1.\n  Level: ERROR, with the line number\n");
    EXPECT_EQ(Ibischeck({"--explain", "E0906"}).out, plain.out);

    // A shared code lists each of its texts.
    const CommandResult shared = Ibischeck({"--explain", "3901"});
    EXPECT_EQ(shared.status, 0);
    EXPECT_NE(shared.out.find("(shared: 2 texts)"), std::string::npos);
    EXPECT_NE(shared.out.find("Text : No %s Value Was Provided for %s"), std::string::npos);
    EXPECT_NE(shared.out.find("Text : Required keyword 'Component' not found."), std::string::npos);

    for (const char* unknown : {"9999", "0", "abc", "12345"}) EXPECT_EQ(Ibischeck({"--explain", unknown}).status, 2);
}

}  // namespace
