#pragma once
// The paths by which aggressors reach the victim's receiver, each as an
// impulse at the simulation's sample interval, like the victim's channel:
// from the victim's own multi-port file (each aggressor a lane of its own,
// its transmitter at its `in` ports and its receiver terminating its `out`
// ports, all under the same analog ends), or from a file of its own holding
// the transfer from the aggressor's transmitter to the victim's receiver.

#include <string>
#include <vector>

#include "tools/amisim/channel/analog_ends.h"

namespace amisim {

struct AggressorPath {
    std::string kind;    // "next", "fext", or "unspecified" for a file that does not say
    std::string source;  // where it came from, for the summary
    std::vector<double> taps;  // dimensionless: crosstalk[n] = sum taps[k] aggressor[n - k]
    std::vector<std::string> warnings;
};

struct NetworkAggressors {
    // The victim's through solved with every aggressor lane's ends in
    // place, which it replaces; empty without aggressors.
    std::vector<double> victim_taps;
    std::vector<AggressorPath> aggressors;
};

// --aggressor KIND:PORTS (PORTS the aggressor lane's in+,in-,out+,out-, or
// in,out single-ended), every one drawn from the victim's --channel file
// in one solve with the victim's lane (`victim_ports`, --ports).
NetworkAggressors AggressorsFromNetwork(const std::string& channel_path, const std::string& victim_ports,
                                        const std::vector<std::string>& written_options, const AnalogEnds& ends,
                                        double sample_interval);

// --aggressor-channel [KIND:]FILE[:PORTS]: a Touchstone file (its lane as
// --ports reads it, the default 1 -> 2 or 1,2 -> 3,4) or a CSV step or
// impulse response, taken as the transfer from the aggressor's Tx to the
// victim's Rx.
AggressorPath LoadAggressorChannel(const std::string& written, const AnalogEnds& ends, double sample_interval);

}  // namespace amisim
