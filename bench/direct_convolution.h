#pragma once
// The reference every filter benchmark is measured against: the plain
// direct-form convolution, one output at a time, compiled at the build's
// optimisation level, with the previous block's last samples carried over.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

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
