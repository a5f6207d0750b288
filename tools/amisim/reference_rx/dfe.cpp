#include "tools/amisim/reference_rx/dfe.h"

#include <algorithm>
#include <cmath>

namespace amisim {

std::vector<double> ZeroForcingTaps(const std::vector<double>& pulse, std::size_t main, int samples_per_bit,
                                    const DfeSettings& settings, double symbol) {
    std::vector<double> taps(static_cast<std::size_t>(std::max(settings.taps, 0)), 0.0);
    if (main >= pulse.size()) return taps;
    const double polarity = pulse[main] < 0.0 ? -1.0 : 1.0;
    for (std::size_t k = 1; k <= taps.size(); ++k) {
        const std::size_t at = main + k * static_cast<std::size_t>(samples_per_bit);
        if (at >= pulse.size()) break;
        taps[k - 1] = std::clamp(symbol * polarity * pulse[at], -settings.limit, settings.limit);
    }
    return taps;
}

void CancelPostCursors(double* impulse, std::size_t length, std::size_t main, int samples_per_bit,
                       const std::vector<double>& taps, double polarity, double symbol, double sample_interval) {
    const std::size_t per_bit = static_cast<std::size_t>(samples_per_bit);
    for (std::size_t k = 1; k <= taps.size(); ++k) {
        // A step in the impulse is a unit interval in the pulse response:
        // the one starting half a unit interval before the cursor.
        const std::size_t at = main + k * per_bit - per_bit / 2;
        if (at >= length) break;
        impulse[at] -= polarity * taps[k - 1] / symbol / sample_interval;
    }
}

Dfe::Dfe(std::vector<double> taps, const DfeSettings& settings, double level)
    : taps_(std::move(taps)), settings_(settings), level_(level) {
    if (settings_.adapt) std::fill(taps_.begin(), taps_.end(), 0.0);
}

double Dfe::Feedback() const {
    double sum = 0.0;
    const std::size_t n = std::min(taps_.size(), decisions_.size());
    for (std::size_t k = 0; k < n; ++k) sum += taps_[k] * decisions_[k];
    return sum;
}

double Dfe::Decide(double sample) {
    const double decision = sample >= 0.0 ? 1.0 : -1.0;
    if (settings_.adapt) {
        // Sign-sign LMS: the error's sign against each past decision's.
        const double error = sample - decision * level_;
        const double sign = error >= 0.0 ? 1.0 : -1.0;
        level_ = std::max(0.0, level_ + settings_.step * sign * decision);
        const std::size_t n = std::min(taps_.size(), decisions_.size());
        for (std::size_t k = 0; k < n; ++k)
            taps_[k] = std::clamp(taps_[k] + settings_.step * sign * decisions_[k], -settings_.limit, settings_.limit);
    }
    decisions_.push_front(decision);
    if (decisions_.size() > taps_.size()) decisions_.pop_back();
    return decision;
}

}  // namespace amisim
