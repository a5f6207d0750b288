#pragma once
// The golden cases of the checker: finding them and running ibischeck on
// one, shared by the tests of the report and of the other output formats.
//
// Every file golden/<group>/<input>.expected is one case: ibischeck runs in
// golden/<group> on <input> (which may be missing, a directory or anything
// else) with the options in <input>.args, if that file exists. See
// golden/README.md for adding cases and regenerating expected files.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace golden {

namespace fs = std::filesystem;

constexpr const char* kExpectedSuffix = ".expected";

struct GoldenCase {
    std::string group;
    std::string input;
    fs::path directory;
};

// Shown by gtest instead of the bytes of the record.
inline void PrintTo(const GoldenCase& golden, std::ostream* out) { *out << golden.group << "/" << golden.input; }

inline std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The options of a case: the words of <input>.args.
inline std::vector<std::string> OptionsOf(const GoldenCase& golden) {
    const fs::path argsPath = golden.directory / (golden.input + ".args");
    std::vector<std::string> options;
    if (!fs::exists(argsPath)) return options;
    std::istringstream words(Slurp(argsPath));
    for (std::string word; words >> word;) options.push_back(word);
    return options;
}

inline std::vector<GoldenCase> FindCases() {
    std::vector<GoldenCase> cases;
    const fs::path root = fs::path(KORVAN_SOURCE_DIR) / "tests" / "IbisParser" / "golden";
    std::error_code error;
    for (const auto& group : fs::directory_iterator(root, error)) {
        if (!group.is_directory()) continue;
        for (const auto& entry : fs::directory_iterator(group.path())) {
            const std::string name = entry.path().filename().string();
            if (!entry.is_regular_file() || !name.ends_with(kExpectedSuffix)) continue;
            cases.push_back({group.path().filename().string(), name.substr(0, name.size() - std::strlen(kExpectedSuffix)),
                             group.path()});
        }
    }
    std::sort(cases.begin(), cases.end(), [](const GoldenCase& a, const GoldenCase& b) {
        return a.group != b.group ? a.group < b.group : a.input < b.input;
    });
    return cases;
}

inline std::string TestNameOf(const testing::TestParamInfo<GoldenCase>& info) {
    std::string name = info.param.group + "_" + info.param.input;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

struct RunResult {
    std::string output;
    int status = -1;
};

// ibischeck on the case, `extra` options before the case's own.
inline RunResult RunIbischeck(const std::string& ibischeck, const GoldenCase& golden,
                              const std::vector<std::string>& extra = {}) {
    std::string command = "cd '" + golden.directory.string() + "' && '" + ibischeck + "'";
    for (const std::string& word : extra) command += " '" + word + "'";
    for (const std::string& word : OptionsOf(golden)) command += " '" + word + "'";
    command += " '" + golden.input + "' 2>/dev/null";
    RunResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.output.append(buffer, n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace golden
