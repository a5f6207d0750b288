#pragma once
// The eye summary amisim prints after a run.

#include <cstddef>
#include <string>

#include "tools/amisim/eye.h"

namespace amisim {

struct RunFigures {
    int samples_per_bit = 16;
    std::size_t skip_bits = 0;
    std::string skip_reason;  // where the skip count came from
    std::size_t samples = 0;
    double get_wave_seconds = 0.0;
    std::size_t get_wave_calls = 0;
};

std::string FormatSummary(const EyeMetrics& eye, const RunFigures& run);

}  // namespace amisim
