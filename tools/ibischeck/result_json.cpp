// JSON forms of findings and file results.

#include "tools/ibischeck/result_json.h"

#include <stdexcept>

namespace ibischeck {

namespace {

Json FindingFields(const Finding& finding) {
    Json object;
    object["file"] = finding.file;
    object["line"] = finding.line ? Json(*finding.line) : Json(nullptr);
    object["level"] = LevelName(finding.level);
    object["code"] = finding.code;
    object["message"] = finding.message;
    return object;
}

Json CountFields(const Counts& counts) {
    Json object;
    object["bugs"] = counts.bugs;
    object["errors"] = counts.errors;
    object["warnings"] = counts.warnings;
    object["cautions"] = counts.cautions;
    object["notes"] = counts.notes;
    return object;
}

}  // namespace

std::string Dump(const Json& json, int indent) {
    return json.dump(indent, ' ', false, Json::error_handler_t::replace);
}

const char* Verdict(const FileResult& result) { return result.passed ? "Passed" : "Failed"; }

Json FindingObject(const Finding& finding) {
    Json object;
    object["type"] = "finding";
    object.update(FindingFields(finding));
    return object;
}

Json SummaryObject(const FileResult& result) {
    Json object;
    object["type"] = "summary";
    object["file"] = result.file;
    object["ibis_version"] = result.ibisVersion;
    object.update(CountFields(result.counts));
    object["verdict"] = Verdict(result);
    if (!result.completed) object["completed"] = false;
    return object;
}

Json ToTransfer(const FileResult& result) {
    Json findings = Json::array();
    for (const Finding& finding : result.findings) findings.push_back(FindingFields(finding));
    Json object;
    object["ibis_version"] = result.ibisVersion;
    object["passed"] = result.passed;
    object["counts"] = CountFields(result.counts);
    object["findings"] = std::move(findings);
    return object;
}

void FromTransfer(const Json& json, FileResult* result) {
    result->ibisVersion = json.at("ibis_version").get<std::string>();
    result->passed = json.at("passed").get<bool>();
    const Json& counts = json.at("counts");
    result->counts.bugs = counts.at("bugs").get<int>();
    result->counts.errors = counts.at("errors").get<int>();
    result->counts.warnings = counts.at("warnings").get<int>();
    result->counts.cautions = counts.at("cautions").get<int>();
    result->counts.notes = counts.at("notes").get<int>();
    result->findings.clear();
    for (const Json& item : json.at("findings")) {
        Finding finding;
        finding.file = item.at("file").get<std::string>();
        if (!item.at("line").is_null()) finding.line = item.at("line").get<unsigned long>();
        if (!LevelFromName(item.at("level").get<std::string>(), &finding.level))
            throw std::runtime_error("unknown finding level");
        finding.code = item.at("code").get<int>();
        finding.message = item.at("message").get<std::string>();
        result->findings.push_back(std::move(finding));
    }
}

}  // namespace ibischeck
