#include "tools/amisim/flows/clock_sampler.h"

#include <algorithm>
#include <cmath>

namespace amisim {

ClockSampler::ClockSampler(int prbs_order, int samples_per_bit, double sample_interval, double bit_time,
                           std::size_t skip_bits)
    : per_bit_(samples_per_bit), sample_interval_(sample_interval), half_bit_(bit_time / 2),
      skip_bits_(skip_bits), generator_(prbs_order) {}

void ClockSampler::AddTimes(const double* times, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (!std::isfinite(times[i]) || times[i] < 0.0) continue;
        ++eye_.ticks;
        positions_.push_back((times[i] + half_bit_) / sample_interval_);
    }
}

void ClockSampler::AddOutput(const double* samples, std::size_t count) {
    tail_.insert(tail_.end(), samples, samples + count);
    received_ += static_cast<long>(count);
    Resolve(false);
    // Clock times lie near the samples just filtered; older output is dropped.
    const long keep_from = received_ - 4 * static_cast<long>(count) - 4 * per_bit_;
    if (keep_from - tail_start_ > static_cast<long>(tail_.size()) / 2 && keep_from > tail_start_) {
        tail_.erase(tail_.begin(), tail_.begin() + (keep_from - tail_start_));
        tail_start_ = keep_from;
    }
}

void ClockSampler::Resolve(bool at_end) {
    while (!positions_.empty()) {
        const double position = positions_.front();
        const long left = static_cast<long>(std::floor(position));
        if (left + 1 >= received_ && !at_end) break;
        positions_.pop_front();
        if (left < tail_start_ || left >= received_) continue;  // outside the record
        const double a = tail_[static_cast<std::size_t>(left - tail_start_)];
        const double b = left + 1 < received_ ? tail_[static_cast<std::size_t>(left + 1 - tail_start_)] : a;
        const double value = a + (position - static_cast<double>(left)) * (b - a);
        if (aligned_)
            Judge(position, value);
        else
            unjudged_.emplace_back(position, value);
    }
}

std::uint8_t ClockSampler::Bit(std::size_t index) {
    while (bits_start_ + bits_.size() <= index) bits_.push_back(static_cast<std::uint8_t>(generator_.Next()));
    // Clock times only move forward; a few thousand bits of history cover
    // any reordering a model could return.
    while (bits_.size() > 8192) {
        bits_.pop_front();
        ++bits_start_;
    }
    return index >= bits_start_ ? bits_[index - bits_start_] : 0;
}

void ClockSampler::Judge(double position, double value) {
    const double from_latency = (position - static_cast<double>(latency_)) / per_bit_;
    if (from_latency < 0.0) return;
    const std::size_t bit = static_cast<std::size_t>(std::floor(from_latency));
    if (bit < skip_bits_ || bit < bits_start_) return;
    const bool one = (Bit(bit) != 0) != inverted_;
    if (one)
        eye_.lowest_one = std::min(eye_.lowest_one, value);
    else
        eye_.highest_zero = std::max(eye_.highest_zero, value);
    ++eye_.measured;
}

void ClockSampler::SetAlignment(long latency, bool inverted) {
    aligned_ = true;
    latency_ = latency;
    inverted_ = inverted;
    for (const auto& [position, value] : unjudged_) Judge(position, value);
    unjudged_.clear();
    unjudged_.shrink_to_fit();
}

ClockEye ClockSampler::Finish() {
    Resolve(true);
    return eye_;
}

}  // namespace amisim
