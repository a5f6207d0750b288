#pragma once
// The summaries amisim prints after a run: the time-domain eye, the
// statistical eye (a sweep's table is in grid_report).

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "tools/amisim/eye/crossing_jitter.h"
#include "tools/amisim/flows/clock_sampler.h"
#include "tools/amisim/eye/eye.h"
#include "tools/amisim/eye/stat_eye.h"

namespace amisim {

struct RunFigures {
    int samples_per_bit = 16;
    std::size_t skip_bits = 0;
    std::string skip_reason;  // where the skip count came from
    std::size_t samples = 0;
    double get_wave_seconds = 0.0;
    std::size_t get_wave_calls = 0;
    // A link with a channel or a receiver reports the time of each stage.
    bool link = false;
    double channel_seconds = 0.0;
    double rx_seconds = 0.0;
    std::optional<ClockEye> clock;  // the receiver's clock times, when it returned them
    std::optional<CrossingJitter> crossing;  // at the threshold
};

std::string FormatSummary(const EyeMetrics& eye, const RunFigures& run);

// The time-domain eye's height where a receiver would sample: at its clock
// times when it returned them, else at the middle of the opening.
double CentreHeight(const EyeMetrics& eye, const std::optional<ClockEye>& clock);

std::string FormatStatisticalSummary(const StatisticalEye& eye, const std::vector<double>& pulse,
                                     int samples_per_bit);

}  // namespace amisim
