#include "tools/amisim/eye/eye.h"

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

    int per_bit() const { return per_bit_; }

private:
    const std::vector<std::uint8_t>& bits_;
    const std::vector<double>& output_;
    int per_bit_;
    long first_sample_;
};

// The phase with the tallest eye; among equals the one nearest the middle
// of the unit interval, so that a flat eye is not pushed to its edge.
template <typename Source>
int BestPhase(const Source& source, long latency, bool inverted) {
    const int per_bit = source.per_bit();
    int best = -1;
    double best_height = -std::numeric_limits<double>::infinity();
    for (int phase = 0; phase < per_bit; ++phase) {
        const PhaseStatistics stats = source.At(latency, phase, inverted);
        if (!stats.HasBoth()) continue;
        const double height = stats.Height();
        const bool nearer = best >= 0 && std::abs(2 * phase - per_bit) < std::abs(2 * best - per_bit);
        if (height > best_height || (height == best_height && nearer)) {
            best = phase;
            best_height = height;
        }
    }
    return best;
}

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
template <typename Source>
double EdgeOfOpening(const Source& folder, long latency, bool inverted, long from, long step,
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

// The measurements of an eye folded at `latency`: the tallest phase, moved
// to the middle of the unit interval, and the opening around it.
template <typename Source>
EyeMetrics MeasureFolded(const Source& folder, long latency, bool inverted, double threshold) {
    EyeMetrics eye;
    eye.latency = latency;
    eye.inverted = inverted;
    const int per_bit = folder.per_bit();
    int phase = BestPhase(folder, eye.latency, eye.inverted);
    if (phase < 0)
        throw UsageError("no eye: the measured bits hold no ones or no zeros");
    // Centre the tallest eye in the unit interval, so that the opening around
    // it can be followed both ways without leaving the bit it belongs to.
    const long shift = phase - per_bit / 2;
    if (shift != 0) {
        const int recentred = BestPhase(folder, eye.latency + shift, eye.inverted);
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
    double deepest = best.Margin(threshold);
    for (long offset = 0; offset < per_bit; ++offset) {
        const double margin = folder.At(eye.latency, offset, eye.inverted).Margin(threshold);
        if (margin > deepest) {
            deepest = margin;
            widest = offset;
        }
    }
    if (deepest > 0.0) {
        const double start = EdgeOfOpening(folder, eye.latency, eye.inverted, widest, -1,
                                           widest - per_bit, threshold);
        const double end = EdgeOfOpening(folder, eye.latency, eye.inverted, widest, +1,
                                         widest + per_bit, threshold);
        eye.width_start = (start - phase) / per_bit;
        eye.width_end = (end - phase) / per_bit;
        eye.eye_width = eye.width_end - eye.width_start;
    }
    eye.centre_phase = phase;
    eye.centre_height = eye.eye_height;
    if (eye.eye_width > 0.0) {
        eye.centre_phase = static_cast<int>(
            std::lround(phase + 0.5 * (eye.width_start + eye.width_end) * per_bit));
        eye.centre_height = folder.At(eye.latency, eye.centre_phase, eye.inverted).Height();
    }
    return eye;
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

    const Folder folder(bits, output, options);
    bool inverted = false;
    const long latency = FindLatency(bits, output, options, inverted);
    return MeasureFolded(folder, latency, inverted, options.threshold);
}

namespace {

constexpr long kReachBefore = 2;  // unit intervals of offsets kept before the eye
constexpr long kReachAfter = 3;   // and after its start

// The accumulated sums seen as the statistics of one phase, with the
// inversion applied the way the folder applies it.
class AccumulatedSource {
public:
    AccumulatedSource(const std::vector<EyeAccumulator::Sums>& ones,
                      const std::vector<EyeAccumulator::Sums>& zeros, int per_bit, long latency)
        : ones_(ones), zeros_(zeros), per_bit_(per_bit), latency_(latency) {}
    int per_bit() const { return per_bit_; }
    PhaseStatistics At(long latency, long offset, bool inverted) const {
        const long index = latency - latency_ + offset + kReachBefore * per_bit_;
        PhaseStatistics stats;
        if (index < 0 || index >= static_cast<long>(ones_.size())) return stats;
        const EyeAccumulator::Sums& high = inverted ? zeros_[static_cast<std::size_t>(index)]
                                                    : ones_[static_cast<std::size_t>(index)];
        const EyeAccumulator::Sums& low = inverted ? ones_[static_cast<std::size_t>(index)]
                                                   : zeros_[static_cast<std::size_t>(index)];
        if (high.count > 0) stats.lowest_one = high.lowest;
        if (low.count > 0) stats.highest_zero = low.highest;
        stats.sum_ones = high.sum;
        stats.ones = high.count;
        stats.sum_zeros = low.sum;
        stats.zeros = low.count;
        return stats;
    }

private:
    const std::vector<EyeAccumulator::Sums>& ones_;
    const std::vector<EyeAccumulator::Sums>& zeros_;
    int per_bit_;
    long latency_;
};

}  // namespace

EyeAccumulator::EyeAccumulator(int prbs_order, const EyeOptions& options, long latency, bool inverted)
    : options_(options), latency_(latency), inverted_(inverted), generator_(prbs_order) {
    const std::size_t offsets = static_cast<std::size_t>((kReachBefore + kReachAfter) * options.samples_per_bit);
    Sums empty;
    empty.lowest = std::numeric_limits<double>::infinity();
    empty.highest = -std::numeric_limits<double>::infinity();
    ones_.assign(offsets, empty);
    zeros_.assign(offsets, empty);
}

void EyeAccumulator::Fold(std::size_t bit, std::uint8_t value, long end) {
    const long per_bit = options_.samples_per_bit;
    const long first = static_cast<long>(options_.skip_bits) * per_bit;
    std::vector<Sums>& sums = value != 0 ? ones_ : zeros_;
    const long base = static_cast<long>(bit) * per_bit + latency_ - kReachBefore * per_bit;
    for (std::size_t d = 0; d < sums.size(); ++d) {
        const long sample = base + static_cast<long>(d);
        if (sample < first || sample >= end) continue;
        const double v = buffer_[static_cast<std::size_t>(sample - buffer_start_)];
        Sums& s = sums[d];
        s.lowest = std::min(s.lowest, v);
        s.highest = std::max(s.highest, v);
        s.sum += v;
        ++s.count;
    }
}

void EyeAccumulator::Add(const double* samples, std::size_t count) {
    buffer_.insert(buffer_.end(), samples, samples + count);
    received_ += static_cast<long>(count);
    const long per_bit = options_.samples_per_bit;
    const long span = (kReachBefore + kReachAfter) * per_bit;
    // A bit is folded once every sample it reaches has arrived.
    while (true) {
        const long base = static_cast<long>(next_bit_) * per_bit + latency_ - kReachBefore * per_bit;
        if (base + span > received_) break;
        Fold(next_bit_, static_cast<std::uint8_t>(generator_.Next()), received_);
        ++next_bit_;
    }
    // Drop what no bit still needs, in large steps so that erasing stays cheap.
    const long needed = static_cast<long>(next_bit_) * per_bit + latency_ - kReachBefore * per_bit;
    const long stale = needed - buffer_start_;
    if (stale > 65536 && stale > static_cast<long>(buffer_.size()) / 2) {
        const long drop = std::min<long>(stale, static_cast<long>(buffer_.size()));
        buffer_.erase(buffer_.begin(), buffer_.begin() + drop);
        buffer_start_ += drop;
    }
}

EyeMetrics EyeAccumulator::Finish() {
    const long per_bit = options_.samples_per_bit;
    const std::size_t bits = static_cast<std::size_t>(received_ / per_bit);
    for (; next_bit_ < bits; ++next_bit_) Fold(next_bit_, static_cast<std::uint8_t>(generator_.Next()), received_);
    const AccumulatedSource source(ones_, zeros_, options_.samples_per_bit, latency_);
    return MeasureFolded(source, latency_, inverted_, options_.threshold);
}

}  // namespace amisim
