// What one candidate of a statistical search over the reference receiver
// costs: its AMI_Init on the link's impulse (the CTLE run over it, the
// ideal DFE's taps found and taken off) and the statistical eye of the
// pulse that comes back, for a 10,000-sample impulse at 32 samples (and so
// 32 phases) a unit interval. The receiver's part alone is measured too,
// so the eye's share shows as their ratio.

#include <benchmark/benchmark.h>

#include <vector>

#include "tools/amisim/channel/channel.h"
#include "tools/amisim/eye/stat_eye.h"
#include "tools/amisim/reference_rx/reference_receiver.h"

namespace {

constexpr double kBitTime = 1.0 / 10.8e9;
constexpr int kSamplesPerBit = 32;
constexpr double kInterval = kBitTime / kSamplesPerBit;
constexpr std::size_t kImpulseSamples = 10000;

// The demo line's impulse (0.6 m of FR-4), 1/s, cut or padded to length.
std::vector<double> LinkImpulse() {
    const amisim::Channel line = amisim::LineChannel(amisim::LineParameters{0.6, 5.0, 4.0, 0.02}, kInterval);
    std::vector<double> impulse(kImpulseSamples, 0.0);
    for (std::size_t n = 0; n < kImpulseSamples && n < line.taps.size(); ++n) impulse[n] = line.taps[n] / kInterval;
    return impulse;
}

amisim::ReferenceRxSettings Candidate() {
    amisim::ReferenceRxSettings settings;
    settings.ctle.peak_hz = 5.4e9;
    settings.ctle.peaking_db = 10.0;
    settings.dfe.taps = 4;
    return settings;
}

void BM_ReferenceRxInit(benchmark::State& state) {
    const std::vector<double> impulse = LinkImpulse();
    for (auto _ : state) {
        std::vector<double> equalised(impulse);
        const amisim::ReferenceReceiver receiver(Candidate(), equalised.data(), equalised.size(), kInterval, kBitTime);
        benchmark::DoNotOptimize(equalised.data());
    }
}
BENCHMARK(BM_ReferenceRxInit)->Unit(benchmark::kMillisecond);

void BM_StatisticalCandidate(benchmark::State& state) {
    const std::vector<double> impulse = LinkImpulse();
    amisim::StatEyeSettings eye_settings;
    eye_settings.samples_per_bit = kSamplesPerBit;
    for (auto _ : state) {
        std::vector<double> equalised(impulse);
        const amisim::ReferenceReceiver receiver(Candidate(), equalised.data(), equalised.size(), kInterval, kBitTime);
        for (double& t : equalised) t *= kInterval;
        const amisim::StatisticalEye eye =
            amisim::ComputeStatisticalEye(amisim::PulseResponse(equalised, kSamplesPerBit), eye_settings);
        benchmark::DoNotOptimize(eye.eye_height);
    }
}
BENCHMARK(BM_StatisticalCandidate)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
