#include "tools/amisim/flows/receiver_sampler.h"

#include <algorithm>
#include <cmath>

namespace amisim {

ReceiverSampler::ReceiverSampler(const Impairments& impairments, int samples_per_bit, double bit_time)
    : clock_(impairments.rx, impairments.seed, 2), noise_(impairments.seed * 0x2545f4914f6cdd1dULL + 3),
      jitter_(impairments.HasRxJitter()), sigma_(impairments.noise_sigma), uniform_(impairments.noise_uniform),
      per_bit_(samples_per_bit), bit_time_(bit_time) {
    if (jitter_) delay_ = static_cast<long>(std::ceil(clock_.Bound() * samples_per_bit)) + 1;
    history_.assign(static_cast<std::size_t>(2 * delay_ + 2), 0.0);
}

double ReceiverSampler::Displacement(long bit) {
    if (bit != bit_) {
        bit_ = bit;
        // The clock's duty-cycle distortion alternates from bit to bit.
        displacement_ = clock_.Draw(static_cast<double>(bit) * bit_time_, bit % 2 == 0) * static_cast<double>(per_bit_);
    }
    return displacement_;
}

void ReceiverSampler::Process(double* samples, std::size_t count) {
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
                continue;
            }
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
    if (sigma_ > 0.0) noise_.AddNormal(samples, count, sigma_);
    if (uniform_ > 0.0)
        for (std::size_t i = 0; i < count; ++i) samples[i] += uniform_ * noise_.Symmetric();
}

}  // namespace amisim
