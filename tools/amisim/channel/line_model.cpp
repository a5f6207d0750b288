#include "tools/amisim/channel/line_model.h"

#include <charconv>
#include <cmath>
#include <numbers>

#include "tools/amisim/amisim_error.h"

namespace amisim {

namespace {

constexpr double kLight = 299792458.0;
constexpr double kNeperPerDb = std::numbers::ln10 / 20.0;
constexpr double kReference = 2.0 * std::numbers::pi * 1e9;  // where the parameters are given
// The Debye poles spread from 10^4 to 10^12 rad/s, the usual span that puts
// the loss tangent nearly flat over a link's frequencies.
constexpr double kLowPole = 1e4;
constexpr double kHighPole = 1e12;

std::complex<double> DebyeTerm(double omega) {
    const std::complex<double> j(0.0, 1.0);
    return std::log10((kHighPole + j * omega) / (kLowPole + j * omega));
}

std::complex<double> Permittivity(const LineParameters& line, double omega) {
    const std::complex<double> at_reference = DebyeTerm(kReference);
    // Chosen so that eps(1 GHz) = permittivity * (1 - j tan delta).
    const double k = -line.loss_tangent * line.permittivity / at_reference.imag();
    const double eps_infinity = line.permittivity - k * at_reference.real();
    return eps_infinity + k * DebyeTerm(omega);
}

std::complex<double> Propagation(const LineParameters& line, double frequency_hz) {
    const double omega = 2.0 * std::numbers::pi * frequency_hz;
    const std::complex<double> j(0.0, 1.0);
    // Re(a sqrt(j w)) = a sqrt(w / 2): the attenuation at 1 GHz sets a.
    const double a = line.skin_db_per_m_at_1ghz * kNeperPerDb / std::sqrt(kReference / 2.0);
    const std::complex<double> skin = a * std::sqrt(j * omega);
    const std::complex<double> dielectric = j * omega * std::sqrt(Permittivity(line, omega)) / kLight;
    return skin + dielectric;
}

}  // namespace

std::complex<double> LineResponse(const LineParameters& line, double frequency_hz) {
    return std::exp(-line.length_m * Propagation(line, frequency_hz));
}

std::complex<double> LineImpedance(const LineParameters& line, double frequency_hz) {
    // The shunt admittance follows the dielectric, Y = j w C eps(w) / eps,
    // with C from the lossless line (sqrt(eps) / (c Z0) per metre); the
    // series impedance is whatever makes gamma = sqrt(Z Y), and
    // Zc = gamma / Y. A line without loss gets exactly impedance_ohms.
    const double omega = 2.0 * std::numbers::pi * frequency_hz;
    const std::complex<double> j(0.0, 1.0);
    const double per_metre = std::sqrt(line.permittivity) / (kLight * line.impedance_ohms) / line.permittivity;
    const std::complex<double> admittance = j * omega * Permittivity(line, omega) * per_metre;
    return Propagation(line, frequency_hz) / admittance;
}

double LineLossDb(const LineParameters& line, double frequency_hz) {
    return line.length_m * Propagation(line, frequency_hz).real() / kNeperPerDb;
}

double LineDelay(const LineParameters& line) {
    return line.length_m * std::sqrt(Permittivity(line, 0.0).real()) / kLight;
}

double ParseLength(const std::string& text) {
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    const std::string unit(result.ptr, end);
    double scale = 0.0;
    if (unit.empty() || unit == "m") scale = 1.0;
    else if (unit == "cm") scale = 0.01;
    else if (unit == "mm") scale = 0.001;
    else if (unit == "in") scale = 0.0254;
    if (result.ec != std::errc() || scale == 0.0 || !(value > 0.0) || !std::isfinite(value) || value * scale > 100.0)
        throw UsageError("--line " + text + ": give a length such as 0.5m, 50cm, 500mm or 20in (at most 100 m)");
    return value * scale;
}

}  // namespace amisim
