#include "tools/amisim/channel/overlap_save.h"

#include <fftw3.h>

#include <algorithm>
#include <complex>
#include <cstring>
#include <stdexcept>

#include "tools/amisim/channel/fftw_planner.h"

namespace amisim {

namespace {

std::size_t NextPowerOfTwo(std::size_t n) {
    std::size_t p = 1;
    while (p < n) p <<= 1;
    return p;
}

// Even, with no prime factor above 7.
bool IsSmooth(std::size_t n) {
    if (n % 2 != 0) return false;
    for (std::size_t p : {2u, 3u, 5u, 7u})
        while (n % p == 0) n /= p;
    return n == 1;
}

struct FftwDeleter {
    void operator()(void* p) const { fftw_free(p); }
};

}  // namespace

// FFTW's buffers are aligned for its vector code; the plans are made once,
// for the one transform size this convolver uses.
struct OverlapSaveConvolver::Plans {
    std::unique_ptr<double, FftwDeleter> time;
    std::unique_ptr<fftw_complex, FftwDeleter> spectrum;
    std::vector<std::complex<double>> impulse_spectrum;
    fftw_plan forward = nullptr;
    fftw_plan inverse = nullptr;

    explicit Plans(std::size_t size)
        : time(static_cast<double*>(fftw_malloc(sizeof(double) * size))),
          spectrum(static_cast<fftw_complex*>(fftw_malloc(sizeof(fftw_complex) * (size / 2 + 1)))) {
        if (!time || !spectrum) throw std::bad_alloc();
        const int n = static_cast<int>(size);
        // Estimated plans: as fast as measured ones at these sizes, made at
        // once, and the same from run to run, so equal inputs give equal
        // output to the last bit.
        const std::lock_guard<std::mutex> planner(FftwPlannerMutex());
        forward = fftw_plan_dft_r2c_1d(n, time.get(), spectrum.get(), FFTW_ESTIMATE);
        inverse = fftw_plan_dft_c2r_1d(n, spectrum.get(), time.get(), FFTW_ESTIMATE);
        if (forward == nullptr || inverse == nullptr) throw std::runtime_error("FFTW could not plan");
    }
    ~Plans() {
        const std::lock_guard<std::mutex> planner(FftwPlannerMutex());
        if (forward != nullptr) fftw_destroy_plan(forward);
        if (inverse != nullptr) fftw_destroy_plan(inverse);
    }
    Plans(const Plans&) = delete;
    Plans& operator=(const Plans&) = delete;
};

std::size_t OverlapSaveConvolver::SizeFor(std::size_t taps, std::size_t block) {
    taps = std::max<std::size_t>(taps, 1);
    if (block == 0) return std::max<std::size_t>(NextPowerOfTwo(4 * taps), 64);
    std::size_t size = std::max<std::size_t>(std::max(block, taps) + taps - 1, 64);
    while (!IsSmooth(size)) ++size;
    return size;
}

OverlapSaveConvolver::OverlapSaveConvolver(std::vector<double> taps, std::size_t fft_size, std::size_t block)
    : taps_(std::max<std::size_t>(taps.size(), 1)) {
    if (taps.empty()) taps.push_back(0.0);
    fft_size_ = fft_size != 0 ? fft_size : SizeFor(taps_, block);
    if (fft_size_ < 2 * taps_ || fft_size_ % 2 != 0 || fft_size_ > (std::size_t{1} << 30))
        throw std::invalid_argument("the FFT size must be even, at least twice the taps");
    plans_ = std::make_unique<Plans>(fft_size_);
    history_.assign(taps_ - 1, 0.0);

    // The impulse's spectrum, with the inverse transform's factor 1/N folded
    // in, since FFTW's transforms are unnormalised.
    double* time = plans_->time.get();
    std::fill(time, time + fft_size_, 0.0);
    std::copy(taps.begin(), taps.end(), time);
    fftw_execute(plans_->forward);
    const std::size_t bins = fft_size_ / 2 + 1;
    plans_->impulse_spectrum.resize(bins);
    const double scale = 1.0 / static_cast<double>(fft_size_);
    for (std::size_t k = 0; k < bins; ++k)
        plans_->impulse_spectrum[k] =
            std::complex<double>(plans_->spectrum.get()[k][0], plans_->spectrum.get()[k][1]) * scale;
}

OverlapSaveConvolver::~OverlapSaveConvolver() = default;

void OverlapSaveConvolver::Process(const double* input, double* output, std::size_t count) {
    const std::size_t overlap = taps_ - 1;
    double* time = plans_->time.get();
    fftw_complex* spectrum = plans_->spectrum.get();
    const std::size_t bins = fft_size_ / 2 + 1;
    while (count > 0) {
        const std::size_t chunk = std::min(count, step());
        // [the last taps - 1 inputs | this chunk | zeros]: outputs from index
        // taps - 1 on see only true samples, never the wrap.
        std::copy(history_.begin(), history_.end(), time);
        std::memcpy(time + overlap, input, chunk * sizeof(double));
        std::fill(time + overlap + chunk, time + fft_size_, 0.0);
        // The history for the next chunk, taken before `output` may
        // overwrite `input`.
        if (chunk >= overlap) {
            std::copy(input + chunk - overlap, input + chunk, history_.begin());
        } else {
            std::copy(history_.begin() + static_cast<std::ptrdiff_t>(chunk), history_.end(), history_.begin());
            std::copy(input, input + chunk, history_.end() - static_cast<std::ptrdiff_t>(chunk));
        }
        fftw_execute(plans_->forward);
        for (std::size_t k = 0; k < bins; ++k) {
            const std::complex<double> product =
                std::complex<double>(spectrum[k][0], spectrum[k][1]) * plans_->impulse_spectrum[k];
            spectrum[k][0] = product.real();
            spectrum[k][1] = product.imag();
        }
        fftw_execute(plans_->inverse);
        std::memcpy(output, time + overlap, chunk * sizeof(double));
        input += chunk;
        output += chunk;
        count -= chunk;
    }
}

std::vector<double> DirectConvolution(const std::vector<double>& taps, const std::vector<double>& input) {
    std::vector<double> output(input.size(), 0.0);
    for (std::size_t n = 0; n < input.size(); ++n) {
        double sum = 0.0;
        const std::size_t terms = std::min(taps.size(), n + 1);
        for (std::size_t k = 0; k < terms; ++k) sum += taps[k] * input[n - k];
        output[n] = sum;
    }
    return output;
}

}  // namespace amisim
