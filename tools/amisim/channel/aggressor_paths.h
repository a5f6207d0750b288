#pragma once
// The paths by which aggressors reach the victim's receiver, each as an
// impulse at the simulation's sample interval, like the victim's channel:
// from the victim's own multi-port file (an aggressor's input ports to the
// victim's output ports), or from a file of its own holding the transfer
// from the aggressor's transmitter to the victim's receiver.

#include <string>
#include <vector>

#include "tools/amisim/channel/channel_impulse.h"
#include "tools/amisim/channel/touchstone.h"

namespace amisim {

struct AggressorPath {
    std::string kind;    // "next", "fext", or "unspecified" for a file that does not say
    std::string source;  // where it came from, for the summary
    std::vector<double> taps;  // dimensionless: crosstalk[n] = sum taps[k] aggressor[n - k]
    std::vector<std::string> warnings;
};

// Ports of one side pair of a network: two (single-ended: in, out) or four
// (differential: in+, in-, out+, out-), each between 1 and `ports`.
struct PortGroups {
    std::vector<int> in, out;  // one or two ports each
    bool differential() const { return in.size() == 2; }
};
// Throws a usage AmisimError naming `option` when the text is not such a
// list.
PortGroups ParsePortGroups(const std::string& text, int ports, const std::string& option);

// The voltage transfer between the groups with matched terminations: S(out,
// in) single-ended, the mixed-mode SDD(out, in) differential.
FrequencyResponse PortTransfer(const TouchstoneData& data, const PortGroups& groups);

// --aggressor KIND:PORTS, every one read from the victim's multi-port file
// at once. `victim_ports` is --ports, to warn of an aggressor whose output
// ports are not the victim's.
std::vector<AggressorPath> AggressorsFromNetwork(const std::string& channel_path, const std::string& victim_ports,
                                                 const std::vector<std::string>& specs, double sample_interval);

// --aggressor-channel [KIND:]FILE[:PORTS]: a Touchstone file (S21 of a
// 2-port, SDD21 of a 4-port, PORTS for other orders or larger networks) or
// a CSV step or impulse response.
AggressorPath LoadAggressorChannel(const std::string& spec, double sample_interval);

}  // namespace amisim
