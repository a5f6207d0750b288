// Throughput of AMI_GetWave at the default settings, beside the floor a
// driver response costs anyway: a plain direct-form 80-tap FIR over the same
// samples. Both report samples per second (items_per_second).
//
// AMI_GetWave runs once per way the model can compute: the automatic choice,
// the block path forced onto each convolution kernel, and the per-sample
// graph alone.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ami/ami_entry_points.h"
#include "bench/filter_bench_support.h"
#include "ami/ami_model_instance.h"
#include "model/block_convolution.h"
#include "model/driver_responses.h"

namespace {

constexpr double kBitTime = 9.259259259259259e-11;
constexpr int kSamplesPerBit = 16;

std::vector<double> Waveform(std::size_t samples) { return NrzWaveform(samples, kSamplesPerBit); }

void BM_AmiGetWave(benchmark::State& state, WavePath path) {
    if (path == WavePath::Avx2 && !korvan_block::ProcessorHasAvx2()) {
        state.SkipWithError("this processor has no AVX2");
        return;
    }
    const auto samples = static_cast<std::size_t>(state.range(0));
    std::string parameters = "(korvan_tx (emphasis 0) (Vreg 2) (corner 2))";
    void* handle = nullptr;
    char* msg = nullptr;
    if (AMI_Init(nullptr, 0, 0, kBitTime / kSamplesPerBit, kBitTime, parameters.data(), nullptr, &handle, &msg) != 1) {
        state.SkipWithError("AMI_Init failed");
        AMI_Close(handle);
        return;
    }
    static_cast<AmiModelInstance*>(handle)->model.wave_path = path;
    const std::vector<double> input = Waveform(samples);
    std::vector<double> wave(samples);
    std::vector<double> clock_times(samples / kSamplesPerBit + 4);
    for (auto _ : state) {
        std::copy(input.begin(), input.end(), wave.begin());
        const long ok = AMI_GetWave(wave.data(), static_cast<long>(samples), clock_times.data(), nullptr, handle);
        if (ok != 1) state.SkipWithError("AMI_GetWave failed");
        benchmark::DoNotOptimize(wave.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(samples));
    AMI_Close(handle);
}
BENCHMARK_CAPTURE(BM_AmiGetWave, automatic, WavePath::Automatic)->Arg(1 << 12)->Arg(1 << 16);
BENCHMARK_CAPTURE(BM_AmiGetWave, baseline, WavePath::Baseline)->Arg(1 << 12)->Arg(1 << 16);
BENCHMARK_CAPTURE(BM_AmiGetWave, avx2, WavePath::Avx2)->Arg(1 << 12)->Arg(1 << 16);
BENCHMARK_CAPTURE(BM_AmiGetWave, graph, WavePath::Graph)->Arg(1 << 12)->Arg(1 << 16);

// y[n] = sum over k of h[k] x[n - k], the history of the previous block
// carried in front of the current one.
void BM_PlainFir80(benchmark::State& state) {
    const auto samples = static_cast<std::size_t>(state.range(0));
    constexpr std::size_t kTaps = kDriverResponseLength;
    std::vector<double> taps(kTaps);
    for (std::size_t k = 0; k < kTaps; ++k) taps[k] = kDriverResponses[8][k] * (kBitTime / kSamplesPerBit);

    RunDirectConvolution(state, taps, Waveform(samples));
}
BENCHMARK(BM_PlainFir80)->Arg(1 << 12)->Arg(1 << 16);

}  // namespace

BENCHMARK_MAIN();
