#pragma once
// Seeded draws of the receiver's voltage noise for the time-domain flow:
// the Gaussian and the uniform, then each further part of the noise's
// distribution (a Gaussian, a uniform, points with their probabilities),
// all independent, added to every sample.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/amisim/flows/impairments.h"
#include "tools/amisim/flows/jitter_source.h"

namespace amisim {

class NoiseSource {
public:
    NoiseSource(const Impairments& impairments, std::uint64_t seed);
    bool Any() const { return sigma_ > 0.0 || uniform_ > 0.0 || !parts_.empty(); }
    // Adds a draw of the whole noise to each of `count` values.
    void Add(double* values, std::size_t count);

private:
    Random random_;
    double sigma_, uniform_;
    Jitter parts_;
    std::vector<PointDraw> point_draws_;  // of each part; empty for other kinds
};

}  // namespace amisim
