#include "tools/amisim/flows/init_response.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <memory>
#include <new>

#include "tools/amisim/channel/channel_impulse.h"
#include "tools/amisim/flows/statistical_flow.h"

namespace amisim {

namespace {

struct FftwDeleter {
    void operator()(void* p) const { fftw_free(p); }
};
template <typename T>
using FftwBuffer = std::unique_ptr<T, FftwDeleter>;

template <typename T>
FftwBuffer<T> Allocate(std::size_t count) {
    FftwBuffer<T> buffer(static_cast<T*>(fftw_malloc(sizeof(T) * count)));
    if (!buffer) throw std::bad_alloc();
    return buffer;
}

// Below this share of the strongest bin's power (200 dB down) the given
// impulse is taken to carry nothing, and the ratio fades to zero there
// rather than dividing rounding by rounding. The floor can be this low
// because the wave the response is applied to has passed the same channel:
// where the ratio is large, that wave is small by the same factor.
constexpr double kFloor = 1e-20;

std::vector<std::complex<double>> Spectrum(const std::vector<double>& signal, std::size_t size) {
    auto time = Allocate<double>(size);
    auto spectrum = Allocate<fftw_complex>(size / 2 + 1);
    std::fill(time.get(), time.get() + size, 0.0);
    std::copy(signal.begin(), signal.end(), time.get());
    const fftw_plan plan = fftw_plan_dft_r2c_1d(static_cast<int>(size), time.get(), spectrum.get(), FFTW_ESTIMATE);
    fftw_execute(plan);
    fftw_destroy_plan(plan);
    std::vector<std::complex<double>> out(size / 2 + 1);
    for (std::size_t k = 0; k < out.size(); ++k) out[k] = {spectrum.get()[k][0], spectrum.get()[k][1]};
    return out;
}

}  // namespace

InitResponse ResponseFromInit(const std::vector<double>& given, const std::vector<double>& returned) {
    InitResponse result;
    const std::size_t length = std::min(given.size(), returned.size());
    if (length == 0) return result;
    // Twice the length, so the ratio is of linear, not circular, convolutions.
    std::size_t size = 2;
    while (size < 2 * length) size *= 2;
    const std::vector<std::complex<double>> in = Spectrum(given, size);
    const std::vector<std::complex<double>> out = Spectrum(returned, size);
    double strongest = 0.0;
    for (const auto& bin : in) strongest = std::max(strongest, std::norm(bin));
    const double floor = kFloor * strongest;

    auto spectrum = Allocate<fftw_complex>(size / 2 + 1);
    auto time = Allocate<double>(size);
    for (std::size_t k = 0; k < in.size(); ++k) {
        const std::complex<double> ratio =
            strongest > 0.0 ? out[k] * std::conj(in[k]) / (std::norm(in[k]) + floor) : std::complex<double>();
        spectrum.get()[k][0] = ratio.real();
        spectrum.get()[k][1] = ratio.imag();
    }
    const fftw_plan plan = fftw_plan_dft_c2r_1d(static_cast<int>(size), spectrum.get(), time.get(), FFTW_ESTIMATE);
    fftw_execute(plan);
    fftw_destroy_plan(plan);
    result.taps.assign(time.get(), time.get() + length);
    for (double& tap : result.taps) tap /= static_cast<double>(size);  // FFTW leaves the 1/size out
    // An equaliser is short beside the impulse it was given; the rest is
    // rounding, not worth a convolution.
    result.taps = TrimTail(std::move(result.taps));

    const std::vector<double> check = ConvolveTaps(
        result.taps, std::vector<double>(given.begin(), given.begin() + static_cast<std::ptrdiff_t>(length)));
    double error = 0.0, size_of_returned = 0.0;
    for (std::size_t n = 0; n < length && n < check.size(); ++n) {
        error += (check[n] - returned[n]) * (check[n] - returned[n]);
        size_of_returned += returned[n] * returned[n];
    }
    result.residual = size_of_returned > 0.0 ? std::sqrt(error / size_of_returned) : 0.0;
    return result;
}

}  // namespace amisim
