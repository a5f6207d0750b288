#include "tools/amisim/flows/jittered_stimulus.h"

#include <algorithm>
#include <cmath>

namespace amisim {

JitteredStimulus::JitteredStimulus(int prbs_order, int samples_per_bit, double bit_time, const Jitter& jitter,
                                   std::uint64_t seed, double level, std::uint64_t prbs_seed, std::uint64_t stream)
    : generator_(prbs_order, prbs_seed), source_(jitter, seed, stream), per_bit_(samples_per_bit), bit_time_(bit_time),
      level_(level) {
    last_bit_ = static_cast<std::uint8_t>(generator_.Next());
    bits_ = 1;
    current_ = last_bit_ ? level_ : -level_;
}

void JitteredStimulus::NextBit() {
    const std::uint8_t bit = static_cast<std::uint8_t>(generator_.Next());
    const double nominal = static_cast<double>(bits_) * per_bit_;
    const double time = static_cast<double>(bits_) * bit_time_;
    ++bits_;
    // An edge only where the bit changes; the draw is made for every bit
    // boundary all the same, so that a pattern's edges see the jitter of
    // their own time.
    const bool rising = bit != 0;
    const double displacement = source_.Draw(time, rising) * per_bit_;
    if (bit != last_bit_) {
        // Edges keep their order however large the jitter.
        const double at = std::max({nominal + displacement, last_edge_, 0.0});
        edges_.push_back({at, rising ? level_ : -level_});
        last_edge_ = at;
    }
    last_bit_ = bit;
}

void JitteredStimulus::Fill(double* out, std::size_t count) {
    // Edges are drawn ahead far enough that none still to come can fall
    // before the end of the sample being made.
    const double reach = source_.Bound() * per_bit_ + 1.0;
    const auto drawn_past = [&](double time) { return static_cast<double>(bits_) * per_bit_ - reach >= time; };
    std::size_t i = 0;
    while (i < count) {
        // The next edge, or the certainty that none falls in this block.
        const double block_end = static_cast<double>(next_sample_ + (count - i));
        while (edges_.empty() && !drawn_past(block_end)) NextBit();
        // Edges come in order, so the first drawn is the next; the samples
        // wholly before it hold the level.
        const double next_edge = edges_.empty() ? block_end : std::min(edges_.front().at, block_end);
        const double whole = std::floor(next_edge - static_cast<double>(next_sample_));
        const std::size_t run = std::min(count - i, static_cast<std::size_t>(std::max(0.0, whole)));
        std::fill_n(out + i, run, current_);
        i += run;
        next_sample_ += run;
        if (i == count) break;
        // The sample an edge falls in: each level weighted by its time.
        const double start = static_cast<double>(next_sample_);
        const double end = start + 1.0;
        while (!drawn_past(end)) NextBit();
        double area = 0.0, from = start, level = current_;
        while (!edges_.empty() && edges_.front().at < end) {
            const double at = std::max(edges_.front().at, from);
            area += level * (at - from);
            from = at;
            level = edges_.front().level;
            edges_.pop_front();
        }
        area += level * (end - from);
        current_ = level;
        out[i++] = area;
        ++next_sample_;
    }
}

}  // namespace amisim
