#pragma once
// Probability densities of a timing displacement, in unit intervals: one
// per kind of jitter (Gaussian, uniform, sinusoidal, duty-cycle, points of
// a table or a dual Dirac), their convolution when independent, and their
// mass gathered onto the statistical eye's phase steps.

#include <cstddef>
#include <vector>

#include "tools/amisim/flows/impairments.h"

namespace amisim {

// Mass at positions (first + i) * step UI.
struct JitterPdf {
    double step = 1.0 / 1024;
    long first = 0;
    std::vector<double> mass{1.0};  // no jitter: all at 0
    double Position(std::size_t i) const { return static_cast<double>(first + static_cast<long>(i)) * step; }
    double Mean() const;
    double Rms() const;  // about the mean
};

// How a duty-cycle component moves this edge: rising edges by +DCD, falling
// by -DCD; a sampling clock alternates, half each.
enum class EdgeSense { kRising, kFalling, kAlternating };

// Gaussian tails are kept to this many sigmas: beyond lies less than 1e-32.
inline constexpr double kGaussianReach = 12.0;

JitterPdf ComponentPdf(const JitterComponent& component, double step, EdgeSense sense);
JitterPdf Convolve(const JitterPdf& a, const JitterPdf& b);
// The whole jitter; the mirror image when `negate` (a displaced edge moves
// the sampling phase relative to the data the other way).
JitterPdf JitterPdfOf(const Jitter& jitter, double step, EdgeSense sense, bool negate = false);

// The mass of each cell of width `cell` UI centred on k * cell, for k from
// `first` on; a position on the border of two cells is shared between them.
struct CellWeights {
    long first = 0;
    std::vector<double> weights;
};
CellWeights GatherCells(const JitterPdf& pdf, double cell);

// The voltage noise as mass on bins of `bin` volts centred on 0 (index
// `centre`): a Gaussian of `sigma` convolved with a uniform of half-width
// `half_width`, and with each further part of the noise (in volts).
std::vector<double> NoiseKernel(double sigma, double half_width, double bin, std::size_t& centre,
                                const Jitter& parts = {});

}  // namespace amisim
