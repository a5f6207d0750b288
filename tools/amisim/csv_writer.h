#pragma once
// The waveforms as comma-separated values: a header line "time,input,output"
// and one row per sample, each number in its shortest form that reads back
// to the same double.

#include <ostream>
#include <vector>

namespace amisim {

void WriteWaveformCsv(std::ostream& out, double sample_interval, const std::vector<double>& input,
                      const std::vector<double>& output);

}  // namespace amisim
