// JSON forms of findings and file results.

#include "tools/ibischeck/result_json.h"

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

}  // namespace ibischeck
