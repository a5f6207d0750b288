#pragma once
// The analog ends of a link: the transmitter's output resistance and pad
// capacitance, the receiver's termination and pad capacitance. Values are
// single-ended, one on each leg of a port group; across a differential
// pair the resistances add (twice the value) and the capacitances halve.

#include <complex>
#include <optional>
#include <string>
#include <vector>

namespace amisim {

struct AnalogEnds {
    std::optional<double> tx_rs;  // ohms; none: the channel's reference impedance
    double tx_cs = 0.0;           // farads, pad to ground
    std::optional<double> rx_rt;  // ohms; none: the channel's reference impedance
    double rx_cp = 0.0;           // farads, pad to ground
    // Where each value came from, for the summary: "Tx Rs 45.2 ohm: ...".
    std::vector<std::string> origins;

    // Both ends equal to the reference without capacitance: the channel's
    // through parameter is then its transfer, exactly.
    bool Matched() const { return !tx_rs && !rx_rt && tx_cs == 0.0 && rx_cp == 0.0; }
};

// A transmitter end at angular frequency `omega` against the reference
// `z0` (complex where the reference is a line's own impedance). The Tx is
// a source behind Rs with Cs from its pad to ground; its output wave is
// what it would put on a load of z0 without the pad, so a matched Tx
// launches that wave unchanged.
struct SourceEnd {
    std::complex<double> reflection;  // of Rs parallel to Cs, against z0
    std::complex<double> launch;      // the wave it sends per unit of output wave
};
SourceEnd TxEnd(const AnalogEnds& ends, std::complex<double> z0, double omega);

// The receiver's reflection coefficient: Rt parallel to Cp, against z0.
std::complex<double> RxReflection(const AnalogEnds& ends, std::complex<double> z0, double omega);

// One line for the summary: "Tx 50 ohm, 0 F; Rx 50 ohm, 1e-12 F (single-ended)".
std::string DescribeEnds(const AnalogEnds& ends, double reference_ohms);

}  // namespace amisim
