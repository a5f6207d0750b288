#include "tools/amisim/channel/analog_ends.h"

#include <cstdio>

namespace amisim {

SourceEnd TxEnd(const AnalogEnds& ends, std::complex<double> z0, double omega) {
    const std::complex<double> rs = ends.tx_rs ? std::complex<double>(*ends.tx_rs) : z0;
    // Rs parallel to Cs is Rs / (1 + j w Rs Cs); the forms below multiply
    // through by that denominator, so a matched end without capacitance
    // gives exactly 0 and 1 and the through parameter passes untouched.
    const std::complex<double> z0_term =
        ends.tx_cs == 0.0 ? z0 : z0 * (1.0 + std::complex<double>(0.0, omega) * rs * ends.tx_cs);
    SourceEnd end;
    end.reflection = (rs - z0_term) / (rs + z0_term);
    // The source behind Rs seen through the pad: the wave it launches into
    // z0 per unit of what it would put on z0 alone, (Rs + z0) / (Rs + z0 (1 + j w Rs Cs)).
    end.launch = ends.tx_cs == 0.0 ? 1.0 : (rs + z0) / (rs + z0_term);
    return end;
}

std::complex<double> RxReflection(const AnalogEnds& ends, std::complex<double> z0, double omega) {
    const std::complex<double> rt = ends.rx_rt ? std::complex<double>(*ends.rx_rt) : z0;
    const std::complex<double> z0_term =
        ends.rx_cp == 0.0 ? z0 : z0 * (1.0 + std::complex<double>(0.0, omega) * rt * ends.rx_cp);
    return (rt - z0_term) / (rt + z0_term);
}

std::string DescribeEnds(const AnalogEnds& ends, double reference_ohms) {
    const auto resistance = [&](const std::optional<double>& r) {
        char text[64];
        if (r) std::snprintf(text, sizeof text, "%.4g ohm", *r);
        else std::snprintf(text, sizeof text, "%.4g ohm (matched)", reference_ohms);
        return std::string(text);
    };
    const auto capacitance = [](double c) {
        char text[32];
        std::snprintf(text, sizeof text, "%.4g pF", c * 1e12);
        return std::string(text);
    };
    return "Tx Rs " + resistance(ends.tx_rs) + ", Cs " + capacitance(ends.tx_cs) + "; Rx Rt " +
           resistance(ends.rx_rt) + ", Cp " + capacitance(ends.rx_cp) + " (each leg)";
}

}  // namespace amisim
