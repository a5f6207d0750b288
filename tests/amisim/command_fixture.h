#pragma once
// Runs the amisim command in a private folder per test and captures what it
// prints and how it exits.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace amisim_test {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

class CommandFolder : public ::testing::Test {
protected:
    explicit CommandFolder(std::string prefix) : prefix_(std::move(prefix)) {}

    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  (prefix_ + std::to_string(::getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    static std::string Read(const std::filesystem::path& path) {
        std::ifstream in(path);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::string Path(const std::string& name) const { return (folder_ / name).string(); }

    Outcome Run(const std::string& arguments) {
        const std::string command =
            std::string(AMISIM_COMMAND) + " " + arguments + " >" + Path("out") + " 2>" + Path("err");
        const int raw = std::system(command.c_str());
        Outcome outcome;
        outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        outcome.out = Read(folder_ / "out");
        outcome.err = Read(folder_ / "err");
        return outcome;
    }

    std::filesystem::path folder_;

private:
    std::string prefix_;
};

}  // namespace amisim_test
