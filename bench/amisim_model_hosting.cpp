// What running a model out of process costs the time-domain flow:
// korvan_tx's AMI_GetWave on consecutive blocks followed by a 4,096-tap
// channel, with the model in amisim's own process and in a worker process,
// at several block sizes. A block crosses to the worker as two small
// messages; the samples stay in shared memory, and the worker filters the
// next block while amisim convolves this one, as the flow does. Rates are samples per
// second (items_per_second); the ratio of the two at one block size is
// the figure to watch.

#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "bench/amisim_bench_support.h"
#include "bench/filter_bench_support.h"
#include "tools/amisim/channel/overlap_save.h"
#include "tools/amisim/models/ami_library.h"
#include "tools/amisim/models/model_instance.h"

namespace {

using amisim_bench::kBitTime;
using amisim_bench::kSamplesPerBit;
using amisim_bench::kTaps;

void RunHosted(benchmark::State& state, bool in_process, bool overlapped = true) {
    const std::size_t block = static_cast<std::size_t>(state.range(0));
    const amisim::AmiLibrary library(KORVAN_TX_LIBRARY);
    amisim::ModelHosting hosting;
    hosting.in_process = in_process;
    hosting.worker = AMISIM_MODEL_WORKER;
    std::unique_ptr<amisim::ModelInstance> instance = amisim::MakeModelInstance(
        KORVAN_TX_LIBRARY, &library, "Tx", kBitTime / kSamplesPerBit, kBitTime, hosting);
    std::vector<double> impulse(kTaps, 0.0);
    impulse[0] = kSamplesPerBit / kBitTime;
    if (!instance->Init("(korvan_tx (emphasis 3) (Vreg 2) (corner 2))", impulse)) {
        state.SkipWithError("AMI_Init failed");
        return;
    }
    amisim::OverlapSaveConvolver convolver(amisim_bench::LossyChannelTaps(), 0, block);
    const std::vector<double> input = NrzWaveform(block, kSamplesPerBit);
    std::vector<double> far_end(block);
    // As the time-domain flow does: each block is written where the model
    // reads it, and the model filters the next block while this one goes
    // through the channel (in process the call simply runs first).
    std::array<std::vector<double>, 2> own{std::vector<double>(block), std::vector<double>(block)};
    std::array<double*, 2> wave{own[0].data(), own[1].data()};
    for (int slot = 0; slot < 2; ++slot)
        if (instance->WaveBuffer(block, slot) != nullptr)
            wave[static_cast<std::size_t>(slot)] = instance->WaveBuffer(block, slot);
    std::size_t slot = 0;
    std::copy(input.begin(), input.end(), wave[slot]);
    instance->StartGetWave(wave[slot], static_cast<long>(block));
    for (auto _ : state) {
        if (!instance->FinishGetWave()) state.SkipWithError("AMI_GetWave failed");
        if (!overlapped) convolver.Process(wave[slot], far_end.data(), block);
        std::copy(input.begin(), input.end(), wave[1 - slot]);
        instance->StartGetWave(wave[1 - slot], static_cast<long>(block));
        if (overlapped) convolver.Process(wave[slot], far_end.data(), block);
        benchmark::DoNotOptimize(far_end.data());
        benchmark::ClobberMemory();
        slot = 1 - slot;
    }
    instance->FinishGetWave();
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(block));
    instance->Close();
}

void BM_KorvanTxChannelInProcess(benchmark::State& state) { RunHosted(state, true); }
void BM_KorvanTxChannelOutOfProcess(benchmark::State& state) { RunHosted(state, false); }
// The crossing's own cost: the channel waits for each block, as it would
// if the flow did not overlap the two.
void BM_KorvanTxChannelOutOfProcessOneAtATime(benchmark::State& state) { RunHosted(state, false, false); }

// The default block (16,384 samples) and smaller ones, to find where the
// crossing starts to show.
void Blocks(benchmark::internal::Benchmark* bench) {
    for (long block : {16384L, 8192L, 4096L, 2048L, 1024L, 512L, 256L}) bench->Arg(block);
}
// Wall-clock time: the worker's share of the work is on another process's
// clock.
BENCHMARK(BM_KorvanTxChannelInProcess)->Apply(Blocks)->UseRealTime();
BENCHMARK(BM_KorvanTxChannelOutOfProcess)->Apply(Blocks)->UseRealTime();
BENCHMARK(BM_KorvanTxChannelOutOfProcessOneAtATime)->Apply(Blocks)->UseRealTime();

}  // namespace
BENCHMARK_MAIN();
