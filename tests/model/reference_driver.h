#pragma once
// An independent computation of the driver stage for the tests: taps
// resampled from a stored response by the four-point cubic rule (in Newton
// form here, unlike the filter block), then a plain convolution.

#include <cmath>
#include <cstddef>
#include <vector>

#include "model/driver_responses.h"

namespace reference {

// Value at t of the cubic through four points, by divided differences.
inline double Cubic(const double* x, const double* y, double t) {
    double d[4] = {y[0], y[1], y[2], y[3]};
    for (int order = 1; order < 4; ++order) {
        for (int i = 3; i >= order; --i) d[i] = (d[i] - d[i - 1]) / (x[i] - x[i - order]);
    }
    return d[0] + (t - x[0]) * (d[1] + (t - x[1]) * (d[2] + (t - x[2]) * d[3]));
}

// Taps of response k for a simulation running at sample_rate samples per
// second: one per sample period over the span of the time stamps, the
// response value where a sample falls on a stamp, otherwise the cubic
// through the stamps around it, scaled by the sample period.
inline std::vector<double> DriverTaps(int k, double sample_rate) {
    const double* s = kDriverTimeStamps;  // starts at 0
    const double* r = kDriverResponses[k];
    const int n = kDriverResponseLength;
    const auto count = static_cast<std::size_t>(s[n - 1] * sample_rate) + 1;
    std::vector<double> taps(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / sample_rate;
        int l = 0;
        while (l < n - 1 && s[l] < t) ++l;
        if (s[l] == t) {
            taps[i] = r[l] / sample_rate;
            continue;
        }
        const int first = (l < 1 ? 1 : l > n - 3 ? n - 3 : l) - 1;
        taps[i] = Cubic(s + first, r + first, t) / sample_rate;
    }
    return taps;
}

struct Convolved {
    std::vector<double> value;
    // Sum of the magnitudes of the terms of each output: the scale that
    // rounding errors are relative to.
    std::vector<double> scale;
};

inline Convolved Convolve(const std::vector<double>& taps, const std::vector<double>& x) {
    Convolved y{std::vector<double>(x.size(), 0.0), std::vector<double>(x.size(), 0.0)};
    for (std::size_t n = 0; n < x.size(); ++n) {
        for (std::size_t l = 0; l < taps.size() && l <= n; ++l) {
            y.value[n] += taps[l] * x[n - l];
            y.scale[n] += std::fabs(taps[l] * x[n - l]);
        }
    }
    return y;
}

}  // namespace reference
