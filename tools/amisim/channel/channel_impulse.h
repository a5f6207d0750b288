#pragma once
// From a channel's frequency response, measured at arbitrary frequencies,
// to its impulse response at the simulation's sample interval: interpolate
// onto a uniform grid up to half the sample rate, extrapolate to DC, taper
// the top of the band, and inverse-transform. Causality and passivity are
// checked and reported, never silently repaired.

#include <complex>
#include <cstddef>
#include <string>
#include <vector>

namespace amisim {

struct FrequencyResponse {
    std::vector<double> frequencies;  // hertz, increasing
    std::vector<std::complex<double>> values;
};

struct ImpulseConversion {
    std::vector<double> taps;  // dimensionless: output[n] = sum taps[k] input[n - k]
    std::vector<std::string> warnings;
    double acausal_energy = 0.0;  // share of the energy before t = 0 and its lead
    // Samples of the response that rose before t = 0 within the band
    // limit's spread, kept at the start of `taps` (the channel is that much
    // later).
    std::size_t lead_samples = 0;
    double top_frequency = 0.0;   // where the taper reaches zero
};

// The longest impulse amisim builds; longer records would not fit memory.
inline constexpr std::size_t kMaxChannelSamples = std::size_t{1} << 24;

// `record_seconds` is the span of the impulse before truncation (the
// reciprocal of the grid spacing); 0 takes it from the data's spacing.
// Throws a usage AmisimError when the data are too sparse, need a longer
// record than memory allows, or put most of their energy before t = 0.
ImpulseConversion ImpulseFromResponse(const FrequencyResponse& response, double sample_interval,
                                      const std::string& source, double record_seconds = 0.0);

// The last tap kept: beyond it every tap is below 1e-6 of the largest.
std::vector<double> TrimTail(std::vector<double> taps);

}  // namespace amisim
