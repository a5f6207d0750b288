// What a statistical grid costs: 7 x 10 x 5 = 350 points (Tx emphasis x
// CTLE peaking x DFE taps) through the statistical flow with korvan_tx and
// the reference receiver on the demo's 0.6 m line, on the machine's cores,
// in process and with each model instance in a worker process of its own
// (the default). Wall time: the points share the cores. (One candidate of
// the search alone is in reference_rx_candidate.)

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/smoke_run.h"
#include "tools/amisim/channel/channel.h"
#include "tools/amisim/flows/grid_sweep.h"
#include "tools/amisim/flows/parallel_runner.h"

namespace {

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
    std::vector<amisim::GridDimension> dimensions{
        {false, "emphasis", {"0", "1", "2", "3", "4", "5", "6"}},
        {true, "ctle_peaking", {"0", "2", "4", "6", "8", "10", "12", "14", "16", "18"}},
        {true, "dfe_taps", {"0", "1", "2", "3", "4"}}};
    // The smoke run only checks that the grid runs: two points.
    if (korvan_bench::IterationsOr(2) == 1) {
        dimensions[0].values.resize(2);
        dimensions[1].values.resize(1);
        dimensions[2].values.resize(1);
    }
    const amisim::ParameterGrid grid(std::move(dimensions));
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
