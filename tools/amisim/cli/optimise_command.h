#pragma once
// The --optimise part of the command: the search over the Tx and Rx
// settings in the statistical flow, on the workers, with its progress on a
// terminal; the report of how it went and the best setting, which the
// caller then confirms with one run of both flows.

#include <functional>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "tools/amisim/channel/channel.h"
#include "tools/amisim/cli/command_options.h"
#include "tools/amisim/flows/parameter_grid.h"

namespace amisim {

struct OptimiseOutcome {
    PointSetting best;
    nlohmann::ordered_json json;  // "optimise"
};

// Throws a model or usage AmisimError (the first candidate's) when no
// candidate could be evaluated.
OptimiseOutcome RunOptimiseCommand(const Options& options, const LinkModel& tx, const LinkModel* rx,
                                   const Channel& channel, const std::function<void(const std::string&)>& print);

}  // namespace amisim
