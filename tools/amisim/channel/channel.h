#pragma once
// The channel between transmitter and receiver as an impulse response at
// the simulation's sample interval: ideal (a through), a Touchstone file, a
// CSV step or impulse response, or the built-in lossy line. Terminations are
// taken as matched: the file's through parameter is the transfer function.

#include <optional>
#include <string>
#include <vector>

#include "tools/amisim/channel/line_model.h"

namespace amisim {

struct Channel {
    // Dimensionless taps, output[n] = sum taps[k] input[n - k]; empty for
    // the ideal channel, which passes its input through untouched.
    std::vector<double> taps;
    std::string name;                   // short, for titles: "lossy line 0.6 m", a file name
    std::string description;            // for the summary
    std::vector<std::string> warnings;  // causality, passivity, data range

    bool ideal() const { return taps.empty(); }
    // Insertion loss (dB, positive) at one frequency, from the taps.
    double LossDb(double frequency, double sample_interval) const;
    // The impulse as IBIS-AMI hands it to AMI_Init: taps / sample interval
    // (1/s), `samples` long (zero-padded or cut), a unit-area delta when ideal.
    std::vector<double> AmiImpulse(double sample_interval, std::size_t samples) const;
};

// The port order of a 4-port: the two inputs, then the two outputs, as
// "1,2,3,4" (inputs 1 and 2, outputs 3 and 4), the default 1-3 / 2-4 through.
struct PortOrder {
    int in_p = 1, in_n = 2, out_p = 3, out_n = 4;
};
PortOrder ParsePortOrder(const std::string& text);

// By the file's extension: .s2p (S21), .s4p (SDD21), .csv (step or impulse).
Channel LoadChannel(const std::string& path, const PortOrder& ports, double sample_interval);
Channel LineChannel(const LineParameters& line, double sample_interval);

}  // namespace amisim
