#include "model/block_convolution.h"

#include <cstring>

// This file is compiled with -ffp-contract=off: a multiply and the add that
// follows it must stay two roundings, as in the per-sample filter, never one
// fused multiply-add. With GCC also without predictive commoning, which
// would carry loaded samples from one tap to the next in more registers than
// the baseline instruction set has.

namespace korvan_block {

namespace {

typedef double TwoLanes __attribute__((vector_size(2 * sizeof(double))));
typedef double FourLanes __attribute__((vector_size(4 * sizeof(double))));

// Groups of outputs accumulated at once: enough independent additions in
// flight to cover the latency of the adder, few enough to stay in registers.
constexpr std::size_t kGroups = 8;

// The kernel, written once. It is inlined into each instruction-set wrapper
// below and compiled there for that wrapper's vector width; it takes and
// returns no vectors, so no calling convention depends on the width.
template <typename Vector>
[[gnu::always_inline]] inline void ConvolveInGroups(const double* newest, const double* taps,
                                                    std::size_t tap_count, double* out,
                                                    std::size_t count) noexcept {
    constexpr std::size_t kLanes = sizeof(Vector) / sizeof(double);
    constexpr std::size_t kWidth = kLanes * kGroups;
    static_assert(kWidth - 1 <= kConvolutionOverread);
    for (std::size_t k = 0; k < count; k += kWidth) {
        Vector sum[kGroups];
#pragma GCC unroll 8
        for (std::size_t g = 0; g < kGroups; ++g) sum[g] = Vector{};  // +0.0, as the per-sample filter starts
        for (std::size_t t = 0; t < tap_count; ++t) {
            const double tap = taps[t];
            const double* samples = newest + k - t;
#pragma GCC unroll 8
            for (std::size_t g = 0; g < kGroups; ++g) {
                Vector x;
                std::memcpy(&x, samples + g * kLanes, sizeof x);
                sum[g] = sum[g] + x * tap;
            }
        }
        // A last, partial group keeps only the outputs that were asked for.
        const std::size_t kept = count - k < kWidth ? count - k : kWidth;
        std::memcpy(out + k, sum, kept * sizeof(double));
    }
}

void ConvolveBaseline(const double* newest, const double* taps, std::size_t tap_count, double* out,
                      std::size_t count) noexcept {
    ConvolveInGroups<TwoLanes>(newest, taps, tap_count, out, count);
}

[[gnu::target("avx2")]] void ConvolveAvx2(const double* newest, const double* taps, std::size_t tap_count,
                                          double* out, std::size_t count) noexcept {
    ConvolveInGroups<FourLanes>(newest, taps, tap_count, out, count);
}

}  // namespace

bool ProcessorHasAvx2() noexcept {
    // Asked once per process; the answer includes the operating system's
    // support for the wide registers.
    static const bool has_avx2 = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return has_avx2;
}

void Convolve(ConvolutionKernel kernel, const double* newest, const double* taps, std::size_t tap_count,
              double* out, std::size_t count) noexcept {
    if (kernel == ConvolutionKernel::Avx2) {
        ConvolveAvx2(newest, taps, tap_count, out, count);
    } else {
        ConvolveBaseline(newest, taps, tap_count, out, count);
    }
}

}  // namespace korvan_block
