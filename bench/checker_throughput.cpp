// Throughput and peak memory of the IBIS checker on large generated .ibs
// files: thousands of [Model] sections, each with four I-V tables, a ramp and
// rising and falling waveforms.
//
// The file is one complete [Component] (manufacturer, package, one pin per
// model) and its models, and must check without a single finding: the speed
// measured is that of a clean file, not of message printing. A finding makes
// the run fail.
//
// Each run checks the file in a child process, so that the peak resident
// memory reported is the checker's alone (the generator never holds the
// file). Reported per file size:
//   bytes_per_second  checking speed (read, all section checks, closing checks)
//   file_MB           size of the generated file
//   peak_MB           peak resident memory of the checking process
//   peak_per_file     peak_MB / file_MB
//   cpu_MB_per_s      the speed by the checking process's CPU time, steadier
//                     than the wall time on a busy machine
// Time linear in the file size shows as equal speeds across sizes.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "IbisParser/hdr.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"
#include "bench/smoke_run.h"

namespace {

constexpr double kMegabyte = 1024.0 * 1024.0;
constexpr int kIvRows = 25;
constexpr int kWaveformRows = 40;

void AppendRow(std::string* text, double x, double typ, double min, double max) {
    char row[128];
    std::snprintf(row, sizeof row, "%14.6e %14.6e %14.6e %14.6e\n", x, typ, min, max);
    *text += row;
}

// An I-V table from -Vcc to 2 Vcc: the typical current `current(v)`, 0.8
// of it in the min column and 1.2 of it in the max column.
std::string IvTable(const char* keyword, double (*current)(double)) {
    std::string text = std::string(keyword) + "\n| Voltage I(typ) I(min) I(max)\n";
    for (int i = 0; i < kIvRows; ++i) {
        const double v = -3.3 + 9.9 * i / (kIvRows - 1);
        const double typ = current(v);
        AppendRow(&text, v, typ, 0.8 * typ, 1.2 * typ);
    }
    return text;
}

// The corners of the generated model: the supply of [Voltage Range] and the
// factor its I-V tables give the typical currents.
struct Corner {
    double supply;
    double currentScale;
};
constexpr Corner kCorners[3] = {{3.3, 1.0}, {3.0, 0.8}, {3.6, 1.2}};  // typ, min, max
constexpr double kDriveSiemens = 0.04;  // the pulldown and pullup slope at typ
constexpr double kFixtureOhms = 50.0;

// The voltage where a driver of `driveOhms` to `driveVolts` meets the
// fixture to `fixtureVolts`.
double Divider(double driveOhms, double driveVolts, double fixtureVolts) {
    return (driveVolts / driveOhms + fixtureVolts / kFixtureOhms) / (1.0 / driveOhms + 1.0 / kFixtureOhms);
}

// A waveform into the fixture whose end points are where the I-V tables put
// them in each corner: the pulldown (to ground) holds the low level, the
// pullup (to the corner's supply) the high one, and the clamps carry no
// current between ground and the supply.
std::string Waveform(bool rising, double fixtureVolts) {
    char head[160];
    std::snprintf(head, sizeof head, "%s\nR_fixture = %g\nV_fixture = %.1f\n| time V(typ) V(min) V(max)\n",
                  rising ? "[Rising Waveform]" : "[Falling Waveform]", kFixtureOhms, fixtureVolts);
    double from[3];
    double to[3];
    for (int c = 0; c < 3; ++c) {
        const double driveOhms = 1.0 / (kDriveSiemens * kCorners[c].currentScale);
        const double low = Divider(driveOhms, 0.0, fixtureVolts);
        const double high = Divider(driveOhms, kCorners[c].supply, fixtureVolts);
        from[c] = rising ? low : high;
        to[c] = rising ? high : low;
    }
    std::string text = head;
    for (int i = 0; i < kWaveformRows; ++i) {
        const double share = static_cast<double>(i) / (kWaveformRows - 1);
        double v[3];
        for (int c = 0; c < 3; ++c) v[c] = from[c] + (to[c] - from[c]) * share;
        AppendRow(&text, i * 0.05e-9, v[0], v[1], v[2]);
    }
    return text;
}

// The part of every model after its name.
std::string ModelBody() {
    std::string text =
        "Model_type I/O\nPolarity Non-Inverting\nEnable Active-High\nVinl = 0.8\nVinh = 2.0\nVmeas = 1.5\n"
        "Cref = 0\nRref = 50\nVref = 0\nC_comp 5.0p 4.0p 6.0p\n[Voltage Range] 3.3 3.0 3.6\n"
        "[Temperature Range] 25 100 0\n";
    // Drivers of 25 Ohm (at typ) to ground and to the supply; clamps that
    // conduct only below ground and above the supply, where no end point of
    // a waveform lies.
    text += IvTable("[Pulldown]", [](double v) { return kDriveSiemens * v; });
    text += IvTable("[Pullup]", [](double v) { return -kDriveSiemens * v; });
    text += IvTable("[GND Clamp]", [](double v) { return v < 0.0 ? 0.01 * v : 0.0; });
    text += IvTable("[POWER Clamp]", [](double v) { return v < 0.0 ? -0.01 * v : 0.0; });
    text += "[Ramp]\nR_load = 50\ndV/dt_r 1.0/0.5n 0.9/0.6n 1.1/0.4n\ndV/dt_f 1.0/0.5n 0.9/0.6n 1.1/0.4n\n";
    text += Waveform(true, 0.0);
    text += Waveform(false, 3.3);
    return text;
}

// Pin names hold at most 5 characters: the index in base 36 covers 60
// million pins.
std::string PinName(size_t index) {
    static const char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string reversed;
    do {
        reversed += kDigits[index % 36];
        index /= 36;
    } while (index != 0);
    return std::string(reversed.rbegin(), reversed.rend());
}

// Writes a file of at least `megabytes` MB, model by model; returns its size.
size_t GenerateFile(const std::string& path, double megabytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return 0;
    const std::string body = ModelBody();
    const std::string name = std::filesystem::path(path).filename().string();
    std::fprintf(file, "[IBIS Ver] 4.2\n[File Name] %s\n[File Rev] 1.0\n[Component] Chip\n[Manufacturer] Korvan\n",
                 name.c_str());
    std::fprintf(file, "[Package]\nR_pkg 0.2 0.1 0.3\nL_pkg 2n 1n 3n\nC_pkg 1p 0.5p 1.5p\n");
    std::fprintf(file, "[Pin] signal_name model_name R_pin L_pin C_pin\n");
    const size_t target = static_cast<size_t>(megabytes * kMegabyte);
    const size_t models = target / body.size() + 1;
    for (size_t i = 0; i < models; ++i) std::fprintf(file, "%s s%zu m%zu\n", PinName(i + 1).c_str(), i, i);
    for (size_t i = 0; i < models; ++i) {
        std::fprintf(file, "[Model] m%zu\n", i);
        std::fwrite(body.data(), 1, body.size(), file);
    }
    std::fprintf(file, "[End]\n");
    const long size = std::ftell(file);
    std::fclose(file);
    return size > 0 ? static_cast<size_t>(size) : 0;
}

double Seconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) + 1e-6 * static_cast<double>(time.tv_usec);
}

// The first lines of a report, for the error a failed run shows.
std::string ReportStart(FILE* report) {
    std::rewind(report);
    char text[400] = {};
    const size_t got = std::fread(text, 1, sizeof text - 1, report);
    std::string start(text, got);
    for (char& c : start)
        if (c == '\n') c = ' ';
    return start;
}

// Checks the file in a child process; the child's wall time and CPU time in
// seconds and its peak resident memory in bytes. False when the child failed
// or the file drew any finding, with the start of its report in `failure`.
bool CheckInChild(const std::string& path, double* seconds, double* cpuSeconds, double* peakBytes,
                  std::string* failure) {
    FILE* report = std::tmpfile();
    int channel[2];
    if (report == nullptr || pipe(channel) != 0) return false;
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        close(channel[0]);
        MSG_SetOutput(report);
        PARSE_SetQuiet(1);
        const auto start = std::chrono::steady_clock::now();
        IBIS_New();
        const int read = PARSE_ReadFile(path.c_str(), PARSE_KIND_IBS);
        if (read) IBIS_Finish(PARSE_KIND_IBS, read);
        IBIS_End();
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::fflush(report);
        int bugs = 0;
        int errors = 0;
        int warnings = 0;
        MSG_GetCounts(&bugs, &errors, &warnings);
        const bool clean = bugs + errors + warnings + MSG_GetCautionCount() == 0;
        const bool written = write(channel[1], &elapsed, sizeof elapsed) == static_cast<ssize_t>(sizeof elapsed);
        _exit(read && clean && written ? 0 : 1);
    }
    close(channel[1]);
    double elapsed = 0.0;
    const bool received = read(channel[0], &elapsed, sizeof elapsed) == static_cast<ssize_t>(sizeof elapsed);
    close(channel[0]);
    int status = 0;
    rusage usage{};
    const bool ended = wait4(child, &status, 0, &usage) == child;
    const bool passed = ended && received && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!passed) *failure = "the checking process failed or the file drew findings: " + ReportStart(report);
    std::fclose(report);
    if (!passed) return false;
    *seconds = elapsed;
    *cpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    *peakBytes = static_cast<double>(usage.ru_maxrss) * 1024.0;  // kilobytes on Linux
    return true;
}

void BM_CheckerThroughput(benchmark::State& state) {
    const double megabytes = static_cast<double>(state.range(0));
    const std::string path = (std::filesystem::temp_directory_path() / ("korvan_bench_" + std::to_string(getpid()) +
                                                                        "_" + std::to_string(state.range(0)) + ".ibs"))
                                 .string();
    const size_t size = GenerateFile(path, megabytes);
    if (size == 0) {
        state.SkipWithError("could not write the generated file");
        return;
    }
    double peak = 0.0;
    double cpu = 0.0;
    for (auto _ : state) {
        double seconds = 0.0;
        double cpuSeconds = 0.0;
        double peakBytes = 0.0;
        std::string failure;
        if (!CheckInChild(path, &seconds, &cpuSeconds, &peakBytes, &failure)) {
            state.SkipWithError(failure.c_str());
            break;
        }
        state.SetIterationTime(seconds);
        cpu += cpuSeconds;
        if (peakBytes > peak) peak = peakBytes;
    }
    // KORVAN_BENCH_KEEP_FILES keeps the file, to profile the checker on it.
    if (std::getenv("KORVAN_BENCH_KEEP_FILES") == nullptr) std::filesystem::remove(path);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(size));
    state.counters["file_MB"] = static_cast<double>(size) / kMegabyte;
    state.counters["peak_MB"] = peak / kMegabyte;
    state.counters["peak_per_file"] = peak / static_cast<double>(size);
    if (cpu > 0.0)
        state.counters["cpu_MB_per_s"] =
            static_cast<double>(state.iterations()) * static_cast<double>(size) / kMegabyte / cpu;
}
BENCHMARK(BM_CheckerThroughput)->Arg(20)->Arg(200)->Iterations(korvan_bench::IterationsOr(2))->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
