#include "tools/amisim/flows/time_domain_flow.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <memory>
#include <string>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/flows/jittered_stimulus.h"
#include "tools/amisim/flows/crosstalk.h"
#include "tools/amisim/flows/prbs.h"
#include "tools/amisim/flows/receiver_sampler.h"
#include "tools/amisim/flows/stimulus.h"

namespace amisim {

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

void CheckCall(const ModelInstance& session, bool ok, std::size_t count, std::size_t start, const char* which,
               std::vector<ParametersOutReport>& reports, double sample_interval) {
    if (!ok)
        throw ModelError(std::string(which) + "AMI_GetWave failed (returned 0) on samples " + std::to_string(start) +
                         " to " + std::to_string(start + count - 1));
    const std::string& text = session.wave_parameters_out();
    if (!text.empty()) reports.push_back({static_cast<double>(start + count) * sample_interval, text});
}

void Call(ModelInstance& session, double* wave, std::size_t count, std::size_t start, const char* which,
          double& seconds, std::vector<ParametersOutReport>& reports, double sample_interval) {
    session.StartGetWave(wave, static_cast<long>(count));
    const bool ok = session.FinishGetWave();
    seconds += session.wave_call_seconds();
    CheckCall(session, ok, count, start, which, reports, sample_interval);
}

}  // namespace

TimeDomainResult RunTimeDomain(const LinkStages& stages, const TimeDomainSettings& settings,
                               const std::function<void(const StageBlock&)>& sink) {
    if (settings.block_samples == 0) throw UsageError("the block size must be at least one sample");
    const std::size_t per_bit = static_cast<std::size_t>(settings.samples_per_bit);
    const std::size_t total = settings.bits * per_bit;
    // The start must reach past the skipped bits far enough for the
    // latency search to try every lag against a thousand bits.
    const std::size_t least = per_bit * (settings.skip_bits + 2 * settings.max_latency_bits + 1024);
    std::size_t window = std::min(total, std::max(settings.window_samples, least));
    window -= window % per_bit;  // whole bits
    // The receiver's name in messages only when there are two models.
    const bool has_rx = stages.rx != nullptr || stages.rx_filter != nullptr;
    const char* tx_name = has_rx ? "Tx " : "";

    TimeDomainResult result;
    result.samples = total;
    result.window.reserve(window);
    std::vector<std::uint8_t> window_bits;
    window_bits.reserve(window / per_bit + 1);

    EyeOptions eye_options;
    eye_options.samples_per_bit = settings.samples_per_bit;
    eye_options.skip_bits = settings.skip_bits;
    eye_options.max_latency_bits = settings.max_latency_bits;
    std::unique_ptr<EyeAccumulator> accumulator;
    std::unique_ptr<ClockSampler> clock;
    if (stages.rx != nullptr)
        clock = std::make_unique<ClockSampler>(settings.prbs, settings.samples_per_bit, settings.sample_interval,
                                               settings.bit_time, settings.skip_bits);

    std::unique_ptr<JitteredStimulus> jittered;
    if (settings.impairments.HasTxJitter())
        jittered = std::make_unique<JitteredStimulus>(settings.prbs, settings.samples_per_bit, settings.bit_time,
                                                      settings.impairments.tx, settings.impairments.seed, kNrzLevel);
    std::unique_ptr<ReceiverSampler> sampler;
    if (settings.impairments.HasRxJitter() || settings.impairments.HasNoise())
        sampler = std::make_unique<ReceiverSampler>(settings.impairments, settings.samples_per_bit, settings.bit_time);
    CrossingMeter crossings(settings.samples_per_bit, 0.0, settings.skip_bits * per_bit);

    PrbsGenerator generator(settings.prbs);
    std::uint8_t bit = 0;
    const std::size_t block = std::min(settings.block_samples, std::max<std::size_t>(total, 1));
    std::vector<double> channel(block), rx(block), sampled(sampler ? block : 0);
    // With clock jitter the crossings are found on the steady wave and
    // placed against the jittered clock; the sampled wave's jumps between
    // bits are no crossings.
    const bool clock_jitter = settings.impairments.HasRxJitter();
    std::vector<double> steady(clock_jitter ? block : 0);
    bool shifts_kept = false;
    // Two blocks are in hand at once: while the transmitter filters the
    // next one (in its worker, when it runs out of process), this one goes
    // on through the channel and the receiver. Nothing downstream feeds the
    // transmitter's input, so the results are the same either way.
    std::array<std::vector<double>, 2> input{std::vector<double>(block), std::vector<double>(block)};
    std::array<std::vector<double>, 2> tx{std::vector<double>(block), std::vector<double>(block)};
    // A model out of process offers shared buffers of its own, so a block
    // crosses to it without a copy.
    std::array<double*, 2> tx_wave{tx[0].data(), tx[1].data()};
    for (int slot = 0; slot < 2; ++slot)
        if (double* shared = stages.tx != nullptr ? stages.tx->WaveBuffer(block, slot) : nullptr)
            tx_wave[static_cast<std::size_t>(slot)] = shared;
    double* const rx_wave =
        stages.rx != nullptr && stages.rx->WaveBuffer(block) != nullptr ? stages.rx->WaveBuffer(block) : rx.data();
    std::vector<double> crosstalk(stages.crosstalk != nullptr ? block : 0);

    // The stimulus of the block at `start` into `slot`, handed to the
    // transmitter.
    const auto start_tx = [&](std::size_t start, std::size_t slot) {
        const std::size_t count = std::min(block, total - start);
        std::vector<double>& stimulus = input[slot];
        for (std::size_t i = 0; i < count; ++i) {
            if ((start + i) % per_bit == 0) {
                bit = static_cast<std::uint8_t>(generator.Next());
                if (window_bits.size() * per_bit < window) window_bits.push_back(bit);
            }
            stimulus[i] = bit ? kNrzLevel : -kNrzLevel;
        }
        if (jittered) jittered->Fill(stimulus.data(), count);
        std::copy_n(stimulus.begin(), count, tx_wave[slot]);
        if (stages.tx != nullptr) stages.tx->StartGetWave(tx_wave[slot], static_cast<long>(count));
    };
    if (total > 0) start_tx(0, 0);
    std::size_t slot = 0;
    for (std::size_t start = 0; start < total; start += block, slot = 1 - slot) {
        const std::size_t count = std::min(block, total - start);
        if (stages.tx != nullptr) {
            const bool ok = stages.tx->FinishGetWave();
            // The model's own time: out of process it overlaps the channel's.
            result.tx_seconds += stages.tx->wave_call_seconds();
            CheckCall(*stages.tx, ok, count, start, tx_name, result.tx_reports, settings.sample_interval);
            ++result.calls;
        }
        if (start + block < total) start_tx(start + block, 1 - slot);
        const double* const tx_out = tx_wave[slot];
        const double* const stimulus = input[slot].data();
        const double* out = tx_out;
        if (stages.channel != nullptr) {
            const Clock::time_point before = Clock::now();
            stages.channel->Process(tx_out, channel.data(), count);
            result.channel_seconds += Seconds(Clock::now() - before);
            out = channel.data();
        }
        if (stages.crosstalk != nullptr) {
            // The aggressors' crosstalk joins the victim's wave at the
            // receiver's input.
            if (out != channel.data()) std::copy_n(out, count, channel.begin());
            stages.crosstalk->Fill(start, count, crosstalk.data());
            for (std::size_t i = 0; i < count; ++i) channel[i] += crosstalk[i];
            out = channel.data();
        }
        const double* at_rx = out;
        if (stages.rx != nullptr) {
            std::copy_n(out, count, rx_wave);
            Call(*stages.rx, rx_wave, count, start, "Rx ", result.rx_seconds, result.rx_reports,
                 settings.sample_interval);
            std::vector<double> times = stages.rx->ClockTimes();
            // The sampler's delay holds the output back; the clock with it.
            if (sampler)
                for (double& t : times) t += static_cast<double>(sampler->delay()) * settings.sample_interval;
            clock->AddTimes(times.data(), times.size());
            out = rx_wave;
        } else if (stages.rx_filter != nullptr) {
            const Clock::time_point before = Clock::now();
            stages.rx_filter->Process(out, rx.data(), count);
            result.rx_seconds += Seconds(Clock::now() - before);
            out = rx.data();
        }
        if (sampler) {
            std::copy_n(out, count, sampled.begin());
            sampler->Process(sampled.data(), count, clock_jitter ? steady.data() : nullptr);
            out = sampled.data();
        }
        if (clock) clock->AddOutput(out, count);
        if (clock_jitter)
            crossings.Add(steady.data(), count,
                          [&](double position) { return sampler->Shift(sampler->BitAt(position)); });
        else
            crossings.Add(out, count);
        if (sink) {
            StageBlock stage_block;
            stage_block.first_sample = start;
            stage_block.count = count;
            stage_block.input = stimulus;
            stage_block.tx = tx_out;
            stage_block.channel = at_rx;
            stage_block.rx = stages.rx != nullptr ? rx_wave : has_rx ? rx.data() : nullptr;
            stage_block.crosstalk = stages.crosstalk != nullptr ? crosstalk.data() : nullptr;
            sink(stage_block);
        }

        // The start of the record is kept; past it, the eye is folded as the
        // output streams by, at the place the start found.
        const std::size_t kept = std::min(count, window - std::min(window, start));
        result.window.insert(result.window.end(), out, out + kept);
        if (clock_jitter) {
            result.steady_window.insert(result.steady_window.end(), steady.begin(),
                                        steady.begin() + static_cast<std::ptrdiff_t>(kept));
            if (!shifts_kept && result.steady_window.size() == window) {
                const long last = sampler->BitAt(static_cast<double>(window) - 1.0);
                for (long b = 0; b <= last; ++b) result.clock_shifts.push_back(sampler->Shift(b));
                result.clock_delay = sampler->delay();
                shifts_kept = true;
            }
            // Past the window only the latest bits' shifts are still asked for.
            if (shifts_kept) sampler->Release(sampler->BitAt(static_cast<double>(start + count)) - 2);
        }
        if (accumulator) {
            accumulator->Add(out + kept, count - kept);
        } else if (result.window.size() == window && window < total) {
            // The latency search needs only the start's first stretch.
            const std::size_t search_bits = least / per_bit;
            const std::vector<std::uint8_t> search(window_bits.begin(),
                                                   window_bits.begin() + static_cast<std::ptrdiff_t>(search_bits));
            const std::vector<double> searched(result.window.begin(),
                                               result.window.begin() + static_cast<std::ptrdiff_t>(least));
            const EyeMetrics start_eye = MeasureEye(search, searched, eye_options);
            accumulator = std::make_unique<EyeAccumulator>(settings.prbs, eye_options, start_eye.latency,
                                                           start_eye.inverted);
            accumulator->Add(result.window.data(), result.window.size());
            accumulator->Add(out + kept, count - kept);
            if (clock) clock->SetAlignment(start_eye.latency, start_eye.inverted);
        }
    }
    result.crossing = crossings.Finish();
    if (stages.crosstalk != nullptr) result.crosstalk_seconds = stages.crosstalk->seconds();
    result.eye = accumulator ? accumulator->Finish() : MeasureEye(window_bits, result.window, eye_options);
    if (clock) {
        if (!accumulator) clock->SetAlignment(result.eye.latency, result.eye.inverted);
        const ClockEye clock_eye = clock->Finish();
        if (clock_eye.ticks > 0) result.clock = clock_eye;
    }
    return result;
}

}  // namespace amisim
