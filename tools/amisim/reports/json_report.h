#pragma once
// The run's figures as one JSON object, for scripts and CI.

#include <nlohmann/json.hpp>

#include "tools/amisim/flows/link_run.h"
#include "tools/amisim/reports/summary.h"

namespace amisim {

nlohmann::ordered_json TimeDomainJson(const LinkRun& run);
nlohmann::ordered_json StatisticalJson(const LinkRun& run);

}  // namespace amisim
