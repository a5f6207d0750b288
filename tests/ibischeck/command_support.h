#pragma once
// Running the ibischeck command (and others) from the tests, and temporary
// folders for what they check.

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace ibischeck_test {

namespace fs = std::filesystem;

struct CommandResult {
    std::string out;  // standard output
    int status = -1;  // exit status, -1 when the command did not exit
};

inline std::string Quote(const std::string& word) {
    std::string quoted = "'";
    for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs `words` (no shell expansion) in `folder`; standard error is dropped
// unless `keepErrors`, which appends it to the output.
inline CommandResult RunCommand(const std::vector<std::string>& words, const fs::path& folder = fs::current_path(),
                         bool keepErrors = false) {
    std::string command = "cd " + Quote(folder.string()) + " &&";
    for (const std::string& word : words) command += " " + Quote(word);
    command += keepErrors ? " 2>&1" : " 2>/dev/null";
    CommandResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    std::array<char, 65536> buffer{};
    for (size_t got; (got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) result.out.append(buffer.data(), got);
    const int status = pclose(pipe);
    if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
    return result;
}

// ibischeck with `arguments`, run in `folder`.
inline CommandResult Ibischeck(const std::vector<std::string>& arguments, const fs::path& folder = fs::current_path(),
                               bool keepErrors = false) {
    std::vector<std::string> words{IBISCHECK_PATH};
    words.insert(words.end(), arguments.begin(), arguments.end());
    return RunCommand(words, folder, keepErrors);
}

inline fs::path DataDir() { return fs::path(KORVAN_TEST_DATA_DIR); }

// A fresh folder under the system's temporary folder, removed at the end.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "ibischeck-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~TempFolder() {
        std::error_code error;
        if (!path_.empty()) fs::remove_all(path_, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

}  // namespace ibischeck_test
