#pragma once
// How each model took part in the run, for the summary and --json: its
// reserved parameters with where each value came from, and the rule by
// which each flow got its response.

#include <nlohmann/json.hpp>
#include <string>

#include "tools/amisim/flows/link_run.h"
#include "tools/amisim/models/link_model.h"

namespace amisim {

// The rules amisim follows for a model, as the summary states them.
std::string StatisticalRule(const LinkModel& model);
std::string TimeDomainRule(const LinkModel& model, bool receiver, double init_residual);

// Two lines a model, led by "Tx flow"/"Rx flow" (or "flow" for a lone
// model) and "Tx rules"/"Rx rules", each ending in a newline.
std::string FormatFlowSummary(const LinkModel& tx, const LinkModel* rx, const LinkRun& run);

// {"tx": {...}, "rx": {...} or null}: each reserved parameter as
// {"value": ..., "from": ...}, whether the library exports AMI_GetWave,
// and the rule of each flow.
nlohmann::ordered_json FlowJson(const LinkModel& tx, const LinkModel* rx, const LinkRun& run);

// The rule for a receiver without AMI_GetWave, as --help and the README
// state it.
extern const char* const kInitOnlyRule;

}  // namespace amisim
