#include "tools/amisim/eye.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "tools/amisim/amisim_error.h"

namespace amisim {

namespace {

// The samples of ones and of zeros at one phase.
struct PhaseStatistics {
    double lowest_one = std::numeric_limits<double>::infinity();
    double highest_zero = -std::numeric_limits<double>::infinity();
    double sum_ones = 0.0;
    double sum_zeros = 0.0;
    std::size_t ones = 0;
    std::size_t zeros = 0;

    bool HasBoth() const { return ones > 0 && zeros > 0; }
    double Height() const { return lowest_one - highest_zero; }
    // How far the threshold lies inside the eye; positive when open there.
    double Margin(double threshold) const {
        return HasBoth() ? std::min(lowest_one - threshold, threshold - highest_zero)
                         : -std::numeric_limits<double>::infinity();
    }
};

class Folder {
public:
    Folder(const std::vector<std::uint8_t>& bits, const std::vector<double>& output,
           const EyeOptions& options)
        : bits_(bits), output_(output), per_bit_(options.samples_per_bit),
          first_sample_(static_cast<long>(options.skip_bits) * options.samples_per_bit) {}

    // Statistics at `offset` samples from each bit's start, shifted by
    // `latency`; offsets outside 0 to samples_per_bit - 1 reach into the
    // neighbouring unit intervals, still judged by the bit in the middle.
    PhaseStatistics At(long latency, long offset, bool inverted) const {
        PhaseStatistics stats;
        const long count = static_cast<long>(output_.size());
        for (std::size_t bit = 0; bit < bits_.size(); ++bit) {
            const long sample = static_cast<long>(bit) * per_bit_ + latency + offset;
            if (sample < first_sample_) continue;
            if (sample >= count) break;
            const double value = output_[static_cast<std::size_t>(sample)];
            if ((bits_[bit] != 0) != inverted) {
                stats.lowest_one = std::min(stats.lowest_one, value);
                stats.sum_ones += value;
                ++stats.ones;
            } else {
                stats.highest_zero = std::max(stats.highest_zero, value);
                stats.sum_zeros += value;
                ++stats.zeros;
            }
        }
        return stats;
    }

    // The phase with the tallest eye; among equals the one nearest the middle
    // of the unit interval, so that a flat eye is not pushed to its edge.
    int BestPhase(long latency, bool inverted) const {
        int best = -1;
        double best_height = -std::numeric_limits<double>::infinity();
        for (int phase = 0; phase < per_bit_; ++phase) {
            const PhaseStatistics stats = At(latency, phase, inverted);
            if (!stats.HasBoth()) continue;
            const double height = stats.Height();
            const bool nearer = best >= 0 && std::abs(2 * phase - per_bit_) < std::abs(2 * best - per_bit_);
            if (height > best_height || (height == best_height && nearer)) {
                best = phase;
                best_height = height;
            }
        }
        return best;
    }

private:
    const std::vector<std::uint8_t>& bits_;
    const std::vector<double>& output_;
    int per_bit_;
    long first_sample_;
};

// The lag of the output behind the input, in samples, found as the largest
// correlation (in magnitude) between the output and the bits as +1/-1 held
// for a unit interval. Prefix sums make each lag cost one step per bit.
long FindLatency(const std::vector<std::uint8_t>& bits, const std::vector<double>& output,
                 const EyeOptions& options, bool& inverted) {
    const long per_bit = options.samples_per_bit;
    const long count = static_cast<long>(output.size());
    const long first = static_cast<long>(options.skip_bits) * per_bit;
    std::vector<double> prefix(output.size() + 1, 0.0);
    for (std::size_t i = 0; i < output.size(); ++i) prefix[i + 1] = prefix[i] + output[i];

    const long max_lag = std::min<long>(static_cast<long>(options.max_latency_bits) * per_bit,
                                        (count - first) / 2);
    long best_lag = 0;
    double best = -1.0;
    inverted = false;
    for (long lag = 0; lag <= max_lag; ++lag) {
        double sum = 0.0;
        long terms = 0;
        for (std::size_t bit = 0; bit < bits.size(); ++bit) {
            const long start = static_cast<long>(bit) * per_bit + lag;
            if (start < first) continue;
            if (start + per_bit > count) break;
            const double window = prefix[static_cast<std::size_t>(start + per_bit)] -
                                  prefix[static_cast<std::size_t>(start)];
            sum += bits[bit] ? window : -window;
            ++terms;
        }
        if (terms == 0) continue;
        const double correlation = sum / static_cast<double>(terms);
        if (std::abs(correlation) > best) {
            best = std::abs(correlation);
            best_lag = lag;
            inverted = correlation < 0.0;
        }
    }
    return best_lag;
}

// Where the margin at the threshold, positive at `from`, falls to zero when
// walking one way (step -1 or +1), as a fractional offset in samples.
double EdgeOfOpening(const Folder& folder, long latency, bool inverted, long from, long step,
                     long limit, double threshold) {
    double inside = folder.At(latency, from, inverted).Margin(threshold);
    for (long offset = from + step; step < 0 ? offset >= limit : offset <= limit; offset += step) {
        const double margin = folder.At(latency, offset, inverted).Margin(threshold);
        if (margin <= 0.0) {
            if (!std::isfinite(margin)) return static_cast<double>(offset - step);
            // Linear between the last open offset and this closed one.
            const double fraction = inside / (inside - margin);
            return static_cast<double>(offset - step) + fraction * static_cast<double>(step);
        }
        inside = margin;
    }
    return static_cast<double>(limit);
}

}  // namespace

EyeMetrics MeasureEye(const std::vector<std::uint8_t>& bits, const std::vector<double>& output,
                      const EyeOptions& options) {
    const int per_bit = options.samples_per_bit;
    if (per_bit < 1) throw UsageError("the eye needs at least one sample per bit");
    if (output.size() != bits.size() * static_cast<std::size_t>(per_bit))
        throw UsageError("the output does not hold samples_per_bit samples for every bit");
    if (options.skip_bits >= bits.size() || bits.size() - options.skip_bits < 4)
        throw UsageError("too few bits for an eye: " + std::to_string(bits.size()) + " bits, " +
                         std::to_string(options.skip_bits) + " of them skipped");

    EyeMetrics eye;
    const Folder folder(bits, output, options);
    eye.latency = FindLatency(bits, output, options, eye.inverted);
    int phase = folder.BestPhase(eye.latency, eye.inverted);
    if (phase < 0)
        throw UsageError("no eye: the measured bits hold no ones or no zeros");
    // Centre the tallest eye in the unit interval, so that the opening around
    // it can be followed both ways without leaving the bit it belongs to.
    const long shift = phase - per_bit / 2;
    if (shift != 0) {
        const int recentred = folder.BestPhase(eye.latency + shift, eye.inverted);
        if (recentred >= 0) {
            eye.latency += shift;
            phase = recentred;
        }
    }
    eye.best_phase = phase;

    const PhaseStatistics best = folder.At(eye.latency, phase, eye.inverted);
    eye.lowest_one = best.lowest_one;
    eye.highest_zero = best.highest_zero;
    eye.eye_height = best.Height();
    eye.upper_level = best.sum_ones / static_cast<double>(best.ones);
    eye.lower_level = best.sum_zeros / static_cast<double>(best.zeros);
    eye.bits_measured = best.ones + best.zeros;

    // The width is followed from the phase where the threshold lies deepest
    // inside the eye: an eye that is tallest away from the threshold is
    // still as wide as its opening at the threshold.
    long widest = phase;
    double deepest = best.Margin(options.threshold);
    for (long offset = 0; offset < per_bit; ++offset) {
        const double margin = folder.At(eye.latency, offset, eye.inverted).Margin(options.threshold);
        if (margin > deepest) {
            deepest = margin;
            widest = offset;
        }
    }
    if (deepest > 0.0) {
        const double start = EdgeOfOpening(folder, eye.latency, eye.inverted, widest, -1,
                                           widest - per_bit, options.threshold);
        const double end = EdgeOfOpening(folder, eye.latency, eye.inverted, widest, +1,
                                         widest + per_bit, options.threshold);
        eye.width_start = (start - phase) / per_bit;
        eye.width_end = (end - phase) / per_bit;
        eye.eye_width = eye.width_end - eye.width_start;
    }
    return eye;
}

}  // namespace amisim
