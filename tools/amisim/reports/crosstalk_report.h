#pragma once
// What a run with aggressors adds to the reports: each aggressor's size at
// the victim's sampling time and the statistical eye with and without its
// crosstalk, printed and as JSON, and the crosstalk pulses beside the
// victim's in the pulse picture.

#include <nlohmann/json.hpp>

#include <ostream>
#include <string>

#include "tools/amisim/flows/link_run.h"
#include "tools/amisim/reports/svg_plot.h"

namespace amisim {

// Empty without aggressors.
std::string FormatCrosstalkSummary(const LinkRun& run);

// [{"kind", "peak_mv", "rms_mv", ...}, ...]; an empty array without aggressors.
nlohmann::ordered_json CrosstalkJson(const LinkRun& run);
// The statistical eye of the victim alone; null without aggressors.
nlohmann::ordered_json StatisticalWithoutCrosstalkJson(const LinkRun& run);

// The pulse picture's voltage range widened to hold the crosstalk pulses
// over samples [from, to].
void WidenForCrosstalk(const LinkRun& run, std::size_t from, std::size_t to, double& low, double& high);
// The crosstalk pulses as lines of their own colours, with a legend.
void WriteCrosstalkPulses(std::ostream& out, const svg::Frame& frame, const LinkRun& run, std::size_t from,
                          std::size_t to);

}  // namespace amisim
