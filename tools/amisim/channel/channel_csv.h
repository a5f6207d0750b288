#pragma once
// A channel given as a table: "time,step" (the response to a unit step,
// V/V) or "time,impulse" (the response to a unit-area impulse, 1/s, as in an
// IBIS-AMI impulse matrix), resampled to the simulation's sample interval.

#include <istream>
#include <string>
#include <vector>

namespace amisim {

// Dimensionless taps (step differences). Throws a usage AmisimError naming
// the line and the reason for a malformed table, non-causal data or a table
// too long for memory.
std::vector<double> ReadChannelCsv(std::istream& in, double sample_interval, const std::string& source);

}  // namespace amisim
