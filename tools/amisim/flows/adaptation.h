#pragma once
// Adaptation as a receiver (or a transmitter) reports it: the numeric
// leaves of every AMI_GetWave's AMI_parameters_out, each followed over the
// calls as a series in time. A leaf named by its dotted path below the
// root ("dfe_tap1", "ctle.gain"); a leaf of several numbers gives one
// series per number ("taps[0]", "taps[1]", ...).

#include <string>
#include <vector>

#include "tools/amisim/flows/time_domain_flow.h"

namespace amisim {

struct AdaptationSeries {
    std::string name;
    std::vector<double> time;   // seconds from the record's start
    std::vector<double> value;
};

struct Adaptation {
    std::vector<AdaptationSeries> series;  // in the order they first appear
    std::size_t unreadable = 0;            // reports that were not a parameter tree
};

Adaptation AdaptationFromReports(const std::vector<ParametersOutReport>& reports);

}  // namespace amisim
