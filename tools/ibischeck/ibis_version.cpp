// Reading the declared version the way the checker finds it: the first line
// that starts with a bracket must be [IBIS Ver].

#include "tools/ibischeck/ibis_version.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "IbisParser/parse.h"

namespace ibischeck {

namespace {

bool StartsWithNoCase(const std::string& text, size_t at, const char* prefix) {
    for (size_t i = 0; prefix[i] != '\0'; ++i) {
        if (at + i >= text.size()) return false;
        if (std::tolower(static_cast<unsigned char>(text[at + i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    }
    return true;
}

}  // namespace

std::string DeclaredIbisVersion(const std::string& path, int kind) {
    const std::string none = "-";
    if (kind == PARSE_KIND_AMI) return none;
    // Only a regular file: a device or a pipe could be read for ever.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return none;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        size_t at = line.find_first_not_of(" \t\r");
        if (at == std::string::npos || line[at] != '[') continue;
        if (!StartsWithNoCase(line, at, "[IBIS Ver]") && !StartsWithNoCase(line, at, "[IBIS_Ver]")) return none;
        at = line.find_first_not_of(" \t\r", at + 10);
        if (at == std::string::npos) return none;
        const size_t end = line.find_first_of(" \t\r|", at);
        return line.substr(at, end == std::string::npos ? std::string::npos : end - at);
    }
    return none;
}

}  // namespace ibischeck
