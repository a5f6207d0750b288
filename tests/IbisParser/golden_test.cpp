// Golden-file tests of the ibischeck command.
//
// Every file golden/<group>/<input>.expected is one case: ibischeck runs in
// golden/<group> on <input> (which may be missing, a directory or anything
// else) with the options in <input>.args, if that file exists, and its
// standard output must equal the expected file byte for byte; its exit status
// must be 0 for a report ending in "File Passed" and 1 otherwise. See
// golden/README.md for adding cases and regenerating expected files.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <cstring>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr const char* kExpectedSuffix = ".expected";

struct GoldenCase {
    std::string group;
    std::string input;
    fs::path directory;
};

// Shown by gtest instead of the bytes of the record.
void PrintTo(const GoldenCase& golden, std::ostream* out) { *out << golden.group << "/" << golden.input; }

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The options of a case: the words of <input>.args.
std::string OptionsOf(const GoldenCase& golden) {
    const fs::path argsPath = golden.directory / (golden.input + ".args");
    if (!fs::exists(argsPath)) return "";
    std::istringstream words(Slurp(argsPath));
    std::string options;
    for (std::string word; words >> word;) options += " '" + word + "'";
    return options;
}

std::vector<GoldenCase> FindCases() {
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

std::string TestNameOf(const testing::TestParamInfo<GoldenCase>& info) {
    std::string name = info.param.group + "_" + info.param.input;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

struct RunResult {
    std::string output;
    int status = -1;
};

RunResult RunIbischeck(const std::string& ibischeck, const GoldenCase& golden) {
    const std::string command = "cd '" + golden.directory.string() + "' && '" + ibischeck + "'" + OptionsOf(golden) +
                                " '" + golden.input + "'";
    RunResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.output.append(buffer, n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

class GoldenTest : public testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenTest, ReportMatchesExpected) {
#ifndef IBISCHECK_PATH
    GTEST_SKIP() << "the path of ibischeck was not configured";
#else
    const GoldenCase& golden = GetParam();
    const fs::path expectedPath = golden.directory / (golden.input + kExpectedSuffix);
    const RunResult run = RunIbischeck(IBISCHECK_PATH, golden);

    if (std::getenv("IBISCHECK_REGENERATE") != nullptr) {
        std::ofstream(expectedPath, std::ios::binary) << run.output;
        GTEST_SKIP() << "rewrote " << expectedPath << "; check it by eye";
    }

    EXPECT_EQ(Slurp(expectedPath), run.output) << "case " << golden.group << "/" << golden.input;
    const bool passed = run.output.ends_with("File Passed\n");
    EXPECT_EQ(passed ? 0 : 1, run.status) << "exit status of " << golden.group << "/" << golden.input;
#endif
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenTest, testing::ValuesIn(FindCases()), TestNameOf);

}  // namespace
