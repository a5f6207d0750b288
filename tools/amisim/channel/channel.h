#pragma once
// The channel between transmitter and receiver as an impulse response at
// the simulation's sample interval: ideal (a through), a Touchstone file, a
// CSV step or impulse response, or the built-in lossy line. A network's
// transfer is the voltage at the Rx pad per volt of the Tx output wave, with
// the analog ends at both sides; a CSV table is taken as that transfer.

#include <optional>
#include <string>
#include <vector>

#include "tools/amisim/channel/analog_ends.h"
#include "tools/amisim/channel/line_model.h"
#include "tools/amisim/channel/network.h"
#include "tools/amisim/channel/port_groups.h"

namespace amisim {

struct Channel {
    // Dimensionless taps, output[n] = sum taps[k] input[n - k]; empty for
    // the ideal channel, which passes its input through untouched.
    std::vector<double> taps;
    std::string name;                   // short, for titles: "lossy line 0.6 m", a file name
    std::string description;            // for the summary
    std::vector<std::string> warnings;  // causality, passivity, data range
    std::vector<std::string> ends;      // the analog ends and where each came from, for the summary
    double reference_ohms = 0.0;        // what the ends are matched to; 0 where they do not apply

    bool ideal() const { return taps.empty(); }
    // Insertion loss (dB, positive) at one frequency, from the taps.
    double LossDb(double frequency, double sample_interval) const;
    // The impulse as IBIS-AMI hands it to AMI_Init: taps / sample interval
    // (1/s), `samples` long (zero-padded or cut), a unit-area delta when ideal.
    std::vector<double> AmiImpulse(double sample_interval, std::size_t samples) const;
};

// A Touchstone file (1.x of any port count, or 2.0) as the network channels
// are drawn from: ports of mixed references brought to one, its passivity
// judged over the whole matrix (warnings).
struct LoadedNetwork {
    Network network;
    std::string name;                   // the file's name
    std::string note;                   // "renormalised from ... to 50 ohm", or empty
    std::vector<std::string> warnings;
};
LoadedNetwork LoadNetwork(const std::string& path);

// By the file's extension: .sNp (the lane `ports` names, see ParseLane,
// with the ends applied) or .csv (step or impulse, taken as given).
Channel LoadChannel(const std::string& path, const std::string& ports, const AnalogEnds& ends,
                    double sample_interval);
// The built-in line as a two-port of its own impedance between the ends.
Channel LineChannel(const LineParameters& line, const AnalogEnds& ends, double sample_interval);
inline Channel LineChannel(const LineParameters& line, double sample_interval) {
    return LineChannel(line, AnalogEnds{}, sample_interval);
}

}  // namespace amisim
