#pragma once
// Which ports of a multi-port network a lane uses: a differential pair or
// a single port at each end. A lane's Tx drives its `in` group and its Rx
// listens at its `out` group.

#include <string>
#include <vector>

namespace amisim {

struct PortGroup {
    int plus = 0;   // 1-based port number
    int minus = 0;  // the pair's negative leg, or 0 for a single-ended port
    bool Differential() const { return minus != 0; }
};

struct NetworkLane {
    PortGroup in;   // where the lane's transmitter drives
    PortGroup out;  // where the lane's receiver listens
};

// "in+,in-,out+,out-" for a differential lane or "in,out" for a single-ended
// one, every port between 1 and `ports` and none twice. An empty text is
// the default lane: ports 1 -> 2 of a 2-port, 1,2 -> 3,4 otherwise. Throws a
// usage AmisimError naming `option` (as "--ports 1,2,3") for anything else.
NetworkLane ParseLane(const std::string& text, int ports, const std::string& option);

// Throws a usage AmisimError when two lanes share a port or a port lies
// outside the network: each port carries one end only.
void CheckLanes(const std::vector<NetworkLane>& lanes, int ports, const std::string& source);

std::string DescribeGroup(const PortGroup& group);  // "1,2" or "1"

}  // namespace amisim
