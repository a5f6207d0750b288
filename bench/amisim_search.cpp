// What the search of --optimise and a statistical grid cost: one candidate
// (the reference receiver's CTLE and ideal DFE on a 10,000-sample impulse
// at 32 samples a unit interval, then the statistical eye at every one of
// its 65 phases), and a 7 x 10 x 5 grid of 350 points (Tx emphasis x CTLE
// peaking x DFE taps) through the statistical flow with korvan_tx on the
// demo's 0.6 m line, on the machine's cores, in process and with each
// model instance in a worker process of its own (the default).

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "tools/amisim/channel/channel.h"
#include "tools/amisim/eye/stat_eye.h"
#include "tools/amisim/flows/grid_sweep.h"
#include "tools/amisim/flows/parallel_runner.h"
#include "tools/amisim/flows/statistical_flow.h"
#include "tools/amisim/reference_rx/reference_receiver.h"

namespace {

constexpr double kBitRate = 10.8e9;

// The demo line's impulse at 32 samples a unit interval through a
// two-tap de-emphasis, cut so that its pulse has 10,000 samples.
std::vector<double> CandidateImpulse() {
    constexpr int kPerBit = 32;
    amisim::LineParameters line;
    line.length_m = 0.6;
    const double dt = 1.0 / kBitRate / kPerBit;
    std::vector<double> emphasis(2 * kPerBit, 0.0);
    emphasis[0] = 0.75;
    emphasis[kPerBit] = -0.25;
    std::vector<double> taps = amisim::ConvolveTaps(emphasis, amisim::LineChannel(line, dt).taps);
    taps.resize(10000 - kPerBit + 1);
    return taps;
}

void BM_SearchCandidate(benchmark::State& state) {
    constexpr int kPerBit = 32;
    const std::vector<double> impulse = CandidateImpulse();
    const double dt = 1.0 / kBitRate / kPerBit;
    amisim::ReferenceRxSettings rx;
    rx.ctle.peaking_db = 9.0;
    rx.dfe.taps = 2;
    amisim::StatEyeSettings eye_settings;
    eye_settings.samples_per_bit = kPerBit;
    std::size_t pulse_samples = 0;
    for (auto _ : state) {
        // The impulse the receiver's AMI_Init sees is in 1/s.
        std::vector<double> work(impulse);
        for (double& t : work) t /= dt;
        amisim::ReferenceReceiver receiver(rx, work.data(), work.size(), dt, 1.0 / kBitRate);
        for (double& t : work) t *= dt;
        const std::vector<double> pulse = amisim::PulseResponse(work, kPerBit);
        const amisim::StatisticalEye eye = amisim::ComputeStatisticalEye(pulse, eye_settings);
        benchmark::DoNotOptimize(eye.eye_height);
        pulse_samples = pulse.size();
    }
    state.counters["pulse_samples"] = static_cast<double>(pulse_samples);
}
BENCHMARK(BM_SearchCandidate)->Unit(benchmark::kMillisecond);

void RunGrid350(benchmark::State& state, bool in_process) {
    amisim::ModelChoice tx_choice{"Tx", AMISIM_KORVAN_TX_IBS, "", "", "", {}};
    amisim::ModelChoice rx_choice{"Rx", "ref", "", "", "", {}};
    const amisim::LinkModel tx = amisim::LoadLinkModel(tx_choice);
    const amisim::LinkModel rx = amisim::LoadLinkModel(rx_choice);
    amisim::LinkSettings settings;
    settings.time_domain = false;
    settings.hosting.in_process = in_process;
    amisim::LineParameters line;
    line.length_m = 0.6;
    const amisim::Channel channel = amisim::LineChannel(line, settings.sample_interval());
    const amisim::LinkContext context{tx, &rx, channel, settings};
    const amisim::ParameterGrid grid({{false, "emphasis", {"0", "1", "2", "3", "4", "5", "6"}},
                                      {true, "ctle_peaking", {"0", "2", "4", "6", "8", "10", "12", "14", "16", "18"}},
                                      {true, "dfe_taps", {"0", "1", "2", "3", "4"}}});
    std::size_t failed = 0;
    for (auto _ : state) {
        const std::vector<amisim::PointResult> results =
            amisim::RunGrid(context, grid, amisim::DefaultWorkers(), false);
        failed = 0;
        for (const amisim::PointResult& result : results) failed += result.ok ? 0 : 1;
    }
    if (failed > 0) state.SkipWithError("grid points failed");
    state.counters["points"] = static_cast<double>(grid.size());
    state.counters["workers"] = amisim::DefaultWorkers();
}

void BM_StatisticalGrid350InProcess(benchmark::State& state) { RunGrid350(state, true); }
void BM_StatisticalGrid350WorkerProcesses(benchmark::State& state) { RunGrid350(state, false); }
BENCHMARK(BM_StatisticalGrid350InProcess)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_StatisticalGrid350WorkerProcesses)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace
BENCHMARK_MAIN();
