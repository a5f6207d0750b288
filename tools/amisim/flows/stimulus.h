#pragma once
// The transmitted waveform a channel simulator hands to a transmitter's
// AMI_GetWave: NRZ, each bit held for a whole number of samples.

#include <cstdint>
#include <vector>

namespace amisim {

// Level of a one; a zero is its negative. Plus and minus half a volt gives a
// one-volt swing, the usual normalisation of a transmitter's input.
inline constexpr double kNrzLevel = 0.5;

std::vector<double> NrzWaveform(const std::vector<std::uint8_t>& bits, int samples_per_bit,
                                double level = kNrzLevel);

}  // namespace amisim
