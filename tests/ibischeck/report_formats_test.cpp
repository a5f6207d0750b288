// The machine-readable formats against the text report: every finding of the
// report, in order, with its level, code, line and whole text.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "command_support.h"

namespace {

using namespace ibischeck_test;
using nlohmann::json;

std::vector<json> JsonLines(const std::string& text) {
    std::vector<json> objects;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) objects.push_back(json::parse(line));
    return objects;
}

// How the report prints a finding, from its JSON object: the prefix of its
// level (word or letter and code), the line number right-aligned in four
// places, and the text behind the prefix or, when it would not fit in 79
// columns there but does on a line of its own, on the next line.
std::string Rendered(const json& finding, bool coded) {
    struct Style {
        const char* level;
        const char* word;
        char letter;
        size_t wrapFrom;
        size_t wrapFromWithLine;
    };
    static const Style kStyles[] = {{"program bug", "PROGRAM BUG", 'B', 76, 76}, {"error", "ERROR", 'E', 72, 60},
                                    {"warning", "WARNING", 'W', 70, 58},       {"caution", "CAUTION", 'C', 70, 58},
                                    {"note", "NOTE", 'N', 73, 61}};
    const std::string level = finding.at("level").get<std::string>();
    const Style* style = nullptr;
    for (const Style& candidate : kStyles)
        if (level == candidate.level) style = &candidate;
    if (style == nullptr) return "<unknown level " + level + ">";

    char prefix[64];
    if (coded)
        std::snprintf(prefix, sizeof prefix, "%c%04d", style->letter, finding.at("code").get<int>());
    else
        std::snprintf(prefix, sizeof prefix, "%s", style->word);
    std::string out = prefix;
    const bool withLine = !finding.at("line").is_null();
    if (withLine) {
        char line[32];
        std::snprintf(line, sizeof line, " (line %4lu)", finding.at("line").get<unsigned long>());
        out += line;
    }
    const std::string text = finding.at("message").get<std::string>();
    const size_t from = withLine ? style->wrapFromWithLine : style->wrapFrom;
    const bool wrap = text.size() >= from && text.size() <= 75;
    return out + (wrap ? " -\n    " : " - ") + text + "\n";
}

// Takes each rendered finding out of the report in order; what is left must
// be banners, counts and the verdict.
void ExpectReportHoldsExactly(std::string report, const std::vector<json>& objects, bool coded) {
    size_t from = 0;
    int findings = 0;
    for (const json& object : objects) {
        if (object.at("type") != "finding") continue;
        ++findings;
        const std::string rendered = Rendered(object, coded);
        const size_t at = report.find(rendered, from);
        ASSERT_NE(at, std::string::npos) << "not in the report after offset " << from << ":\n" << rendered;
        report.erase(at, rendered.size());
        from = at;
    }
    EXPECT_GT(findings, 0);
    std::istringstream rest(report);
    for (std::string line; std::getline(rest, line);) {
        const bool expected = line.empty() || line.rfind("Checking ", 0) == 0 || line.rfind("Bugs    : ", 0) == 0 ||
                              line.rfind("Errors  : ", 0) == 0 || line.rfind("Warnings: ", 0) == 0 ||
                              line.rfind("Cautions: ", 0) == 0 || line.rfind("File ", 0) == 0;
        EXPECT_TRUE(expected) << "left over in the report: " << line;
    }
}

TEST(JsonLines, HoldEveryFindingOfTheReportInOrderInBothStyles) {
    const CommandResult lines = Ibischeck({"--format", "json", "every_level.ibs"}, DataDir());
    const std::vector<json> objects = JsonLines(lines.out);
    ASSERT_FALSE(objects.empty());
    std::set<std::string> levels;
    for (const json& object : objects)
        if (object.at("type") == "finding") levels.insert(object.at("level").get<std::string>());
    EXPECT_EQ(levels, (std::set<std::string>{"program bug", "error", "warning", "caution", "note"}));

    const CommandResult plain = Ibischeck({"every_level.ibs"}, DataDir());
    ExpectReportHoldsExactly(plain.out, objects, false);
    const CommandResult coded = Ibischeck({"--coded", "every_level.ibs"}, DataDir());
    ExpectReportHoldsExactly(coded.out, objects, true);
    EXPECT_EQ(lines.status, plain.status);
}

TEST(JsonLines, KeepTextsThatSpanLinesOrLookLikeFindingsWhole) {
    const std::vector<json> objects = JsonLines(Ibischeck({"--format", "json", "every_level.ibs"}, DataDir()).out);
    bool unknownKeywordData = false;
    bool multiLine = false;
    for (const json& object : objects) {
        if (object.value("code", 0) == 907) {
            // The data line echoed by the message reads like a finding of its own.
            EXPECT_EQ(object.at("message"), "Data for unknown keyword.\nERROR - a data line of an unknown keyword");
            EXPECT_EQ(object.at("line"), 54);
            unknownKeywordData = true;
        }
        if (object.value("code", 0) == 1503) multiLine = true;
    }
    EXPECT_TRUE(unknownKeywordData);
    EXPECT_TRUE(multiLine);
}

TEST(JsonLines, NameTheFileTheLineBelongsToAndEndWithTheCountsOfTheFile) {
    const std::vector<json> objects = JsonLines(Ibischeck({"--format", "json", "every_level.ibs"}, DataDir()).out);
    ASSERT_FALSE(objects.empty());
    int bugs = 0, errors = 0, warnings = 0, cautions = 0, notes = 0;
    for (const json& object : objects) {
        if (object.at("type") != "finding") continue;
        const std::string level = object.at("level");
        bugs += level == "program bug";
        errors += level == "error";
        warnings += level == "warning";
        cautions += level == "caution";
        notes += level == "note";
        // The parameter file read from within the .ibs file has its own finding.
        EXPECT_EQ(object.at("file"), level == "program bug" ? "every_level.ami" : "every_level.ibs");
    }
    const json& summary = objects.back();
    EXPECT_EQ(summary.at("type"), "summary");
    EXPECT_EQ(summary.at("file"), "every_level.ibs");
    EXPECT_EQ(summary.at("ibis_version"), "5.0");
    EXPECT_EQ(summary.at("bugs"), bugs);
    EXPECT_EQ(summary.at("errors"), errors);
    EXPECT_EQ(summary.at("warnings"), warnings);
    EXPECT_EQ(summary.at("cautions"), cautions);
    EXPECT_EQ(summary.at("notes"), notes);
    EXPECT_EQ(summary.at("verdict"), "Failed");
}

TEST(Sarif, LogHoldsWhatSarif210RequiresAndTheFindingsOfTheJsonLines) {
    const CommandResult sarif = Ibischeck({"--format", "sarif", "every_level.ibs"}, DataDir());
    EXPECT_EQ(sarif.status, 1);
    const json log = json::parse(sarif.out);
    EXPECT_EQ(log.at("version"), "2.1.0");
    EXPECT_NE(log.at("$schema").get<std::string>().find("sarif-schema-2.1.0"), std::string::npos);
    ASSERT_EQ(log.at("runs").size(), 1u);
    const json& run = log.at("runs")[0];
    const json& driver = run.at("tool").at("driver");
    EXPECT_EQ(driver.at("name"), "ibischeck");

    std::set<std::string> ruleIds;
    for (const json& rule : driver.at("rules")) {
        EXPECT_TRUE(ruleIds.insert(rule.at("id").get<std::string>()).second) << rule.at("id");
        EXPECT_FALSE(rule.at("shortDescription").at("text").get<std::string>().empty());
    }

    std::vector<json> findings;
    for (const json& object : JsonLines(Ibischeck({"--format", "json", "every_level.ibs"}, DataDir()).out))
        if (object.at("type") == "finding") findings.push_back(object);
    const json& results = run.at("results");
    ASSERT_EQ(results.size(), findings.size());
    for (size_t i = 0; i < results.size(); ++i) {
        const json& result = results[i];
        const json& finding = findings[i];
        char id[8];
        std::snprintf(id, sizeof id, "%04d", finding.at("code").get<int>());
        EXPECT_EQ(result.at("ruleId"), id);
        EXPECT_EQ(driver.at("rules")[result.at("ruleIndex").get<size_t>()].at("id"), id);
        const std::string level = result.at("level");
        EXPECT_TRUE(level == "error" || level == "warning" || level == "note") << level;
        EXPECT_EQ(result.at("message").at("text"), finding.at("message"));
        const json& physical = result.at("locations").at(0).at("physicalLocation");
        EXPECT_EQ(physical.at("artifactLocation").at("uri"), finding.at("file"));
        if (finding.at("line").is_null())
            EXPECT_FALSE(physical.contains("region"));
        else
            EXPECT_EQ(physical.at("region").at("startLine"), finding.at("line"));
    }
}

TEST(Sarif, LevelsMapOntoTheThreeSarifKnows) {
    const json log = json::parse(Ibischeck({"--format", "sarif", "every_level.ibs"}, DataDir()).out);
    for (const json& result : log.at("runs")[0].at("results")) {
        const std::string ibisLevel = result.at("properties").at("ibisLevel");
        const std::string expected = ibisLevel == "note"                              ? "note"
                                     : ibisLevel == "warning" || ibisLevel == "caution" ? "warning"
                                                                                        : "error";
        EXPECT_EQ(result.at("level"), expected) << ibisLevel;
    }
}

TEST(JsonLines, StayValidForAFileNameThatIsNotUtf8) {
    TempFolder folder;
    const std::string name = "caf\xe9.ibs";
    fs::copy_file(DataDir() / "every_level.ibs", folder.path() / name);
    const CommandResult lines = Ibischeck({"--format", "json", name}, folder.path());
    EXPECT_EQ(lines.status, 1);  // the file's findings, not a failed check
    const std::vector<json> objects = JsonLines(lines.out);
    ASSERT_FALSE(objects.empty());
    EXPECT_EQ(objects.back().at("file"), "caf\xef\xbf\xbd.ibs");
    const CommandResult sarif = Ibischeck({"--format", "sarif", name}, folder.path());
    EXPECT_EQ(sarif.status, 1);
    EXPECT_TRUE(json::accept(sarif.out));
}

// Texts no printed report could be split by: a quote, a backslash and a
// line break in one finding, a byte that is not UTF-8 in another (the file
// name), in files checked by two workers at once.
TEST(Formats, KeepFindingsWithQuotesBackslashesLineBreaksAndOtherBytesWhole) {
    TempFolder folder;
    const std::vector<std::string> names = {"q\"uote\xe9.ibs", "b\"ack\xff.ibs"};
    for (const std::string& name : names) {
        FILE* file = std::fopen((folder.path() / name).c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fputs("[IBIS Ver] 5.0\n[File Name] plain.ibs\n[File Rev] 1.0\n[Unknown Thing]\nsay \"hi\" \\ there\n[End]\n",
                   file);
        std::fclose(file);
    }
    const CommandResult text = Ibischeck({names[0], names[1]}, folder.path());
    EXPECT_NE(text.out.find("File name opened 'q\"uote\xe9.ibs' not the same"), std::string::npos) << text.out;
    EXPECT_EQ(Ibischeck({"-j", "2", names[0], names[1]}, folder.path()).out, text.out);

    const CommandResult lines = Ibischeck({"--format", "json", names[0], names[1]}, folder.path());
    EXPECT_EQ(lines.status, 1);
    EXPECT_EQ(Ibischeck({"--format", "json", "-j", "2", names[0], names[1]}, folder.path()).out, lines.out);
    std::vector<json> findings;
    for (const json& object : JsonLines(lines.out))
        if (object.at("type") == "finding") findings.push_back(object);
    ASSERT_EQ(findings.size(), 8u) << lines.out;
    EXPECT_EQ(findings[0].at("code"), 1014);
    EXPECT_EQ(findings[0].at("file"), "q\"uote\xef\xbf\xbd.ibs");
    EXPECT_EQ(findings[0].at("message"), "File name opened 'q\"uote\xef\xbf\xbd.ibs' not the same as File_name 'plain.ibs'.");
    EXPECT_EQ(findings[2].at("code"), 907);
    EXPECT_EQ(findings[2].at("message"), "Data for unknown keyword.\nsay \"hi\" \\ there");
    EXPECT_EQ(findings[4].at("message"), "File name opened 'b\"ack\xef\xbf\xbd.ibs' not the same as File_name 'plain.ibs'.");

    const CommandResult sarif = Ibischeck({"--format", "sarif", "-j", "2", names[0], names[1]}, folder.path());
    ASSERT_TRUE(json::accept(sarif.out));
    const json results = json::parse(sarif.out).at("runs").at(0).at("results");
    ASSERT_EQ(results.size(), findings.size());
    for (size_t i = 0; i < results.size(); ++i)
        EXPECT_EQ(results[i].at("message").at("text"), findings[i].at("message")) << i;
}

}  // namespace
