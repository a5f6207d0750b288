// Building the SARIF log.

#include "tools/ibischeck/sarif_log.h"

#include <cstdio>
#include <map>

#include "IbisParser/msg.h"

namespace ibischeck {

namespace {

constexpr const char* kSchema =
    "https://docs.oasis-open.org/sarif/sarif/v2.1.0/errata01/os/schemas/sarif-schema-2.1.0.json";

// SARIF knows error, warning and note; a caution is a warning to it, and
// the checker's own level stays in the result's properties.
const char* SarifLevel(Level level) {
    switch (level) {
        case Level::ProgramBug:
        case Level::Error: return "error";
        case Level::Warning:
        case Level::Caution: return "warning";
        case Level::Note: break;
    }
    return "note";
}

// The texts a code can print, from the message table; a shared code has
// one per variant.
std::string RuleText(int code) {
    std::string text;
    for (int variant = 0; variant < 10; ++variant) {
        const int id = variant * MSG_VARIANT_STRIDE + code;
        if (MSG_FindCode(id) < 0) continue;
        if (!text.empty()) text += " | ";
        text += MSG_TextOf(id);
    }
    return text.empty() ? MSG_TextOf(-1) : text;
}

Json Rule(int code) {
    Json rule;
    rule["id"] = RuleId(code);
    rule["shortDescription"] = {{"text", RuleText(code)}};
    return rule;
}

Json Result(const Finding& finding, size_t ruleIndex) {
    Json physical;
    physical["artifactLocation"] = {{"uri", PathToUri(finding.file)}};
    if (finding.line && *finding.line > 0) physical["region"] = {{"startLine", *finding.line}};
    Json result;
    result["ruleId"] = RuleId(finding.code);
    result["ruleIndex"] = ruleIndex;
    result["level"] = SarifLevel(finding.level);
    result["message"] = {{"text", finding.message}};
    result["locations"] = Json::array({Json{{"physicalLocation", physical}}});
    result["properties"] = {{"ibisLevel", LevelName(finding.level)}};
    return result;
}

bool IsUnreserved(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~' || c == '/';
}

}  // namespace

std::string RuleId(int code) {
    char id[16];
    std::snprintf(id, sizeof id, "%04d", code);
    return id;
}

std::string PathToUri(const std::string& path) {
    std::string uri = !path.empty() && path[0] == '/' ? "file://" : "";
    for (const unsigned char c : path) {
        if (IsUnreserved(c)) {
            uri += static_cast<char>(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            uri += escaped;
        }
    }
    return uri;
}

void SarifLog::Add(const FileResult& result) {
    findings_.insert(findings_.end(), result.findings.begin(), result.findings.end());
    files_.push_back(SummaryObject(result));
}

Json SarifLog::Build(const std::string& toolVersion) const {
    std::map<int, size_t> ruleIndex;  // code -> index, in code order
    for (const Finding& finding : findings_) ruleIndex.emplace(finding.code, 0);
    Json rules = Json::array();
    for (auto& [code, index] : ruleIndex) {
        index = rules.size();
        rules.push_back(Rule(code));
    }
    Json results = Json::array();
    for (const Finding& finding : findings_) results.push_back(Result(finding, ruleIndex.at(finding.code)));

    Json driver;
    driver["name"] = "ibischeck";
    driver["version"] = toolVersion;
    driver["rules"] = std::move(rules);
    Json run;
    run["tool"] = {{"driver", std::move(driver)}};
    run["results"] = std::move(results);
    // The verdict of each file, as the text report ends it.
    run["properties"] = {{"files", files_}};
    Json log;
    log["$schema"] = kSchema;
    log["version"] = "2.1.0";
    log["runs"] = Json::array({std::move(run)});
    return log;
}

}  // namespace ibischeck
