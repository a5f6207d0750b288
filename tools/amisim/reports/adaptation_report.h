#pragma once
// The models' adaptation as a run reports it: each numeric leaf of their
// AMI_GetWave parameters out as a time series, in --json and as a picture
// of one panel a series with its converged (final) value marked.

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "tools/amisim/flows/adaptation.h"
#include "tools/amisim/flows/link_run.h"

namespace amisim {

// {"rx": {"dfe_tap1": {"time": [...], "value": [...]}, ...}, "tx": {...}};
// "rx" only with a receiver.
nlohmann::ordered_json AdaptationJson(const LinkRun& run, bool has_rx);

void WriteAdaptationSvg(std::ostream& out, const LinkRun& run, bool has_rx, const std::string& title);

}  // namespace amisim
