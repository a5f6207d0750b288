// What the link costs amisim: the channel's convolution by overlap-save
// (FFTW) against the direct sum, the whole time-domain flow (korvan_tx
// and a 4,096-tap channel) against korvan_tx alone, and the statistical
// eye of a 4,096-sample pulse response. Rates are samples per second
// (items_per_second), all at 16 samples per bit in blocks of 16,384.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "ami/ami_entry_points.h"
#include "bench/amisim_bench_support.h"
#include "bench/filter_bench_support.h"
#include "tools/amisim/channel/overlap_save.h"
#include "tools/amisim/eye/stat_eye.h"

namespace {

using amisim_bench::kBitTime;
using amisim_bench::kSamplesPerBit;
using amisim_bench::kTaps;
constexpr std::size_t kBlock = 16384;

std::vector<double> Waveform(std::size_t samples) { return NrzWaveform(samples, kSamplesPerBit); }

void BM_ChannelDirect(benchmark::State& state) {
    RunDirectConvolution(state, amisim_bench::LossyChannelTaps(), Waveform(kBlock));
}
BENCHMARK(BM_ChannelDirect);

void BM_ChannelOverlapSave(benchmark::State& state) {
    amisim::OverlapSaveConvolver convolver(amisim_bench::LossyChannelTaps(), 0, kBlock);
    const std::vector<double> input = Waveform(kBlock);
    std::vector<double> output(kBlock);
    for (auto _ : state) {
        convolver.Process(input.data(), output.data(), kBlock);
        benchmark::DoNotOptimize(output.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kBlock));
}
BENCHMARK(BM_ChannelOverlapSave);

// korvan_tx's AMI_GetWave on consecutive blocks, with the channel after it
// or not: the time-domain flow without a receiver.
void RunFlow(benchmark::State& state, bool with_channel) {
    std::string parameters = "(korvan_tx (emphasis 3) (Vreg 2) (corner 2))";
    void* handle = nullptr;
    char* msg = nullptr;
    std::vector<double> impulse(kTaps, 0.0);
    if (AMI_Init(impulse.data(), static_cast<long>(kTaps), 0, kBitTime / kSamplesPerBit, kBitTime,
                 parameters.data(), nullptr, &handle, &msg) != 1) {
        state.SkipWithError("AMI_Init failed");
        AMI_Close(handle);
        return;
    }
    amisim::OverlapSaveConvolver convolver(amisim_bench::LossyChannelTaps(), 0, kBlock);
    const std::vector<double> input = Waveform(kBlock);
    std::vector<double> wave(kBlock), far_end(kBlock);
    std::vector<double> clock_times(kBlock + 3);
    for (auto _ : state) {
        std::copy(input.begin(), input.end(), wave.begin());
        if (AMI_GetWave(wave.data(), static_cast<long>(kBlock), clock_times.data(), nullptr, handle) != 1)
            state.SkipWithError("AMI_GetWave failed");
        if (with_channel) convolver.Process(wave.data(), far_end.data(), kBlock);
        benchmark::DoNotOptimize(far_end.data());
        benchmark::DoNotOptimize(wave.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kBlock));
    AMI_Close(handle);
}

void BM_KorvanTxAlone(benchmark::State& state) { RunFlow(state, false); }
void BM_KorvanTxThroughChannel(benchmark::State& state) { RunFlow(state, true); }
BENCHMARK(BM_KorvanTxAlone);
BENCHMARK(BM_KorvanTxThroughChannel);

// The statistical eye (densities, contours, bathtub) of a pulse response of
// 4,096 samples: 256 cursors at each of 33 phases.
void BM_StatisticalEye4096(benchmark::State& state) {
    std::vector<double> taps = amisim_bench::LossyChannelTaps();
    taps.resize(kTaps - kSamplesPerBit + 1);
    const std::vector<double> pulse = amisim::PulseResponse(taps, kSamplesPerBit);
    amisim::StatEyeSettings settings;
    settings.samples_per_bit = kSamplesPerBit;
    for (auto _ : state) {
        const amisim::StatisticalEye eye = amisim::ComputeStatisticalEye(pulse, settings);
        benchmark::DoNotOptimize(eye.eye_height);
    }
    state.counters["pulse_samples"] = static_cast<double>(pulse.size());
}
BENCHMARK(BM_StatisticalEye4096)->Unit(benchmark::kMillisecond);

}  // namespace
BENCHMARK_MAIN();
