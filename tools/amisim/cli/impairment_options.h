#pragma once
// The command line's jitter and noise options, kept as written until the
// run parses them (a bad unit is then one clear line and exit 2).

#include <cstdint>
#include <string>

#include "tools/amisim/flows/impairments.h"

namespace CLI {
class App;
}

namespace amisim {

struct ImpairmentOptions {
    std::string tx_rj, tx_dj, tx_dcd, tx_sj, tx_sj_frequency;
    std::string rx_rj, rx_dj, rx_sj, rx_dcd, rx_noise, rx_uniform_noise, rx_sensitivity;
    std::uint64_t seed = 1;
};

void AddImpairmentOptions(CLI::App& app, ImpairmentOptions& options);

// Throws a usage AmisimError naming the option whose value does not parse.
ImpairmentSettings ParseImpairmentOptions(const ImpairmentOptions& options);

}  // namespace amisim
