#include "tools/amisim/eye/crossing_jitter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace amisim {

namespace {

// A unit interval in this many parts: far finer than any jitter worth
// measuring, and the histogram stays small.
constexpr std::size_t kParts = 8192;

}  // namespace

CrossingMeter::CrossingMeter(int samples_per_bit, double threshold, std::size_t first_sample)
    : per_bit_(samples_per_bit), threshold_(threshold), first_(first_sample), histogram_(kParts, 0) {}

void CrossingMeter::Count(double position) {
    double ui = std::fmod(position / per_bit_, 1.0);
    if (ui < 0.0) ui += 1.0;  // a shift may carry an early crossing before the record
    const std::size_t part = std::min(kParts - 1, static_cast<std::size_t>(ui * kParts));
    ++histogram_[part];
}

void CrossingMeter::Add(const double* samples, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i, ++received_) {
        const double value = samples[i] - threshold_;
        if (received_ > first_ && (previous_ < 0.0) != (value < 0.0) && value != previous_)
            // Between the previous sample and this one.
            Count(static_cast<double>(received_ - 1) + previous_ / (previous_ - value));
        previous_ = value;
    }
}

void CrossingMeter::Add(const double* samples, std::size_t count, const std::function<double(double)>& shift) {
    for (std::size_t i = 0; i < count; ++i, ++received_) {
        const double value = samples[i] - threshold_;
        if (received_ > first_ && (previous_ < 0.0) != (value < 0.0) && value != previous_) {
            const double position = static_cast<double>(received_ - 1) + previous_ / (previous_ - value);
            Count(position - shift(position));
        }
        previous_ = value;
    }
}

CrossingJitter CrossingMeter::Finish() const {
    CrossingJitter out;
    // The mean crossing on the circle of one unit interval, so that
    // crossings on both sides of a bit boundary average to the boundary.
    double c = 0.0, s = 0.0;
    for (std::size_t k = 0; k < kParts; ++k) {
        if (histogram_[k] == 0) continue;
        const double angle = 2.0 * std::numbers::pi * (static_cast<double>(k) + 0.5) / kParts;
        c += static_cast<double>(histogram_[k]) * std::cos(angle);
        s += static_cast<double>(histogram_[k]) * std::sin(angle);
        out.crossings += histogram_[k];
    }
    if (out.crossings == 0) return out;
    double mean = std::atan2(s, c) / (2.0 * std::numbers::pi);
    if (mean < 0.0) mean += 1.0;
    out.mean_ui = mean;
    double sum = 0.0, sum_squares = 0.0, low = 0.0, high = 0.0;
    bool any = false;
    for (std::size_t k = 0; k < kParts; ++k) {
        if (histogram_[k] == 0) continue;
        double d = (static_cast<double>(k) + 0.5) / kParts - mean;
        d -= std::floor(d + 0.5);  // within half a unit interval of the mean
        sum += static_cast<double>(histogram_[k]) * d;
        sum_squares += static_cast<double>(histogram_[k]) * d * d;
        low = any ? std::min(low, d) : d;
        high = any ? std::max(high, d) : d;
        any = true;
    }
    const double n = static_cast<double>(out.crossings);
    out.rms_ui = std::sqrt(std::max(0.0, sum_squares / n - (sum / n) * (sum / n)));
    out.peak_to_peak_ui = high - low;
    return out;
}

}  // namespace amisim
