// The JSON Lines a worker hands to the command (see worker_transfer.h).

#include "tools/ibischeck/worker_transfer.h"

#include <exception>
#include <stdexcept>

#include "tools/ibischeck/result_json.h"

namespace ibischeck {

namespace {

// Each byte as the code point of the same number, in UTF-8.
std::string BytesAsCodePoints(const std::string& bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (const unsigned char byte : bytes) {
        if (byte < 0x80) {
            text += static_cast<char>(byte);
        } else {
            text += static_cast<char>(0xC0 | (byte >> 6));
            text += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return text;
}

// The inverse of BytesAsCodePoints; throws on a code point above U+00FF.
std::string CodePointsAsBytes(const std::string& text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            bytes += static_cast<char>(lead);
            continue;
        }
        if ((lead & 0xFE) != 0xC2 || i + 1 >= text.size())
            throw std::runtime_error("a transferred text holds more than bytes");
        bytes += static_cast<char>(((lead & 0x03) << 6) | (static_cast<unsigned char>(text[++i]) & 0x3F));
    }
    return bytes;
}

std::string TextField(const Json& object, const char* key) {
    return CodePointsAsBytes(object.at(key).get<std::string>());
}

Json CountsObject(const Counts& counts) {
    return Json{{"bugs", counts.bugs},
                {"errors", counts.errors},
                {"warnings", counts.warnings},
                {"cautions", counts.cautions},
                {"notes", counts.notes}};
}

Finding FindingFrom(const Json& object) {
    Finding finding;
    finding.file = TextField(object, "file");
    if (!object.at("line").is_null()) finding.line = object.at("line").get<unsigned long>();
    if (!LevelFromName(object.at("level").get<std::string>(), &finding.level))
        throw std::runtime_error("unknown finding level");
    finding.code = object.at("code").get<int>();
    finding.message = TextField(object, "message");
    return finding;
}

void ReadEnd(const Json& end, FileResult* result) {
    result->ibisVersion = TextField(end, "ibis_version");
    result->passed = end.at("passed").get<bool>();
    const Json& counts = end.at("counts");
    result->counts.bugs = counts.at("bugs").get<int>();
    result->counts.errors = counts.at("errors").get<int>();
    result->counts.warnings = counts.at("warnings").get<int>();
    result->counts.cautions = counts.at("cautions").get<int>();
    result->counts.notes = counts.at("notes").get<int>();
}

}  // namespace

std::string TransferLineOf(const Finding& finding) {
    Json object;
    object["file"] = BytesAsCodePoints(finding.file);
    object["line"] = finding.line ? Json(*finding.line) : Json(nullptr);
    object["level"] = LevelName(finding.level);
    object["code"] = finding.code;
    object["message"] = BytesAsCodePoints(finding.message);
    return Json{{"finding", std::move(object)}}.dump() + "\n";
}

std::string TransferEndLine(const FileResult& result) {
    Json object;
    object["ibis_version"] = BytesAsCodePoints(result.ibisVersion);
    object["passed"] = result.passed;
    object["counts"] = CountsObject(result.counts);
    return Json{{"end", std::move(object)}}.dump() + "\n";
}

bool ReadTransfer(const std::string& text, FileResult* result) {
    result->findings.clear();
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        if (end == std::string::npos) return false;  // cut off in the middle of a line
        try {
            const Json object = Json::parse(text.begin() + static_cast<std::ptrdiff_t>(start),
                                            text.begin() + static_cast<std::ptrdiff_t>(end));
            if (object.contains("finding")) {
                result->findings.push_back(FindingFrom(object.at("finding")));
            } else {
                ReadEnd(object.at("end"), result);
                return end + 1 == text.size();
            }
        } catch (const std::exception&) {
            return false;
        }
        start = end + 1;
    }
    return false;
}

}  // namespace ibischeck
