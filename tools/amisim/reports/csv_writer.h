#pragma once
// The waveforms as comma-separated values: a header line "time,input,output"
// and one row per sample, each number in its shortest form that reads back
// to the same double.

#include <ostream>
#include <vector>

namespace amisim {

void WriteWaveformCsv(std::ostream& out, double sample_interval, const std::vector<double>& input,
                      const std::vector<double>& output);

// Rows of a streamed record: time, input, tx, then channel and rx when
// given (null pointers leave the column out), and last the aggressors'
// crosstalk when there is any, starting at sample `first`.
void WriteStageRows(std::ostream& out, double sample_interval, std::size_t first, std::size_t count,
                    const double* input, const double* tx, const double* channel, const double* rx,
                    const double* crosstalk = nullptr);

}  // namespace amisim
