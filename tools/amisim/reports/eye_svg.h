#pragma once
// An eye diagram as an SVG picture a browser shows: every unit interval of
// the output overlaid, two unit intervals wide with the eye in the middle,
// and the eye height (at the best sampling phase) and width marked.

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "tools/amisim/eye/eye.h"

namespace amisim {

struct EyePicture {
    std::string title;     // first line above the plot
    std::string subtitle;  // second line: the measured figures
    int samples_per_bit = 16;
    std::size_t skip_bits = 0;
    double threshold = 0.0;
    // Beyond this many traces a picture only grows, not changes: the first
    // ones are drawn and the picture says how many were left out.
    std::size_t max_traces = 50000;
    // With a jittered sampling clock, `output` is the wave before its
    // jitter and these are the clock's displacements in samples, one per
    // bit, the first bit starting at sample `clock_delay`: each trace is
    // read at the displacement of the bit it is sampled in, so the eye is
    // folded at the jittered instants and every trace stays a wave.
    const std::vector<double>* clock_shifts = nullptr;
    long clock_delay = 0;
};

// Returns the number of traces drawn.
std::size_t WriteEyeSvg(std::ostream& out, const std::vector<double>& output,
                        const EyeMetrics& eye, const EyePicture& picture);

}  // namespace amisim
