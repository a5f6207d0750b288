#pragma once
// Check results as JSON: the objects of the JSON Lines output.

#include <nlohmann/json.hpp>

#include <string>

#include "tools/ibischeck/finding.h"

namespace ibischeck {

using Json = nlohmann::ordered_json;

// {"type":"finding","file","line","level","code","message"}; line is null
// when the message has none.
Json FindingObject(const Finding& finding);
// {"type":"summary","file","ibis_version", the counts, "verdict"}.
Json SummaryObject(const FileResult& result);
// "Passed" or "Failed", as the report's last line has it.
const char* Verdict(const FileResult& result);

// The text of `json`; bytes that are not UTF-8 (a file name in another
// encoding) become U+FFFD rather than an error.
std::string Dump(const Json& json, int indent = -1);

}  // namespace ibischeck
