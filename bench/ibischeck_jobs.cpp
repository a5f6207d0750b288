// Checking a folder of 200 generated model files with ibischeck -j 1 and -j 2:
// the command as a user runs it, each run a fresh process, timed on the wall
// clock (the work happens in the worker processes). BM_CheckFolderPaired runs
// -j 1 and -j 2 in turn in every iteration, so that a change in the load of
// a shared machine falls on both alike; the closing note gives the ratio of
// its median times, measured in this one run.

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bench/smoke_run.h"
#include "tests/ibischeck/generated_ibis_files.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kFiles = 200;

// The generated folder, made once and removed at exit.
class GeneratedFolder {
public:
    GeneratedFolder() {
        std::string pattern = (fs::temp_directory_path() / "ibischeck-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) return;
        path_ = pattern;
        ibischeck_generated::WriteGeneratedFiles(KORVAN_SOURCE_DIR, path_, kFiles);
    }
    ~GeneratedFolder() {
        std::error_code error;
        if (!path_.empty()) fs::remove_all(path_, error);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

const fs::path& Folder() {
    static GeneratedFolder folder;
    return folder.path();
}

// Runs ibischeck -q -j N on the folder, its output thrown away; true when it
// ran to its end (exit 0 or 1: some generated files have errors).
bool CheckFolder(int jobs) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const std::string jobsText = std::to_string(jobs);
    const std::string folder = Folder().string();
    std::vector<char*> argv = {const_cast<char*>(IBISCHECK_PATH), const_cast<char*>("-q"), const_cast<char*>("-j"),
                               const_cast<char*>(jobsText.c_str()), const_cast<char*>(folder.c_str()), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, IBISCHECK_PATH, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return false;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) <= 1;
}


void BM_CheckFolder(benchmark::State& state) {
    const int jobs = static_cast<int>(state.range(0));
    if (Folder().empty()) {
        state.SkipWithError("cannot make the folder of generated files");
        return;
    }
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const bool ran = CheckFolder(jobs);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!ran) {
            state.SkipWithError("ibischeck did not run to its end");
            return;
        }
        state.SetIterationTime(seconds);
    }
    state.counters["files/s"] = benchmark::Counter(static_cast<double>(kFiles) * static_cast<double>(state.iterations()),
                                                   benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CheckFolder)->Arg(1)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(korvan_bench::IterationsOr(5));

std::vector<double> g_pairedOne;
std::vector<double> g_pairedTwo;

double TimeCheck(int jobs, bool* ran) {
    const auto start = std::chrono::steady_clock::now();
    *ran = CheckFolder(jobs) && *ran;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Time is the -j 2 run; the counters hold both medians and their ratio.
void BM_CheckFolderPaired(benchmark::State& state) {
    if (Folder().empty()) {
        state.SkipWithError("cannot make the folder of generated files");
        return;
    }
    for (auto _ : state) {
        bool ran = true;
        g_pairedOne.push_back(TimeCheck(1, &ran));
        g_pairedTwo.push_back(TimeCheck(2, &ran));
        if (!ran) {
            state.SkipWithError("ibischeck did not run to its end");
            return;
        }
        state.SetIterationTime(g_pairedTwo.back());
    }
}
BENCHMARK(BM_CheckFolderPaired)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(korvan_bench::IterationsOr(21));

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!g_pairedOne.empty() && g_pairedOne.size() == g_pairedTwo.size()) {
        const double one = Median(g_pairedOne);
        const double two = Median(g_pairedTwo);
        // Each pair ran back to back, under the same load.
        std::vector<double> ratios;
        for (size_t i = 0; i < g_pairedOne.size(); ++i) ratios.push_back(g_pairedTwo[i] / g_pairedOne[i]);
        std::printf("\n%d files, %zu paired runs: -j 1 median %.1f ms, -j 2 median %.1f ms, ratio of medians %.2f, "
                    "median of pair ratios %.2f (target: at most 0.60)\n",
                    kFiles, ratios.size(), one * 1e3, two * 1e3, two / one, Median(ratios));
    }
    return 0;
}
