#pragma once
// The jitter and noise of a link, from the models' .ami files and the
// command line: what each value is, in what unit it was written, and where
// it came from. A time may be written in seconds or unit intervals; it is
// resolved at the run's bit rate into the jitter components both flows use.
//
// Meanings, as engineers read them: Rj is the standard deviation of a
// Gaussian; Dj and DCD are half the peak-to-peak (Dj uniform over +-Dj; DCD
// moves rising edges by +DCD and falling ones by -DCD); Sj is the amplitude
// of a sinusoid at its frequency; the noise is a Gaussian standard
// deviation or half the width of a uniform, in volts at the sampler; the
// sensitivity is the voltage each level must clear beyond the threshold.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace amisim {

enum class Unit { kSeconds, kUnitIntervals, kVolts, kHertz };

// One value as written, and where it came from ("--tx-rj", "Tx_Rj in
// tx.ami").
struct Setting {
    double value = 0.0;
    Unit unit = Unit::kSeconds;
    std::string from;
};

// Time/probability rows of a jitter PDF, or the two means of a dual Dirac
// (or the noise's, its values in volts).
struct JitterPoints {
    std::vector<std::pair<double, double>> rows;  // time (in `unit`), probability
    Unit unit = Unit::kSeconds;
    std::string format;  // "Table" or "Dual-Dirac"
    std::string from;
};

// Every value the run knows, by its name: tx_rj, tx_dj, tx_dcd, tx_sj,
// tx_sj_frequency, tx_mean, rx_rj, rx_dj, rx_sj, rx_dcd, rx_mean,
// rx_sj_frequency, cdr_mean, cdr_rj, cdr_dj, cdr_sj, cdr_dcd, rx_noise,
// rx_uniform_noise, rx_noise_mean, rx_noise_dj (half the width of a
// uniform), rx_sensitivity.
struct ImpairmentSettings {
    std::map<std::string, Setting> values;
    std::optional<JitterPoints> tx_points, rx_points;  // from Tx_Jitter / Rx_Clock_PDF
    std::optional<JitterPoints> rx_noise_points;       // from Rx_Noise, in volts
    std::uint64_t seed = 1;
    bool Empty() const { return values.empty() && !tx_points && !rx_points && !rx_noise_points; }
};

// A text with its unit: times take s, ms, us, ns, ps, fs or UI (no suffix:
// seconds); voltages V or mV (none: volts); frequencies Hz, kHz, MHz or GHz
// (none: hertz). Throws a usage AmisimError naming `what` for anything else,
// and for a negative value.
Setting ParseTimeText(const std::string& text, const std::string& what);
Setting ParseVoltageText(const std::string& text, const std::string& what);
Setting ParseFrequencyText(const std::string& text, const std::string& what);

// One independent part of a jitter: the displacement of an edge (Tx) or of
// a sampling instant (Rx), in unit intervals.
struct JitterComponent {
    enum class Kind {
        kGaussian,   // size: sigma
        kUniform,    // size: half the width
        kPoints,     // points: position, probability (a mean, a dual Dirac, a table)
        kSinusoid,   // size: amplitude; frequency in hertz
        kDutyCycle,  // size: Tx: rising edges +size, falling -size; Rx: alternate bits +-size
    };
    Kind kind = Kind::kGaussian;
    double size = 0.0;
    double frequency = 0.0;
    std::vector<std::pair<double, double>> points;
};
using Jitter = std::vector<JitterComponent>;

// What the flows use: everything in unit intervals and volts.
struct Impairments {
    Jitter tx;  // moves the transmitter's edges
    Jitter rx;  // moves the receiver's sampling instants
    double noise_sigma = 0.0;    // volts
    double noise_uniform = 0.0;  // volts, half the width
    // The rest of the noise's distribution, in volts, each part independent
    // of the others: a uniform, points with their probabilities (a lone
    // point is a mean that shifts every sample).
    Jitter noise_parts;
    double sensitivity = 0.0;    // volts
    std::uint64_t seed = 1;
    bool HasTxJitter() const { return !tx.empty(); }
    bool HasRxJitter() const { return !rx.empty(); }
    bool HasNoise() const { return noise_sigma > 0.0 || noise_uniform > 0.0 || !noise_parts.empty(); }
    // How far the noise reaches from 0 V either way, Gaussians held at
    // `sigmas` sigmas.
    double NoiseReach(double sigmas) const;
    bool Any() const { return HasTxJitter() || HasRxJitter() || HasNoise() || sensitivity > 0.0; }
};

// Sinusoidal jitter without a frequency runs at the bit rate over this.
inline constexpr double kDefaultSjDivisor = 1000.0;

Impairments ResolveImpairments(const ImpairmentSettings& settings, double bit_time);

// One line naming every impairment in use ("none" without any).
std::string DescribeImpairments(const ImpairmentSettings& settings, double bit_time);

}  // namespace amisim
