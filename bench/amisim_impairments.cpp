// What jitter and noise cost amisim: the time-domain flow (korvan_tx, a
// 4,096-tap channel, the eye folded as it streams) with Tx Rj and Dj and Rx
// clock jitter and noise against the same run without them; and the
// statistical eye of a 10,000-sample pulse response at 32 phases a unit
// interval with jitter and noise against it without. Rates are samples per
// second (items_per_second).

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "ami/ami_entry_points.h"
#include "bench/amisim_bench_support.h"
#include "tools/amisim/channel/overlap_save.h"
#include "tools/amisim/eye/stat_eye.h"
#include "tools/amisim/flows/time_domain_flow.h"

namespace {

using amisim_bench::kBitTime;
using amisim_bench::kSamplesPerBit;
using amisim_bench::kTaps;

// korvan_tx, linked in, as the flow's transmitter.
class LinkedTx : public amisim::ModelInstance {
public:
    LinkedTx() : ModelInstance(kBitTime / kSamplesPerBit, kBitTime) {}
    ~LinkedTx() override { Close(); }
    bool Init(const std::string& parameters, std::vector<double> matrix, long row_size, long) override {
        impulse_ = std::move(matrix);
        std::string text = parameters;
        char* msg = nullptr;
        return AMI_Init(impulse_.data(), row_size, 0, sample_interval(), bit_time(), text.data(), nullptr, &handle_,
                        &msg) == 1;
    }
    bool GetWave(double* wave, long size) override {
        clock_.resize(static_cast<std::size_t>(size) + 3);
        return AMI_GetWave(wave, size, clock_.data(), nullptr, handle_) == 1;
    }
    bool Close() override {
        if (handle_ != nullptr) AMI_Close(handle_);
        handle_ = nullptr;
        return true;
    }
    const std::string& message() const override { return text_; }
    const std::string& parameters_out() const override { return text_; }
    std::vector<double> ClockTimes() const override { return {}; }
    const std::vector<double>& impulse() const override { return impulse_; }

private:
    void* handle_ = nullptr;
    std::string text_;
    std::vector<double> impulse_;
    std::vector<double> clock_;
};

amisim::Impairments JitterAndNoise() {
    amisim::Impairments impairments;
    amisim::JitterComponent rj;
    rj.kind = amisim::JitterComponent::Kind::kGaussian;
    rj.size = 0.02;
    amisim::JitterComponent dj = rj;
    dj.kind = amisim::JitterComponent::Kind::kUniform;
    dj.size = 0.05;
    impairments.tx = {rj, dj};
    impairments.rx = {rj};
    impairments.noise_sigma = 0.005;
    return impairments;
}

void RunTimeDomainFlow(benchmark::State& state, bool impaired) {
    const std::size_t bits = 1u << 18;
    amisim::TimeDomainSettings settings = amisim_bench::LongRun(bits);
    if (impaired) settings.impairments = JitterAndNoise();
    for (auto _ : state) {
        LinkedTx tx;
        if (!tx.Init("(korvan_tx (emphasis 3) (Vreg 2) (corner 2))", std::vector<double>(kTaps, 0.0),
                     static_cast<long>(kTaps), 0)) {
            state.SkipWithError("AMI_Init failed");
            return;
        }
        amisim::OverlapSaveConvolver channel(amisim_bench::LossyChannelTaps(), 0, settings.block_samples);
        amisim::LinkStages stages;
        stages.tx = &tx;
        stages.channel = &channel;
        const amisim::TimeDomainResult result = amisim::RunTimeDomain(stages, settings);
        benchmark::DoNotOptimize(result.eye.eye_height);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(bits * kSamplesPerBit));
}

void BM_TimeDomainFlowClean(benchmark::State& state) { RunTimeDomainFlow(state, false); }
void BM_TimeDomainFlowJitterAndNoise(benchmark::State& state) { RunTimeDomainFlow(state, true); }
BENCHMARK(BM_TimeDomainFlowClean)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TimeDomainFlowJitterAndNoise)->Unit(benchmark::kMillisecond);

// A 10,000-sample pulse response at 32 samples a bit: 32 phases a unit
// interval, some 310 cursors each.
void RunStatisticalEye(benchmark::State& state, bool impaired) {
    constexpr int kPerBit = 32;
    const std::vector<double> taps = amisim_bench::LossyChannelTaps(10000 - kPerBit + 1, kPerBit);
    const std::vector<double> pulse = amisim::PulseResponse(taps, kPerBit);
    amisim::StatEyeSettings settings;
    settings.samples_per_bit = kPerBit;
    if (impaired) settings.impairments = JitterAndNoise();
    for (auto _ : state) {
        const amisim::StatisticalEye eye = amisim::ComputeStatisticalEye(pulse, settings);
        benchmark::DoNotOptimize(eye.eye_height);
    }
    state.counters["pulse_samples"] = static_cast<double>(pulse.size());
}

void BM_StatisticalEye10000Clean(benchmark::State& state) { RunStatisticalEye(state, false); }
void BM_StatisticalEye10000JitterAndNoise(benchmark::State& state) { RunStatisticalEye(state, true); }
BENCHMARK(BM_StatisticalEye10000Clean)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StatisticalEye10000JitterAndNoise)->Unit(benchmark::kMillisecond);

}  // namespace
BENCHMARK_MAIN();
