#pragma once
// Random draws of the impairments for the time-domain flow: a small,
// seeded generator whose sequence is the same on every platform (the
// standard library's distributions are not), and the displacement of one
// edge or sampling instant as the sum of a draw from every jitter
// component.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "tools/amisim/flows/impairments.h"

namespace amisim {

class Random {
public:
    explicit Random(std::uint64_t seed);
    std::uint64_t Next();
    double Uniform();         // in [0, 1)
    double Symmetric();       // in [-1, 1)
    double Normal();          // standard normal
    // Adds `sigma` times a standard normal draw to each of `count` values.
    void AddNormal(double* values, std::size_t count, double sigma);

private:
    bool Attempt(std::uint64_t bits, double& value);
    std::uint64_t state_[4];
};

// Draws from points with their probabilities (a dual Dirac, a table), by
// one uniform draw against their running total.
class PointDraw {
public:
    explicit PointDraw(const std::vector<std::pair<double, double>>& points);
    // The point a uniform draw `u` in [0, 1) picks.
    double Pick(double u) const;

private:
    std::vector<std::pair<double, double>> points_;
    std::vector<double> cumulative_;  // normalised to end at 1
};

class JitterSource {
public:
    // `stream` separates the draws of the Tx edges from the Rx clock's.
    JitterSource(const Jitter& jitter, std::uint64_t seed, std::uint64_t stream);
    // The displacement in unit intervals of an edge (or a sampling instant)
    // at `time` seconds; `positive_dcd` picks the duty-cycle sign (a rising
    // edge, or an even bit of the receiver's clock).
    double Draw(double time, bool positive_dcd);
    // The largest displacement a draw can take, Gaussians held at 8 sigma.
    double Bound() const { return bound_; }

private:
    Jitter jitter_;
    std::vector<double> phases_;                 // of each sinusoid, radians
    std::vector<PointDraw> point_draws_;         // of each component; empty for other kinds
    Random random_;
    double bound_ = 0.0;
};

}  // namespace amisim
