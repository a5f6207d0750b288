#pragma once
// The impulse the statistical flow works from, chained through the models
// the way the IBIS-AMI flows chain it: the channel's impulse, through the
// transmitter's AMI_Init when it returns an impulse, else through the
// transmitter's AMI_GetWave driven with a step; then through the
// receiver's AMI_Init when it returns an impulse.

#include <cstddef>
#include <string>
#include <vector>

#include "tools/amisim/models/model_instance.h"

namespace amisim {

// The full convolution of two tap sets, by FFT.
std::vector<double> ConvolveTaps(const std::vector<double>& a, const std::vector<double>& b);

// A transmitter's response to a 1 V step (from -0.5 V, held `settle`
// samples, to +0.5 V), differenced into `length` dimensionless taps.
// `session` is a fresh instance, initialised here with `init_impulse`. Throws a
// model-failure AmisimError, its text led by `role` ("Tx " or ""), when a
// call fails.
std::vector<double> TapsFromStep(ModelInstance& session, const std::string& parameters,
                                 const std::vector<double>& init_impulse, std::size_t settle, std::size_t length, const std::string& role);

}  // namespace amisim
