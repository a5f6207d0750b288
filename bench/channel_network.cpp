// What a board team's multi-port file costs amisim: reading a 32-port,
// 2,000-frequency Touchstone file (version 1 and 2.0), and from it the
// victim's through and four aggressors' crosstalk impulses with unmatched
// ends, at 8 samples a bit of 10.8 Gb/s. The files are written once to
// the temporary folder; each iteration reads and transforms from scratch.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <complex>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include "tools/amisim/channel/channel.h"
#include "tools/amisim/channel/network_transfer.h"
#include "tools/amisim/channel/touchstone.h"

namespace {

constexpr int kPorts = 32;
constexpr int kFrequencies = 2000;
constexpr double kInterval = 1.0 / (10.8e9 * 8);

// Eight pairs, 1,2 -> 17,18, 3,4 -> 19,20, ...: throughs of 0.8 with loss
// and delay, reflections, and coupling that fades with the distance
// between ports, every entry different and none zero, as a solver writes.
amisim::Network Board() {
    amisim::Network network;
    network.ports = kPorts;
    network.reference_ohms.assign(kPorts, 50.0);
    for (int k = 0; k < kFrequencies; ++k) {
        const double f = 25e6 * (k + 1);
        network.frequencies.push_back(f);
        for (int i = 0; i < kPorts; ++i)
            for (int j = 0; j < kPorts; ++j) {
                const int side_i = i / 16, side_j = j / 16, lane_i = (i % 16) / 2, lane_j = (j % 16) / 2;
                const bool through = side_i != side_j && i % 16 == j % 16;
                const double gain = i == j ? 0.1 : through ? 0.8 : 0.02 / (1 + std::abs(lane_i - lane_j) + std::abs(i - j) % 2);
                const double delay = side_i != side_j ? 1e-9 : 0.2e-9;
                network.s.push_back(std::polar(gain * std::exp(-f / 40e9),
                                               -2.0 * std::numbers::pi * f * (delay + 1e-12 * (i + j))));
            }
    }
    return network;
}

const std::string& BoardFile(bool version2) {
    static const std::string paths[2] = {
        (std::filesystem::temp_directory_path() / ("amisim_bench_" + std::to_string(::getpid()) + ".s32p")).string(),
        (std::filesystem::temp_directory_path() / ("amisim_bench_" + std::to_string(::getpid()) + ".ts")).string()};
    static bool written = false;
    if (!written) {
        const amisim::Network board = Board();
        std::ofstream one(paths[0]), two(paths[1]);
        one.precision(10);  // as solvers and analysers commonly write
        two.precision(10);
        amisim::WriteTouchstone(one, board, "GHz", amisim::TouchstoneFormat::kMagnitudeAngle);
        amisim::WriteTouchstone2(two, board, amisim::MatrixFormat::kFull, amisim::TouchstoneFormat::kMagnitudeAngle);
        written = true;
        std::atexit([] {
            std::filesystem::remove(paths[0]);
            std::filesystem::remove(paths[1]);
        });
    }
    return paths[version2 ? 1 : 0];
}

// The victim 1,2 -> 17,18; far-end aggressors on lanes 2 and 3, near-end
// ones driving at the victim's receiving side on lanes 4 and 5.
std::vector<amisim::NetworkLane> Lanes() {
    return {{{1, 2}, {17, 18}}, {{3, 4}, {19, 20}}, {{5, 6}, {21, 22}}, {{23, 24}, {7, 8}}, {{25, 26}, {9, 10}}};
}

amisim::AnalogEnds Ends() {
    amisim::AnalogEnds ends;
    ends.tx_rs = 42.0;
    ends.tx_cs = 0.5e-12;
    ends.rx_rt = 55.0;
    ends.rx_cp = 0.4e-12;
    return ends;
}

void BM_ReadTouchstone(benchmark::State& state) {
    const std::string& path = BoardFile(state.range(0) == 2);
    for (auto _ : state) {
        amisim::Network network = amisim::ReadTouchstoneFile(path);
        benchmark::DoNotOptimize(network.s.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(path)));
}
BENCHMARK(BM_ReadTouchstone)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The figure the tool promises: file to the five impulses.
void BM_FileToVictimAndFourAggressors(benchmark::State& state) {
    const std::string& path = BoardFile(state.range(0) == 2);
    const std::vector<amisim::NetworkPath> paths{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}};
    for (auto _ : state) {
        const amisim::LoadedNetwork loaded = amisim::LoadNetwork(path);
        std::vector<amisim::Channel> channels =
            amisim::TransferChannels(loaded.network, Lanes(), Ends(), paths, kInterval, path);
        benchmark::DoNotOptimize(channels.data());
    }
}
BENCHMARK(BM_FileToVictimAndFourAggressors)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The ends' solve alone, over every frequency, without the file.
void BM_TransfersWithEnds(benchmark::State& state) {
    const amisim::Network board = Board();
    const std::vector<amisim::NetworkPath> paths{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}};
    const amisim::AnalogEnds ends = state.range(0) ? Ends() : amisim::AnalogEnds{};
    for (auto _ : state) {
        std::vector<amisim::FrequencyResponse> responses = amisim::VoltageTransfers(board, Lanes(), ends, paths);
        benchmark::DoNotOptimize(responses.data());
    }
}
BENCHMARK(BM_TransfersWithEnds)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A file whose ports differ in reference: every frequency's 32 x 32 matrix
// renormalised to 50 ohm before any lane is drawn.
void BM_RenormaliseMixedReferences(benchmark::State& state) {
    amisim::Network board = Board();
    for (int k = 0; k < kPorts; ++k) board.reference_ohms[static_cast<std::size_t>(k)] = k % 2 ? 45.0 : 55.0;
    for (auto _ : state) {
        state.PauseTiming();
        amisim::Network copy = board;
        state.ResumeTiming();
        amisim::Renormalise(copy, 50.0);
        benchmark::DoNotOptimize(copy.s.data());
    }
}
BENCHMARK(BM_RenormaliseMixedReferences)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
