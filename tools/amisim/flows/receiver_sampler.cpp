#include "tools/amisim/flows/receiver_sampler.h"

#include <algorithm>
#include <cmath>

namespace amisim {

ReceiverSampler::ReceiverSampler(const Impairments& impairments, int samples_per_bit, double bit_time)
    : clock_(impairments.rx, impairments.seed, 2), noise_(impairments, impairments.seed * 0x2545f4914f6cdd1dULL + 3),
      jitter_(impairments.HasRxJitter()), per_bit_(samples_per_bit), bit_time_(bit_time) {
    if (jitter_) delay_ = static_cast<long>(std::ceil(clock_.Bound() * samples_per_bit)) + 1;
    history_.assign(static_cast<std::size_t>(2 * delay_ + 2), 0.0);
}

double ReceiverSampler::Displacement(long bit) {
    // Drawn in bit order, once each, and kept until released.
    while (shifts_first_ + static_cast<long>(shifts_.size()) <= bit) {
        const long next = shifts_first_ + static_cast<long>(shifts_.size());
        // The clock's duty-cycle distortion alternates from bit to bit.
        shifts_.push_back(clock_.Draw(static_cast<double>(next) * bit_time_, next % 2 == 0) *
                          static_cast<double>(per_bit_));
    }
    return shifts_[static_cast<std::size_t>(bit - shifts_first_)];
}

double ReceiverSampler::Shift(long bit) const {
    if (bit < shifts_first_ || bit >= shifts_first_ + static_cast<long>(shifts_.size())) return 0.0;
    return shifts_[static_cast<std::size_t>(bit - shifts_first_)];
}

long ReceiverSampler::BitAt(double position) const {
    const double nominal = position - static_cast<double>(delay_);
    return nominal < 0.0 ? 0 : static_cast<long>(nominal) / per_bit_;
}

void ReceiverSampler::Release(long bit) {
    while (shifts_first_ < bit && !shifts_.empty()) {
        shifts_.pop_front();
        ++shifts_first_;
    }
}

void ReceiverSampler::Process(double* samples, std::size_t count, double* steady) {
    if (jitter_) {
        // The history, then this block: work_[j] is output sample base + j.
        const long base = received_ - static_cast<long>(history_.size());
        work_.assign(history_.begin(), history_.end());
        work_.insert(work_.end(), samples, samples + count);
        const long last = static_cast<long>(work_.size()) - 1;
        // Where the next sample's nominal instant lies: in which bit, how
        // far into it (kept by counting: a division per sample would cost
        // more than the rest of the sampler).
        long nominal = received_ - delay_;
        long bit = nominal >= 0 ? nominal / per_bit_ : 0;
        long into = nominal >= 0 ? nominal % per_bit_ : 0;
        for (std::size_t i = 0; i < count; ++i, ++nominal) {
            if (nominal < 0) {
                // Before the delay has passed, the output's first sample stands in.
                samples[i] = work_[static_cast<std::size_t>(-base)];
                if (steady != nullptr) steady[i] = samples[i];
                continue;
            }
            if (steady != nullptr) steady[i] = work_[static_cast<std::size_t>(nominal - base)];
            const double at = static_cast<double>(nominal - base) + Displacement(bit);
            if (++into == per_bit_) {
                into = 0;
                ++bit;
            }
            const double clamped = std::clamp(at, 0.0, static_cast<double>(last - 1));
            const long below = static_cast<long>(clamped);
            const double part = clamped - static_cast<double>(below);
            const double a = work_[static_cast<std::size_t>(below)];
            const double b = work_[static_cast<std::size_t>(below + 1)];
            samples[i] = a + (b - a) * part;
        }
        std::copy(work_.end() - static_cast<std::ptrdiff_t>(history_.size()), work_.end(), history_.begin());
    }
    received_ += static_cast<long>(count);
    AddNoise(samples, jitter_ ? steady : nullptr, count);
}

void ReceiverSampler::AddNoise(double* samples, double* steady, std::size_t count) {
    if (!noise_.Any()) return;
    if (steady == nullptr) {
        noise_.Add(samples, count);
        return;
    }
    // The same draws on both waves: the steady one differs only in time.
    drawn_.assign(count, 0.0);
    noise_.Add(drawn_.data(), count);
    for (std::size_t i = 0; i < count; ++i) {
        samples[i] += drawn_[i];
        steady[i] += drawn_[i];
    }
}

}  // namespace amisim
