#pragma once
// What the filter benchmarks share: the waveform they filter, and the
// reference they are measured against, the plain direct-form convolution
// compiled at the build's optimisation level.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

// A pseudo-random NRZ waveform of +-0.5, whole bits of `samples_per_bit`.
inline std::vector<double> NrzWaveform(std::size_t samples, std::size_t samples_per_bit) {
    std::vector<double> wave(samples);
    unsigned state = 12345u;
    double level = 0.5;
    for (std::size_t i = 0; i < samples; ++i) {
        if (i % samples_per_bit == 0) {
            state = state * 1103515245u + 12345u;
            level = (state >> 16) & 1u ? 0.5 : -0.5;
        }
        wave[i] = level;
    }
    return wave;
}

// One output at a time, the previous block's last samples carried over.
inline void RunDirectConvolution(benchmark::State& state, const std::vector<double>& taps,
                                 const std::vector<double>& input) {
    const std::size_t tap_count = taps.size();
    const std::size_t samples = input.size();
    // The previous block's last tap_count - 1 samples ahead of this one.
    std::vector<double> extended(tap_count - 1 + samples, 0.0);
    std::vector<double> output(samples);
    for (auto _ : state) {
        std::copy(extended.end() - static_cast<std::ptrdiff_t>(tap_count - 1), extended.end(), extended.begin());
        std::copy(input.begin(), input.end(), extended.begin() + static_cast<std::ptrdiff_t>(tap_count - 1));
        const double* newest = extended.data() + (tap_count - 1);
        for (std::size_t n = 0; n < samples; ++n) {
            double acc = 0.0;
            for (std::size_t k = 0; k < tap_count; ++k) acc += taps[k] * newest[n - k];
            output[n] = acc;
        }
        benchmark::DoNotOptimize(output.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(samples));
}
