#pragma once
// amisim's command line: what each option sets, with its help text.

#include <cstdint>
#include <string>
#include <vector>

#include "tools/amisim/channel/end_choice.h"
#include "tools/amisim/channel/line_model.h"
#include "tools/amisim/cli/impairment_options.h"
#include "tools/amisim/models/link_model.h"
#include "tools/amisim/flows/link_run.h"

namespace CLI {
class App;
}

namespace amisim {

// What the command line asks for.
struct Options {
    ModelChoice tx{"Tx", "", "", "", "", {}};
    ModelChoice rx{"Rx", "", "", "", "", {}};
    LinkSettings link;
    std::string channel;
    std::string ports;  // empty: 1,2 of a 2-port, 1,2,3,4 of larger files
    std::string line;
    LineParameters line_parameters;
    EndOptions ends;
    std::vector<std::string> sweep;  // repeatable: the grid of every combination
    std::string sweep_flow = "both";
    std::string objective = "stat-height";
    unsigned jobs = 0;  // 0: the machine's cores
    bool no_timings = false;
    bool optimise = false;
    std::size_t max_candidates = 0;  // 0: a tenth of the search's grid
    std::size_t model_memory_mb = 4096;
    std::string csv, eye, stat_eye, bathtub, pulse, json;
    std::string adaptation;
    ImpairmentOptions impairments;
    std::string vbathtub;
    // Aggressors: from the --channel file, from files of their own, and
    // their transmitters' parameters and patterns.
    std::vector<std::string> aggressors, aggressor_channels, aggressor_params;
    std::vector<std::uint64_t> aggressor_seeds;
};

extern const char* const kAmisimDescription;

// Declares every option of `app`, each writing into `options`.
void AddCommandOptions(CLI::App& app, Options& options);

}  // namespace amisim
