#pragma once
// Convolution of a whole block of samples with a tap array, vectorised across
// outputs: several neighbouring outputs are accumulated side by side, one
// vector lane each, while every single output still gets its products added
// one by one in tap order, starting from 0.0. Each lane therefore performs
// exactly the additions and multiplications of the per-sample filter and the
// results are the same to the last bit, whatever the vector width.
//
// Two builds of the kernel live in the library: one for the baseline x86-64
// instruction set (SSE2, two lanes) and one for AVX2 (four lanes), chosen at
// run time, so the library loads and runs on any x86-64 processor.

#include <cstddef>

namespace korvan_block {

enum class ConvolutionKernel { Baseline, Avx2 };

// Whether this processor (and the operating system) runs AVX2 code.
bool ProcessorHasAvx2() noexcept;

// Samples past the end of the block that the kernels may read (and ignore):
// the last, partial group of outputs is computed as a whole group.
inline constexpr std::size_t kConvolutionOverread = 31;

// out[k] = ((0.0 + x[k] * taps[0]) + x[k - 1] * taps[1]) + ... + x[k - T + 1] * taps[T - 1]
// for k = 0 .. count - 1, where x = newest and T = tap_count >= 1. x[-T + 1]
// to x[count - 1 + kConvolutionOverread] must be readable; out must not
// overlap them. The Avx2 kernel must only be asked for where
// ProcessorHasAvx2() holds.
void Convolve(ConvolutionKernel kernel, const double* newest, const double* taps, std::size_t tap_count,
              double* out, std::size_t count) noexcept;

}  // namespace korvan_block
