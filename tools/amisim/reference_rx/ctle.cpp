#include "tools/amisim/reference_rx/ctle.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

namespace amisim {

namespace {

constexpr double kTwoPi = 6.283185307179586476925286766559;

// (e^{-a t} - e^{-b t}) / (b - a), without the cancellation of nearly
// equal poles: it tends to t e^{-a t} as b approaches a.
double ExponentialDifference(double a, double b, double t) {
    const double d = b - a;
    if (d == 0.0) return t * std::exp(-a * t);
    return std::exp(-a * t) * -std::expm1(-d * t) / d;
}

void RequirePositive(double value, const char* name) {
    if (!(value > 0.0) || !std::isfinite(value))
        throw std::invalid_argument(std::string(name) + " must be a positive frequency");
}

// The peaking form: the zero and first pole that put the response's
// maximum at w0 (rad/s), `ratio` (linear, above 1) times the DC gain, with
// the second pole at p2. With u = w^2, |H|^2 is proportional to
// (u + z^2) / ((u + p1^2)(u + p2^2)); its slope vanishes at u0 when
// 1/(u0 + z^2) = 1/(u0 + p1^2) + 1/(u0 + p2^2), which fixes z for each p1
// (and needs p1 p2 > u0). The peak's height then falls from unbounded
// towards 1 as p1 grows, so p1 is found by bisection on its logarithm.
void PlacePeak(double w0, double ratio, double p2, double& zero, double& pole1) {
    const double u0 = w0 * w0;
    const auto zero_squared = [&](double p1) {
        const double a = u0 + p1 * p1, b = u0 + p2 * p2;
        return a * b / (a + b) - u0;
    };
    const auto height_squared = [&](double p1) {
        const double z2 = zero_squared(p1);
        return (u0 + z2) / z2 * (p1 * p1) / (u0 + p1 * p1) * (p2 * p2) / (u0 + p2 * p2);
    };
    const double target = ratio * ratio;
    double low = std::log(u0 / p2 * (1.0 + 1e-12)), high = std::log(p2 * 1e6);
    if (height_squared(std::exp(high)) > target)
        throw std::invalid_argument("ctle_peaking is too small to place a peak below ctle_bandwidth");
    for (int i = 0; i < 200 && high - low > 1e-15; ++i) {
        const double middle = 0.5 * (low + high);
        (height_squared(std::exp(middle)) > target ? low : high) = middle;
    }
    pole1 = std::exp(0.5 * (low + high));
    zero = std::sqrt(zero_squared(pole1));
}

}  // namespace

std::complex<double> CtleDesign::Response(double hz) const {
    if (bypass) return 1.0;
    const std::complex<double> s(0.0, kTwoPi * hz);
    return gain * (s + zero) * pole1 * pole2 / (zero * (s + pole1) * (s + pole2));
}

double CtleDesign::Impulse(double t) const {
    // h(t) = K (e^{-p2 t} + (z - p1) (e^{-p1 t} - e^{-p2 t}) / (p2 - p1)),
    // K = G p1 p2 / z: the partial fractions with the two residues written
    // so that equal poles need no special case.
    const double k = gain * pole1 * pole2 / zero;
    return k * (std::exp(-pole2 * t) + (zero - pole1) * ExponentialDifference(pole1, pole2, t));
}

CtleDesign DesignCtle(const CtleSettings& settings) {
    CtleDesign design;
    if (settings.mode == CtleSettings::Mode::kOff) {
        design.bypass = true;
        return design;
    }
    if (!std::isfinite(settings.dc_gain_db)) throw std::invalid_argument("ctle_dc_gain must be a number");
    design.gain = std::pow(10.0, settings.dc_gain_db / 20.0);
    if (settings.mode == CtleSettings::Mode::kPoles) {
        RequirePositive(settings.zero_hz, "ctle_zero");
        RequirePositive(settings.pole1_hz, "ctle_pole1");
        RequirePositive(settings.pole2_hz, "ctle_pole2");
        design.zero = kTwoPi * settings.zero_hz;
        design.pole1 = kTwoPi * settings.pole1_hz;
        design.pole2 = kTwoPi * settings.pole2_hz;
        return design;
    }
    RequirePositive(settings.peak_hz, "ctle_peak_freq");
    RequirePositive(settings.bandwidth_hz, "ctle_bandwidth");
    if (!(settings.peaking_db >= 0.0) || !std::isfinite(settings.peaking_db))
        throw std::invalid_argument("ctle_peaking must be 0 dB or more");
    design.pole2 = kTwoPi * settings.bandwidth_hz;
    // The peak sits at ctle_dc_gain and DC lies ctle_peaking below it, as
    // reference receivers normalise: more peaking then equalises without
    // also amplifying, so the eye's height can judge it.
    design.gain = std::pow(10.0, (settings.dc_gain_db - settings.peaking_db) / 20.0);
    if (settings.peaking_db < 1e-9) {
        // No peaking: the zero cancels the first pole, leaving the bandwidth.
        design.zero = design.pole1 = design.pole2;
        return design;
    }
    if (!(settings.peak_hz < settings.bandwidth_hz))
        throw std::invalid_argument("ctle_peak_freq must lie below ctle_bandwidth");
    PlacePeak(kTwoPi * settings.peak_hz, std::pow(10.0, settings.peaking_db / 20.0), design.pole2, design.zero,
              design.pole1);
    return design;
}

std::vector<double> CtleTaps(const CtleDesign& design, double sample_interval, std::size_t length) {
    std::vector<double> taps(length, 0.0);
    if (length == 0) return taps;
    if (design.bypass) {
        taps[0] = 1.0;
        return taps;
    }
    CtleFilter filter(design, sample_interval);
    taps[0] = filter.Step(1.0);
    for (std::size_t n = 1; n < length; ++n) taps[n] = filter.Step(0.0);
    return taps;
}

namespace {

// The integral of the impulse response over [start, start + width], by
// 12-point Gauss-Legendre: the response is a sum of two exponentials, and
// a sample is at most a few time constants wide, so the rule is exact to
// rounding.
double IntegrateImpulse(const CtleDesign& design, double start, double width) {
    static constexpr std::array<double, 6> kNodes = {0.1252334085114689, 0.3678314989981802, 0.5873179542866175,
                                                     0.7699026741943047, 0.9041172563704749, 0.9815606342467192};
    static constexpr std::array<double, 6> kWeights = {0.2491470458134028, 0.2334925365383548, 0.2031674267230659,
                                                       0.1600783285433462, 0.1069393259953184, 0.0471753363865118};
    // Wide samples against fast poles are split so each piece stays smooth.
    const double fastest = std::max({design.pole1, design.pole2, design.zero});
    const int pieces = std::max(1, static_cast<int>(std::ceil(fastest * width / 2.0)));
    const double piece = width / pieces;
    double sum = 0.0;
    for (int p = 0; p < pieces; ++p) {
        const double middle = start + (p + 0.5) * piece;
        for (std::size_t i = 0; i < kNodes.size(); ++i) {
            const double offset = 0.5 * piece * kNodes[i];
            sum += kWeights[i] * (design.Impulse(middle - offset) + design.Impulse(middle + offset));
        }
    }
    return sum * 0.5 * piece;
}

}  // namespace

CtleFilter::CtleFilter(const CtleDesign& design, double sample_interval) {
    if (design.bypass) return;
    bypass_ = false;
    // The taps are K1 a1^n + K2 a2^n (or (K1 + K2 n) a^n for equal poles),
    // which the recursion with poles a1, a2 continues from its first two.
    const double a1 = std::exp(-design.pole1 * sample_interval);
    const double a2 = std::exp(-design.pole2 * sample_interval);
    const double tap0 = IntegrateImpulse(design, 0.0, sample_interval);
    const double tap1 = IntegrateImpulse(design, sample_interval, sample_interval);
    c1_ = a1 + a2;
    c2_ = a1 * a2;
    b0_ = tap0;
    b1_ = tap1 - c1_ * tap0;
}

}  // namespace amisim
