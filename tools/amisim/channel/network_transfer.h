#pragma once
// Voltage transfers through a multi-port network with the analog ends in
// place: from any lane's transmitter to any lane's receiver, so a victim's
// through path and its aggressors' near- and far-end crosstalk come from
// one file under the same terminations.
//
// Every lane's `in` ports carry the Tx end and its `out` ports the Rx end;
// every other port is terminated in the reference impedance. A path's
// transfer is the voltage at the `to` lane's Rx pad (the difference of the
// legs for a pair) per volt of the `from` lane's Tx output wave.

#include <complex>
#include <cstddef>
#include <string>
#include <vector>

#include "tools/amisim/channel/analog_ends.h"
#include "tools/amisim/channel/channel.h"
#include "tools/amisim/channel/channel_impulse.h"
#include "tools/amisim/channel/network.h"
#include "tools/amisim/channel/port_groups.h"

namespace amisim {

struct NetworkPath {
    std::size_t from_lane = 0;  // whose transmitter drives
    std::size_t to_lane = 0;    // whose receiver is looked at
};

// At each of the network's frequencies, one response per path. The
// network's ports must share one reference (see Renormalise); lanes must
// not share ports (CheckLanes).
std::vector<FrequencyResponse> VoltageTransfers(const Network& network, const std::vector<NetworkLane>& lanes,
                                                const AnalogEnds& ends, const std::vector<NetworkPath>& paths);

// The same paths as impulses at the sample interval, one Channel each (its
// taps, a name such as "SDD21" or "S(5,1)", warnings naming `source`).
// Throws a usage AmisimError for non-causal data or a record too long.
std::vector<Channel> TransferChannels(const Network& network, const std::vector<NetworkLane>& lanes,
                                      const AnalogEnds& ends, const std::vector<NetworkPath>& paths,
                                      double sample_interval, const std::string& source);

// The solve at one frequency, shared by files and the built-in line: `s`
// is the ports x ports matrix (row by row) referred to `z0` at angular
// frequency `omega`. Buffers are kept between calls, so a sweep over
// thousands of frequencies allocates nothing.
class TerminatedNetwork {
public:
    TerminatedNetwork(int ports, std::vector<NetworkLane> lanes, AnalogEnds ends, std::vector<NetworkPath> paths);
    // Writes one transfer per path into `out`.
    void Solve(const std::complex<double>* s, std::complex<double> z0, double omega, std::complex<double>* out);

private:
    struct Terminal {
        int port;       // 0-based
        bool receiver;  // Rx end, else Tx end
    };
    int ports_;
    std::vector<NetworkLane> lanes_;
    AnalogEnds ends_;
    std::vector<NetworkPath> paths_;
    std::vector<Terminal> terminals_;  // the ports whose end may reflect
    std::vector<std::complex<double>> reflection_, matrix_, wave_, feedback_;
    std::vector<int> pivot_;
};

}  // namespace amisim
