#pragma once
// The --sweep part of the command: the grid of every --sweep through the
// link on the workers, each point's messages printed in grid order, the
// progress on a terminal, the table, and the best point for the run that
// writes the files.

#include <optional>

#include <nlohmann/json.hpp>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/channel/channel.h"
#include "tools/amisim/cli/command_options.h"
#include "tools/amisim/flows/parameter_grid.h"

namespace amisim {

struct SweepOutcome {
    std::optional<PointSetting> best;     // none when every point failed
    nlohmann::ordered_json json;          // "sweep", "sweep_best", "grid"
    std::optional<AmisimError> failure;   // the first failed point's, which sets the exit status
    std::size_t failed = 0;
};

// The workers -j asks for, or the machine's cores.
unsigned Workers(const Options& options);

SweepOutcome RunSweepCommand(const Options& options, const LinkModel& tx, const LinkModel* rx, const Channel& channel,
                             const std::function<void(const std::string&)>& print);

}  // namespace amisim
