// What aggressors cost amisim's time-domain flow: korvan_tx (the packaged
// library, in process) through a 4,096-tap channel with the eye folded as
// it streams, alone and with four aggressors, each a korvan_tx instance of
// its own with its own PRBS and a 4,096-tap path of its own. Each aggressor
// is one more AMI_GetWave and one more FFT convolution a block, so four
// should cost at most about four times the victim's own stages on top of
// it. Out of process every model has a worker of its own, and the
// aggressors' blocks are filtered side by side. Rates are victim samples
// per second (items_per_second), by the wall clock.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "bench/amisim_bench_support.h"
#include "tools/amisim/flows/crosstalk.h"
#include "tools/amisim/flows/time_domain_flow.h"
#include "tools/amisim/models/link_model.h"

namespace {

using amisim_bench::kBitTime;
using amisim_bench::kSamplesPerBit;
using amisim_bench::kTaps;
constexpr std::size_t kBits = std::size_t{1} << 16;

void RunFlow(benchmark::State& state, std::size_t aggressor_count, bool in_process) {
    amisim::ModelChoice choice{"Tx", KORVAN_PACKAGE_DIR "/korvan_tx.ibs", "", "", "", {"emphasis=3"}};
    const amisim::LinkModel tx = amisim::LoadLinkModel(choice);
    const std::string parameters = tx.Parameters().text;
    amisim::ModelHosting hosting;
    hosting.in_process = in_process;
    amisim::CrosstalkSetup setup;
    for (std::size_t i = 0; i < aggressor_count; ++i) {
        amisim::AggressorPath path;
        path.kind = "fext";
        path.taps = amisim_bench::LossyChannelTaps(kTaps, kSamplesPerBit, 0.05, 2.0 + static_cast<double>(i));
        setup.aggressors.push_back(path);
    }
    const amisim::TimeDomainSettings settings = amisim_bench::LongRun(kBits);
    amisim::CrosstalkSource::Settings source;
    source.prbs = 15;
    source.samples_per_bit = kSamplesPerBit;
    source.sample_interval = settings.sample_interval;
    source.bit_time = kBitTime;
    source.block_samples = settings.block_samples;
    source.rows = kTaps;
    source.hosting = hosting;
    const std::vector<double> channel_taps = amisim_bench::LossyChannelTaps();
    for (auto _ : state) {
        const std::unique_ptr<amisim::ModelInstance> victim =
            tx.NewInstance("Tx", settings.sample_interval, kBitTime, hosting);
        std::vector<double> impulse(kTaps, 0.0);
        for (std::size_t k = 0; k < kTaps; ++k) impulse[k] = channel_taps[k] / settings.sample_interval;
        if (!victim->Init(parameters, impulse)) {
            state.SkipWithError("AMI_Init failed");
            return;
        }
        amisim::OverlapSaveConvolver channel(channel_taps, 0, settings.block_samples);
        std::unique_ptr<amisim::CrosstalkSource> aggressors;
        amisim::LinkStages stages;
        stages.tx = victim.get();
        stages.channel = &channel;
        if (aggressor_count > 0) {
            aggressors = std::make_unique<amisim::CrosstalkSource>(tx, parameters, setup, source);
            stages.crosstalk = aggressors.get();
        }
        const amisim::TimeDomainResult result = amisim::RunTimeDomain(stages, settings);
        benchmark::DoNotOptimize(result.eye.eye_height);
        if (aggressors) aggressors->Close();
        victim->Close();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kBits * kSamplesPerBit));
}

void BM_TimeDomainVictimAlone(benchmark::State& state) { RunFlow(state, 0, true); }
void BM_TimeDomainFourAggressors(benchmark::State& state) { RunFlow(state, 4, true); }
void BM_TimeDomainVictimAloneOutOfProcess(benchmark::State& state) { RunFlow(state, 0, false); }
void BM_TimeDomainFourAggressorsOutOfProcess(benchmark::State& state) { RunFlow(state, 4, false); }
BENCHMARK(BM_TimeDomainVictimAlone)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TimeDomainFourAggressors)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TimeDomainVictimAloneOutOfProcess)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TimeDomainFourAggressorsOutOfProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
