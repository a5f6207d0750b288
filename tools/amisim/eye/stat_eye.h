#pragma once
// The statistical eye of a linear, time-invariant link: from the pulse
// response, the cursors at every sampling phase; from the cursors, the
// distribution of the intersymbol interference for random equiprobable
// bits (a convolution of two-point distributions, one per cursor); from
// that, the eye's contour at a target bit error ratio, the bathtub curve
// at the decision threshold, and the worst case by peak distortion.

#include <cstddef>
#include <vector>

#include "tools/amisim/flows/impairments.h"

namespace amisim {

// The response to one bit: the combined impulse held for a unit interval.
// `taps` are dimensionless (impulse times sample interval); the pulse is
// that of a unit step up and down (0 V to 1 V and back), so an NRZ symbol
// of +-0.5 V sees half of it.
std::vector<double> PulseResponse(const std::vector<double>& taps, int samples_per_bit);

struct PulseCursors {
    std::size_t main_index = 0;  // the pulse's peak, in samples
    double sign = 1.0;           // -1 when the link inverts
    std::vector<double> pre;     // pre[0] is the first pre-cursor, pre[1] the second, ...
    std::vector<double> post;    // post[0] is the first post-cursor, ...
    double main = 0.0;
};
// The cursors at the peak of the pulse, a unit interval apart.
PulseCursors FindCursors(const std::vector<double>& pulse, int samples_per_bit);

struct StatEyeSettings {
    int samples_per_bit = 16;
    double ber = 1e-12;
    // Voltage resolution of the distributions. Each cursor splits its mass
    // between neighbouring bins, which spreads the far tails by a few bins:
    // the eye at a low BER comes out pessimistic by about 0.5% of the span.
    std::size_t bins = 4096;
    double symbol = 0.5;      // the NRZ level of a one; a zero is its negative
    // Jitter moves the sampling phase relative to the data (the Tx's only
    // where the neighbouring bit differs, so that there is an edge to move);
    // noise spreads the sampled voltage; the sensitivity is the margin each
    // level needs beyond the threshold.
    Impairments impairments;
    // Crosstalk: cursors (unit pulse, like the pulse's samples) of
    // aggressor bits independent of the victim's and of each other, the
    // same at every phase (see crosstalk_cursors.h).
    std::vector<double> crosstalk_cursors;
};

struct StatisticalEye {
    // Phases run from one unit interval before the main cursor to one after,
    // `phase_step` samples apart: every sample (every few beyond 32 samples
    // per bit), or 64 a unit interval when there is jitter, whose offsets
    // would otherwise be rounded to whole samples. Between samples the pulse
    // is interpolated linearly, so a step may be a fraction of a sample. Phase
    // p lies (p - half) * phase_step samples from the peak, half being the
    // phases in one unit interval.
    int samples_per_bit = 16;
    double phase_step = 1.0;
    std::size_t phases = 0;
    double PhaseUi(double phase) const {
        const double half = static_cast<double>(phases / 2);
        return (phase - half) * phase_step / samples_per_bit;
    }
    double ber = 1e-12;
    // The sampled value's distribution at each phase over `bins` voltages
    // from v_low to v_high: density[phase * bins + bin], ones and zeros
    // equally likely, each phase summing to one.
    std::size_t bins = 0;
    double v_low = 0.0, v_high = 0.0;
    std::vector<double> density;
    // The eye's inner edges at the target BER, per phase (upper < lower
    // where the eye is shut there), and the BER at the 0 V threshold: the
    // horizontal bathtub.
    std::vector<double> upper, lower, bathtub;
    // Contours of other BERs (1e-3, 1e-6, 1e-9, target), for the picture.
    std::vector<double> contour_bers;
    std::vector<std::vector<double>> contour_upper, contour_lower;

    int best_phase = 0;            // tallest opening at the target BER
    int centre_phase = 0;          // the middle of the opening at the threshold
    double eye_height = 0.0;       // at the centre, target BER; negative when shut
    double eye_height_best = 0.0;  // at the best phase
    double eye_width = 0.0;        // UI over which the BER at 0 V stays below target
    double width_start = 0.0, width_end = 0.0;  // UI from the peak
    double worst_case_height = 0.0;  // peak distortion at the best phase
    double main_cursor = 0.0;        // the symbol times the main cursor there: the level
    // The BER against the threshold voltage at the best phase, the vertical
    // bathtub (the sensitivity included).
    std::vector<double> vertical_volts, vertical_ber;
    double sensitivity = 0.0;
};

StatisticalEye ComputeStatisticalEye(const std::vector<double>& pulse, const StatEyeSettings& settings);

}  // namespace amisim
