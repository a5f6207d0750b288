// Models that crash, hang, exit, overrun their buffers, return NaN or
// print megabytes: each run ends with one line that names the model, the
// entry point and the fault, and exit status 1; in a sweep only the
// broken point fails; an interrupted amisim leaves no worker behind.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "amisim/command_fixture.h"

namespace fs = std::filesystem;

namespace {

using amisim_test::Outcome;

class ModelFault : public amisim_test::CommandFolder {
protected:
    ModelFault() : CommandFolder("amisim_fault_") {}

    // 100 bits a call at 16 samples a bit: a fault on the third call of the
    // time-domain instance strikes after 200 bits.
    Outcome RunBroken(const std::string& options) {
        return Run(std::string(AMISIM_BROKEN_MODEL) + " --root broken --bits 1000 --block-size 1600 " + options);
    }
    Outcome RunFault(const std::string& fault, const std::string& extra = "") {
        return RunBroken("--param fault=" + fault + " " + extra);
    }
};

// The diagnosis is the last line; what the model printed may come before
// it, under its name (glibc's word on a double free, say).
void ExpectDiagnosis(const Outcome& outcome, const std::string& diagnosis) {
    EXPECT_EQ(outcome.status, 1) << outcome.err;
    const std::string last = "amisim: " + diagnosis + "\n";
    ASSERT_GE(outcome.err.size(), last.size()) << outcome.err;
    EXPECT_EQ(outcome.err.substr(outcome.err.size() - last.size()), last) << outcome.err;
    const std::string before = outcome.err.substr(0, outcome.err.size() - last.size());
    EXPECT_TRUE(before.empty() || before.rfind("amisim: the model printed:\n  | ", 0) == 0) << outcome.err;
}

TEST_F(ModelFault, EachFaultIsNamedInOneLineWithExitOne) {
    ExpectDiagnosis(RunFault("null_getwave"), "the model crashed in AMI_GetWave (segmentation fault) after 200 bits");
    ExpectDiagnosis(RunFault("double_free"), "the model crashed in AMI_GetWave (aborted) after 200 bits");
    ExpectDiagnosis(RunFault("past_wave"),
                    "the model wrote past the end of the wave in AMI_GetWave (segmentation fault) after 200 bits");
    ExpectDiagnosis(RunFault("nan_getwave"), "the model returned NaN from AMI_GetWave at sample 3,205 (bit 200)");
    ExpectDiagnosis(RunFault("loop_init", "--model-timeout 0.3"), "the model did not return from AMI_Init within 0.3 s");
    const Outcome exited = RunFault("exit_close");
    EXPECT_EQ(exited.status, 1);
    EXPECT_NE(exited.err.find("the model ended its process in AMI_Close (exit status 3)"), std::string::npos)
        << exited.err;
}

TEST_F(ModelFault, ALibraryThatCrashesAsItLoadsIsNamed) {
    ::setenv("AMISIM_TEST_CRASH_ON_LOAD", "1", 1);
    const Outcome outcome = RunFault("none");
    ::unsetenv("AMISIM_TEST_CRASH_ON_LOAD");
    ExpectDiagnosis(outcome, "the Tx model crashed while loading its library (segmentation fault)");
}

TEST_F(ModelFault, AChattyModelsOutputIsKeptApartAndBounded) {
    const Outcome outcome = RunBroken("--param fault=chatter --json " + Path("r.json"));
    ASSERT_EQ(outcome.status, 0) << outcome.err.substr(0, 400);
    // amisim's own report is untouched by the model's 10 MB a call.
    EXPECT_EQ(outcome.out.find("xxxx"), std::string::npos);
    EXPECT_NE(outcome.out.find("eye height"), std::string::npos);
    EXPECT_TRUE(nlohmann::json::accept(Read(folder_ / "r.json")));
    // On standard error, under the model's name, at most 64 KB per
    // instance, with the count of what was left out.
    EXPECT_NE(outcome.err.find("amisim: the model printed:\n  | xxxx"), std::string::npos);
    EXPECT_NE(outcome.err.find("more bytes from the model not kept"), std::string::npos);
    EXPECT_LT(outcome.err.size(), 4u * 70u * 1024u);
}

TEST_F(ModelFault, ASweepMarksTheBrokenPointAndTheOthersMatchARunWithoutIt) {
    const Outcome broken = RunBroken("--sweep fault=none,null_getwave,other --json " + Path("broken.json"));
    ASSERT_EQ(broken.status, 0) << broken.err.substr(0, 400);
    EXPECT_NE(broken.out.find("null_getwave failed: the model crashed in AMI_GetWave (segmentation fault)"),
              std::string::npos)
        << broken.out;
    EXPECT_NE(broken.err.find("amisim: fault=null_getwave: the model crashed in AMI_GetWave"), std::string::npos);
    const Outcome clean = RunBroken("--sweep fault=none,other --json " + Path("clean.json"));
    ASSERT_EQ(clean.status, 0) << clean.err.substr(0, 400);

    nlohmann::json with = nlohmann::json::parse(Read(folder_ / "broken.json"))["sweep"];
    nlohmann::json without = nlohmann::json::parse(Read(folder_ / "clean.json"))["sweep"];
    ASSERT_EQ(with.size(), 3u);
    EXPECT_EQ(with[1]["error"], "the model crashed in AMI_GetWave (segmentation fault) after 200 bits");
    for (nlohmann::json* points : {&with, &without})
        for (nlohmann::json& point : *points)
            if (point.contains("time_domain"))
                for (const char* timing : {"tx_seconds", "channel_seconds", "rx_seconds"})
                    point["time_domain"].erase(timing);
    EXPECT_EQ(with[0], without[0]);
    EXPECT_EQ(with[2], without[1]);

    const Outcome all = RunBroken("--sweep fault=null_getwave,double_free");
    EXPECT_EQ(all.status, 1);
    EXPECT_NE(all.err.find("every point of the sweep failed; the first: the model crashed in AMI_GetWave"),
              std::string::npos)
        << all.err;
}

// The processes whose parent is `parent`, from /proc.
std::vector<pid_t> ChildrenOf(pid_t parent) {
    std::vector<pid_t> children;
    for (const fs::directory_entry& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream stat(entry.path() / "stat");
        std::string text;
        std::getline(stat, text);
        const std::size_t close = text.rfind(')');
        if (close == std::string::npos) continue;
        char state = 0;
        long ppid = 0;
        if (std::sscanf(text.c_str() + close + 1, " %c %ld", &state, &ppid) == 2 && ppid == parent)
            children.push_back(static_cast<pid_t>(std::stol(name)));
    }
    return children;
}

bool Gone(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    if (!std::getline(stat, text)) return true;
    const std::size_t close = text.rfind(')');
    return close != std::string::npos && close + 2 < text.size() && text[close + 2] == 'Z';
}

TEST_F(ModelFault, AnInterruptedRunLeavesNoWorkerBehind) {
    for (const int signal_number : {SIGINT, SIGTERM}) {
        const pid_t amisim = ::fork();
        ASSERT_GE(amisim, 0);
        if (amisim == 0) {
            const std::string model = AMISIM_BROKEN_MODEL;
            const int null_fd = ::open("/dev/null", O_WRONLY);
            ::dup2(null_fd, 1);
            ::dup2(null_fd, 2);
            ::execl(AMISIM_COMMAND, AMISIM_COMMAND, model.c_str(), "--root", "broken", "--param", "fault=loop_init",
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        std::vector<pid_t> workers;
        for (int tries = 0; tries < 500 && workers.empty(); ++tries) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            workers = ChildrenOf(amisim);
        }
        ASSERT_EQ(workers.size(), 1u) << "no worker appeared";
        // Let the worker reach the endless AMI_Init.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ::kill(amisim, signal_number);
        int status = 0;
        ASSERT_EQ(::waitpid(amisim, &status, 0), amisim);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal_number) << status;
        bool gone = false;
        for (int tries = 0; tries < 300 && !gone; ++tries) {
            gone = Gone(workers[0]);
            if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        EXPECT_TRUE(gone) << "worker " << workers[0] << " outlived amisim";
    }
}

}  // namespace
