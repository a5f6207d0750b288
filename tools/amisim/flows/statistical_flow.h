#pragma once
// The impulse the statistical flow works from, chained through the models
// the way the IBIS-AMI flows chain it: the channel's impulse, through the
// transmitter's AMI_Init when it returns an impulse, else through the
// transmitter's AMI_GetWave driven with a step; then through the
// receiver's AMI_Init when it returns an impulse.

#include <cstddef>
#include <string>
#include <vector>

#include "tools/amisim/models/ami_library.h"

namespace amisim {

// The full convolution of two tap sets, by FFT.
std::vector<double> ConvolveTaps(const std::vector<double>& a, const std::vector<double>& b);

// A transmitter's response to a 1 V step (from -0.5 V, held `settle`
// samples, to +0.5 V), differenced into `length` dimensionless taps. The
// model is a fresh instance, initialised with `init_impulse`. Throws a
// model-failure AmisimError, its text led by `role` ("Tx " or ""), when a
// call fails.
std::vector<double> TapsFromStep(const AmiLibrary& library, const std::string& parameters,
                                 const std::vector<double>& init_impulse, double sample_interval,
                                 double bit_time, std::size_t settle, std::size_t length, const std::string& role);

}  // namespace amisim
