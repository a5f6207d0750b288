#include "blocks/fir.h"

#include <cstddef>
#include <utility>

namespace Vantrel {

namespace {

// acc + x * tap with the same rounding steps as writing the sum back to the
// output item after every term.
inline void MultiplyAdd(double& acc, double x, double tap) { acc = acc + x * tap; }

// Written out part by part: the library product would route through a
// NaN-recovering helper call and is no more accurate for finite values.
inline void MultiplyAdd(std::complex<double>& acc, const std::complex<double>& x,
                        const std::complex<double>& tap) {
    const double tr = tap.real();
    const double ti = tap.imag();
    const double xr = x.real();
    const double xi = x.imag();
    acc.real(acc.real() + (tr * xr - ti * xi));
    acc.imag(acc.imag() + (tr * xi + ti * xr));
}

}  // namespace

template <typename T, int K>
bool FIR<T, K>::Setup() {
    bool ok = true;
    if (NumberOfTaps < 1) {
        ReportError(this, "There must be at least one Tap");
        ok = false;
    }
    if (Decimation < 1) {
        ReportError(this, "Decimation must be > 0");
        ok = false;
    }
    if (DecimationPhase < 0) {
        ReportError(this, "DecimationPhase must be >= 0");
        ok = false;
    }
    if (DecimationPhase >= Decimation) {
        ReportError(this, "DecimationPhase must be < Decimation ratio");
        ok = false;
    }
    if (Interpolation < 1) {
        ReportError(this, "Interpolation must be > 0");
        ok = false;
    }
    if (!ok) return false;

    const auto taps = static_cast<std::uint32_t>(NumberOfTaps);
    const auto decimation = static_cast<std::uint32_t>(Decimation);
    const auto interpolation = static_cast<std::uint32_t>(Interpolation);
    input.SetRate(decimation);
    output.SetRate(interpolation);
    // Unsigned: the sum of two positive 32-bit values plus one always fits.
    history.requiredSize = taps / interpolation + decimation + 1u;
    history.rate = decimation;
    if (history.requiredSize < decimation) history.requiredSize = decimation;
    phaseLength = static_cast<std::int32_t>(taps / interpolation + (taps % interpolation != 0 ? 1u : 0u));
    return true;
}

template <typename T, int K>
bool FIR<T, K>::Initialize() {
    const std::uint32_t size = history.requiredSize;
    // Value-initialised, so the delay line and its mirror start cleared. The
    // new line is made before the old one goes, so a failed allocation
    // leaves the block as it was.
    std::unique_ptr<T[]> fresh(new T[std::size_t{size} * 2u]());
    history.Attach(fresh.get(), size, history.rate, 0);
    historyStorage = std::move(fresh);
    return true;
}

template <typename T, int K>
void FIR<T, K>::Store(std::uint32_t index, const T& sample) {
    const std::uint32_t slot = history.Index(index);
    historyStorage[slot] = sample;
    historyStorage[slot + history.capacity] = sample;
}

template <typename T, int K>
bool FIR<T, K>::Run() {
    const std::uint32_t size = history.capacity;
    if (Decimation == 1 && Interpolation == 1) {
        // The transmitter's case: one sample in, one out, every tap used in
        // order against the samples from the newest one backwards.
        const std::uint32_t newestIndex = size - 1u;
        Store(newestIndex, input.Item(0));
        const T* sample = historyStorage.get() + history.Index(newestIndex) + size;
        const T* tap = Taps;
        const T* const lastTap = Taps + NumberOfTaps;
        T acc{};
        // Unrolled by four for fewer loop branches; the products are still
        // added one by one in tap order, so the sum is bit for bit the same.
        for (; lastTap - tap >= 4; tap += 4, sample -= 4) {
            MultiplyAdd(acc, sample[0], tap[0]);
            MultiplyAdd(acc, sample[-1], tap[1]);
            MultiplyAdd(acc, sample[-2], tap[2]);
            MultiplyAdd(acc, sample[-3], tap[3]);
        }
        for (; tap != lastTap; ++tap, --sample) MultiplyAdd(acc, *sample, *tap);
        output.Item(0) = acc;
    } else {
        RunPolyphase();
    }
    history.Advance();
    return true;
}

template <typename T, int K>
void FIR<T, K>::RunPolyphase() {
    const std::uint32_t size = history.capacity;
    const auto decimation = static_cast<std::uint32_t>(Decimation);
    const std::int64_t interpolation = Interpolation;
    const std::int64_t taps = NumberOfTaps;
    const std::int32_t length = phaseLength;

    const std::uint32_t firstNew = size - decimation;
    for (std::uint32_t s = 0; s < decimation; ++s) Store(firstNew + s, input.Item(s));

    std::uint32_t o = 0;
    std::int64_t phase = DecimationPhase;
    for (std::uint32_t i = 0; i < decimation; ++i) {
        // The sample newest at this point of the up-sampled stream, and the
        // older ones behind it in the mirror.
        const T* newest = historyStorage.get() + history.Index(firstNew + i) + size;
        for (; phase < interpolation; phase += Decimation) {
            T acc{};
            std::int64_t t = phase;
            for (std::int32_t l = 0; l < length && t < taps; ++l, t += interpolation) {
                MultiplyAdd(acc, newest[-l], Taps[t]);
            }
            output.Item(o++) = acc;
        }
        phase -= interpolation;
    }
}

template <typename T, int K>
bool FIR<T, K>::Finalize() {
    // Detached as well, so that no dangling storage stays visible.
    history.Attach(nullptr, 0, history.rate, 0);
    historyStorage.reset();
    return true;
}

template class FIR<double, 1>;
template class FIR<double, 0>;
template class FIR<std::complex<double>, 0>;

}  // namespace Vantrel
