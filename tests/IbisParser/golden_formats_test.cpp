// The JSON Lines and the SARIF log of every golden case hold exactly the
// findings of its text report: each finding of the JSON Lines, printed as the
// report prints a finding, is found in the expected report in order, and
// what the report holds besides them is no finding; the SARIF results are
// the same findings in the same order.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "IbisParser/msg.h"
#include "golden_cases.h"

namespace {

using namespace golden;
using nlohmann::json;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

MSG_Level LevelNamed(const std::string& name) {
    if (name == "program bug") return MSG_LEVEL_BUG;
    if (name == "error") return MSG_LEVEL_ERROR;
    if (name == "warning") return MSG_LEVEL_WARNING;
    if (name == "caution") return MSG_LEVEL_CAUTION;
    EXPECT_EQ(name, "note");
    return MSG_LEVEL_NOTE;
}

MSG_Record RecordOf(const json& finding) {
    MSG_Record record;
    record.level = LevelNamed(finding.at("level").get<std::string>());
    record.code = finding.at("code").get<int>();
    record.hasLine = !finding.at("line").is_null();
    if (record.hasLine) record.line = finding.at("line").get<unsigned long>();
    record.text = finding.at("message").get<std::string>();
    return record;
}

// A line that starts the way the report starts a finding: a level word or a
// level letter and four digits, then " - ", " -" at the end, or " (line".
bool LooksLikeAFinding(std::string_view line) {
    for (const std::string_view word : {"PROGRAM BUG", "ERROR", "WARNING", "CAUTION", "NOTE"}) {
        if (line.substr(0, word.size()) == word) {
            line.remove_prefix(word.size());
            return line == " -" || line.starts_with(" - ") || line.starts_with(" (line");
        }
    }
    if (line.size() < 5 || std::string_view("BEWCN").find(line[0]) == std::string_view::npos) return false;
    for (size_t i = 1; i < 5; ++i)
        if (!IsDigit(line[i])) return false;
    line.remove_prefix(5);
    return line == " -" || line.starts_with(" - ") || line.starts_with(" (line");
}

std::vector<json> FindingsOfJsonLines(const std::string& text) {
    std::vector<json> findings;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const json object = json::parse(line);
        if (object.at("type") == "finding") findings.push_back(object);
    }
    return findings;
}

// The report is walked from the start: a finding's print is taken where the
// next finding is due; any other line must not look like a finding.
void ExpectReportIsExactlyTheseFindings(const std::string& report, const std::vector<json>& findings, bool coded) {
    MSG_SetCodedStyle(coded ? 1 : 0);
    size_t next = 0;
    for (size_t at = 0; at < report.size();) {
        if (next < findings.size()) {
            const std::string printed = MSG_Render(RecordOf(findings[next]));
            if (report.compare(at, printed.size(), printed) == 0) {
                at += printed.size();
                ++next;
                continue;
            }
        }
        size_t end = report.find('\n', at);
        if (end == std::string::npos) end = report.size();
        const std::string_view line = std::string_view(report).substr(at, end - at);
        EXPECT_FALSE(LooksLikeAFinding(line)) << "a finding of the report is not the next one of the JSON Lines ("
                                              << (next < findings.size() ? findings[next].dump() : "none left")
                                              << "):\n" << line;
        at = end + 1;
    }
    EXPECT_EQ(next, findings.size()) << "findings of the JSON Lines not in the report, from "
                                     << (next < findings.size() ? findings[next].dump() : "");
    MSG_SetCodedStyle(0);
}

// "dir/a%20b.ibs" back to "dir/a b.ibs"; "file:///m/a.ibs" to "/m/a.ibs".
std::string PathOfUri(std::string uri) {
    if (uri.starts_with("file://")) uri.erase(0, 7);
    std::string path;
    for (size_t i = 0; i < uri.size(); ++i) {
        if (uri[i] == '%' && i + 2 < uri.size()) {
            path += static_cast<char>(std::stoi(uri.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            path += uri[i];
        }
    }
    return path;
}

void ExpectSarifHoldsTheseFindings(const std::string& log, const std::vector<json>& findings) {
    ASSERT_TRUE(json::accept(log)) << log;
    const json parsed = json::parse(log);
    const json& results = parsed.at("runs").at(0).at("results");
    ASSERT_EQ(results.size(), findings.size());
    for (size_t i = 0; i < results.size(); ++i) {
        const json& result = results[i];
        const json& finding = findings[i];
        EXPECT_EQ(std::stoi(result.at("ruleId").get<std::string>()), finding.at("code")) << i;
        EXPECT_EQ(result.at("properties").at("ibisLevel"), finding.at("level")) << i;
        EXPECT_EQ(result.at("message").at("text"), finding.at("message")) << i;
        const json& physical = result.at("locations").at(0).at("physicalLocation");
        const std::string uri = physical.at("artifactLocation").at("uri").get<std::string>();
        EXPECT_EQ(PathOfUri(uri), finding.at("file").get<std::string>()) << i;
        const bool numbered = !finding.at("line").is_null() && finding.at("line").get<unsigned long>() > 0;
        EXPECT_EQ(physical.contains("region"), numbered) << i;
        if (numbered) {
            EXPECT_EQ(physical.at("region").at("startLine"), finding.at("line")) << i;
        }
    }
}

class GoldenFormatsTest : public testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenFormatsTest, JsonLinesAndSarifHoldTheFindingsOfTheReport) {
#ifndef IBISCHECK_PATH
    GTEST_SKIP() << "the path of ibischeck was not configured";
#else
    const GoldenCase& golden = GetParam();
    const std::string report = Slurp(golden.directory / (golden.input + kExpectedSuffix));
    const std::vector<std::string> options = OptionsOf(golden);
    const bool coded = std::find(options.begin(), options.end(), "--coded") != options.end();

    const RunResult lines = RunIbischeck(IBISCHECK_PATH, golden, {"--format", "json"});
    const std::vector<json> findings = FindingsOfJsonLines(lines.output);
    ExpectReportIsExactlyTheseFindings(report, findings, coded);
    EXPECT_EQ(lines.status, report.ends_with("File Passed\n") ? 0 : 1);

    ExpectSarifHoldsTheseFindings(RunIbischeck(IBISCHECK_PATH, golden, {"--format", "sarif"}).output, findings);
#endif
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenFormatsTest, testing::ValuesIn(FindCases()), TestNameOf);

}  // namespace
