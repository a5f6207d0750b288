#pragma once
// A lossy transmission line: its propagation gamma(f) and characteristic
// impedance Zc(f), so that matched at both ends H(f) = exp(-length * gamma(f))
// and between other ends it rings as a real line does. Skin-effect loss grows with the
// square root of frequency through the term a * sqrt(j omega), whose phase
// keeps it causal; dielectric loss grows with frequency through a
// wideband Debye permittivity (Djordjevic-Sarkar), which is causal by
// construction and gives the delay of the line.

#include <complex>
#include <string>

namespace amisim {

struct LineParameters {
    double length_m = 0.5;
    // Defaults of an ordinary FR-4 stripline trace about 5 mil wide.
    double skin_db_per_m_at_1ghz = 5.0;  // conductor loss at 1 GHz
    double permittivity = 4.0;           // relative, at 1 GHz
    double loss_tangent = 0.02;          // at 1 GHz
    double impedance_ohms = 50.0;        // characteristic impedance at high frequency
};

std::complex<double> LineResponse(const LineParameters& line, double frequency_hz);
// The characteristic impedance: impedance_ohms where the line is lossless,
// rising at low frequency where the conductor's resistance takes over.
// Not defined at DC (it grows without bound there).
std::complex<double> LineImpedance(const LineParameters& line, double frequency_hz);
// Insertion loss in dB (positive) at one frequency.
double LineLossDb(const LineParameters& line, double frequency_hz);
// One-way delay at low frequency, seconds.
double LineDelay(const LineParameters& line);

// "0.5m", "50cm", "500mm", "20in" or a bare number of metres. Throws a
// usage AmisimError for anything else or a length that is not positive.
double ParseLength(const std::string& text);

}  // namespace amisim
