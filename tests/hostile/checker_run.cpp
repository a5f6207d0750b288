#include "checker_run.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string_view>
#include <system_error>

#include "IbisParser/msg.h"
// The command's own per-file sequence, compiled into this test program so
// that the cases run exactly what ibischeck runs.
#include "tools/ibischeck/check_file.cpp"

namespace hostile {

namespace {

// Sends the checker's report into a temporary file for the duration of one
// check and puts the previous output back afterwards.
class CapturedOutput {
public:
    CapturedOutput() : previous_(MSG_GetOutput()), file_(std::tmpfile()) {
        if (file_ == nullptr) throw std::runtime_error("no temporary file for the report");
        MSG_SetOutput(file_);
    }
    ~CapturedOutput() {
        MSG_SetOutput(previous_);
        std::fclose(file_);
    }
    CapturedOutput(const CapturedOutput&) = delete;
    CapturedOutput& operator=(const CapturedOutput&) = delete;

    std::string Text() {
        std::fflush(file_);
        std::string text;
        std::rewind(file_);
        char chunk[65536];
        for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file_)) > 0;) text.append(chunk, n);
        return text;
    }

private:
    FILE* previous_;
    FILE* file_;
};

}  // namespace

bool CheckReport::EndsWithVerdict() const {
    const std::string passed_line = "\nFile Passed\n";
    const std::string failed_line = "\nFile Failed\n";
    return text.ends_with(passed_line) || text.ends_with(failed_line);
}

int CheckReport::LinesHolding(const std::string& piece) const {
    int count = 0;
    const std::string_view all(text);
    for (size_t at = 0; at < all.size();) {
        size_t end = all.find('\n', at);
        if (end == std::string_view::npos) end = all.size();
        if (all.substr(at, end - at).find(piece) != std::string_view::npos) ++count;
        at = end + 1;
    }
    return count;
}

namespace {

// The scratch folder, removed with everything left in it when the program
// ends.
class Scratch {
public:
    Scratch()
        : path_(std::filesystem::temp_directory_path() / ("korvan_hostile_" + std::to_string(getpid()))) {
        std::filesystem::create_directories(path_);
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    std::string Folder() const { return path_.string() + "/"; }

private:
    std::filesystem::path path_;
};

}  // namespace

std::string ScratchFolder() {
    static const Scratch scratch;
    return scratch.Folder();
}

CheckReport CheckPath(const std::string& path) {
    CapturedOutput output;
    CheckReport report;
    report.passed = IbischeckFile(path.c_str(), IbischeckKindOf(path.c_str()));
    report.text = output.Text();
    return report;
}

CheckReport CheckContent(const std::string& name, const std::string& content) {
    const std::string path = ScratchFolder() + name;
    {
        std::ofstream file(path, std::ios::binary);
        file.write(content.data(), static_cast<std::streamsize>(content.size()));
    }
    CheckReport report = CheckPath(path);
    std::filesystem::remove(path);
    return report;
}

}  // namespace hostile
