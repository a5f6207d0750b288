#pragma once
// Convolution of a long signal with a fixed impulse, a block at a time, by
// overlap-save with FFTW: each block's spectrum is multiplied by the
// impulse's, and the samples the circular wrap spoils are thrown away. The
// signal is never held whole, so memory does not grow with its length.

#include <cstddef>
#include <memory>
#include <vector>

namespace amisim {

class OverlapSaveConvolver {
public:
    // `taps` are dimensionless: output[n] = sum over k of taps[k] input[n - k].
    // `fft_size` of 0 picks one by SizeFor from `block`, the samples a call
    // usually brings (0: not known).
    explicit OverlapSaveConvolver(std::vector<double> taps, std::size_t fft_size = 0, std::size_t block = 0);

    // A transform that takes a whole usual call at once (FFTW is fast at
    // sizes of factors 2, 3, 5 and 7), so a call never ends in a transform
    // spent on a few leftover samples; without a block, about four times
    // the taps, which keeps the discarded overlap a quarter of a transform.
    static std::size_t SizeFor(std::size_t taps, std::size_t block);
    ~OverlapSaveConvolver();
    OverlapSaveConvolver(const OverlapSaveConvolver&) = delete;
    OverlapSaveConvolver& operator=(const OverlapSaveConvolver&) = delete;

    // Filters `count` consecutive samples of the signal; the history of
    // earlier calls carries over, so any split into calls gives the same
    // output. `input` and `output` may be the same buffer.
    void Process(const double* input, double* output, std::size_t count);

    std::size_t taps() const noexcept { return taps_; }
    std::size_t fft_size() const noexcept { return fft_size_; }
    // New samples one transform handles.
    std::size_t step() const noexcept { return fft_size_ - (taps_ - 1); }

private:
    struct Plans;
    std::size_t taps_;
    std::size_t fft_size_;
    std::unique_ptr<Plans> plans_;
    std::vector<double> history_;  // the last taps - 1 input samples, oldest first
};

// The same sum taken term by term: the reference the tests and the
// benchmark compare against.
std::vector<double> DirectConvolution(const std::vector<double>& taps, const std::vector<double>& input);

}  // namespace amisim
