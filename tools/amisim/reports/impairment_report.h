#pragma once
// How a run reports its jitter and noise: every value used and where it
// came from (summary line and --json "impairments"), the bathtubs as
// numbers, the crossing jitter of the time-domain eye, and the vertical
// bathtub picture.

#include <nlohmann/json.hpp>

#include <ostream>
#include <string>

#include "tools/amisim/flows/link_run.h"

namespace amisim {

// "impairments": {"tx_rj": {"seconds": ..., "ui": ..., "from": "--tx-rj"}, ...}
nlohmann::ordered_json ImpairmentsJson(const LinkRun& run, double bit_time);
// "bathtub": {"phase_ui", "ber"} and "vertical_bathtub": {"volts", "ber"}.
nlohmann::ordered_json BathtubJson(const StatisticalEye& eye);
nlohmann::ordered_json VerticalBathtubJson(const StatisticalEye& eye);

void WriteVerticalBathtubSvg(std::ostream& out, const LinkRun& run, const std::string& title);

}  // namespace amisim
