#pragma once
// What the eye tests compare against: the Gaussian's tail and its inverse,
// and one jitter component of a kind and size.

#include <cmath>

#include "tools/amisim/flows/impairments.h"

namespace amisim_test {

// P(X > z) for a standard normal X.
inline double Q(double z) { return 0.5 * std::erfc(z / std::sqrt(2.0)); }

// Q^-1 by bisection: plenty fast for a test.
inline double InverseQ(double p) {
    double low = 0.0, high = 40.0;
    for (int i = 0; i < 200; ++i) {
        const double mid = 0.5 * (low + high);
        (Q(mid) > p ? low : high) = mid;
    }
    return low;
}

inline amisim::JitterComponent Component(amisim::JitterComponent::Kind kind, double size) {
    amisim::JitterComponent c;
    c.kind = kind;
    c.size = size;
    return c;
}

}  // namespace amisim_test
