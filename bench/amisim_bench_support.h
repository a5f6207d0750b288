#pragma once
// What the amisim benchmarks share: the link they run (10.8 Gb/s at 16
// samples a bit through a 4,096-tap channel), the shape of that lossy
// channel, and the settings of a long time-domain record.

#include <cmath>
#include <cstddef>
#include <vector>

#include "tools/amisim/flows/time_domain_flow.h"

namespace amisim_bench {

inline constexpr double kBitTime = 9.259259259259259e-11;
inline constexpr int kSamplesPerBit = 16;
inline constexpr std::size_t kTaps = 4096;

// A lossy channel's shape: a pulse `delay_ui` late, spread, with a long
// tail, its taps summing to `gain`.
inline std::vector<double> LossyChannelTaps(std::size_t count = kTaps, int per_bit = kSamplesPerBit,
                                            double gain = 1.0, double delay_ui = 2.0) {
    std::vector<double> taps(count);
    double sum = 0.0;
    for (std::size_t k = 0; k < count; ++k) {
        const double t = static_cast<double>(k) / per_bit - delay_ui;  // UI after the delay
        taps[k] = t < 0.0 ? 0.0 : std::exp(-t / 3.0) * (1.0 - std::exp(-t));
        sum += taps[k];
    }
    for (double& tap : taps) tap *= gain / sum;
    return taps;
}

// A PRBS15 record of `bits` as the time-domain flow runs it, the channel's
// settling skipped and the latency searched a little past it.
inline amisim::TimeDomainSettings LongRun(std::size_t bits) {
    amisim::TimeDomainSettings settings;
    settings.prbs = 15;
    settings.bits = bits;
    settings.samples_per_bit = kSamplesPerBit;
    settings.sample_interval = kBitTime / kSamplesPerBit;
    settings.bit_time = kBitTime;
    settings.skip_bits = 300;
    settings.max_latency_bits = 64 + 8;
    return settings;
}

}  // namespace amisim_bench
