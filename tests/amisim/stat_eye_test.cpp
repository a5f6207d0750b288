// The statistical eye against cases whose answer is known: a single
// post-cursor, many small cursors, and the bathtub of a clean pulse.

#include <gtest/gtest.h>

#include <cmath>

#include "tools/amisim/eye/stat_eye.h"

using namespace amisim;

namespace {

constexpr int kPerBit = 8;

// A pulse of flat cursors: every sample of unit interval k holds cursors[k].
std::vector<double> FlatPulse(const std::vector<double>& cursors) {
    std::vector<double> pulse;
    for (double c : cursors) pulse.insert(pulse.end(), kPerBit, c);
    return pulse;
}

StatEyeSettings Settings(double ber) {
    StatEyeSettings settings;
    settings.samples_per_bit = kPerBit;
    settings.ber = ber;
    return settings;
}

TEST(StatEye, PulseResponseHoldsTheImpulseForOneUnitInterval) {
    const std::vector<double> pulse = PulseResponse({0.5, 0.25, 0.0, 0.25}, 2);
    EXPECT_EQ(pulse, (std::vector<double>{0.5, 0.75, 0.25, 0.25, 0.25}));
    const PulseCursors cursors = FindCursors(FlatPulse({0.1, 1.0, 0.3, -0.2}), kPerBit);
    EXPECT_DOUBLE_EQ(cursors.main, 1.0);
    EXPECT_EQ(cursors.pre, (std::vector<double>{0.1}));
    EXPECT_EQ(cursors.post, (std::vector<double>{0.3, -0.2}));
}

TEST(StatEye, OnePostCursorClosesTheEyeByTwiceItsSymbol) {
    // Levels +-0.5 V of a 1 V main cursor, and interference of +-0.15 V:
    // the eye is 1 - 0.3 V tall at any BER, which is the worst case.
    const StatisticalEye eye = ComputeStatisticalEye(FlatPulse({0.0, 1.0, 0.3}), Settings(1e-12));
    EXPECT_NEAR(eye.eye_height, 0.7, 2e-3);
    EXPECT_NEAR(eye.worst_case_height, 0.7, 1e-12);
    EXPECT_NEAR(eye.main_cursor, 0.5, 1e-12);
    EXPECT_NEAR(eye.eye_width, 1.0, 1e-2);  // flat cursors: open over the whole unit interval
    EXPECT_EQ(eye.bathtub[static_cast<std::size_t>(eye.centre_phase)], 0.0);
}

TEST(StatEye, ManyCursorsAreMilderAtAModerateBerThanTheWorstCase) {
    // Twenty cursors of 0.04: the worst case shuts the eye (0.8 V of
    // interference against 1 V), a BER of 1e-3 leaves it open.
    std::vector<double> cursors{1.0};
    cursors.insert(cursors.end(), 20, 0.04);
    const StatisticalEye loose = ComputeStatisticalEye(FlatPulse(cursors), Settings(1e-3));
    const StatisticalEye strict = ComputeStatisticalEye(FlatPulse(cursors), Settings(1e-12));
    EXPECT_NEAR(strict.worst_case_height, 0.2, 1e-9);
    EXPECT_GT(loose.eye_height, strict.eye_height + 0.1);
    EXPECT_GE(strict.eye_height, strict.worst_case_height - 1e-2);
    // The sum of 20 fair +-0.02 V steps: P(sum <= -0.4 V) is 2^-20 exactly.
    EXPECT_NEAR(ComputeStatisticalEye(FlatPulse(cursors), Settings(0.5e-6)).eye_height, 0.2, 5e-3);
    // The density of every phase sums to one.
    double total = 0.0;
    for (std::size_t b = 0; b < loose.bins; ++b) total += loose.density[kPerBit * loose.bins + b];
    EXPECT_NEAR(total, 1.0, 1e-12);
}

TEST(StatEye, ASlowEdgeNarrowsTheBathtub) {
    // A pulse rising and falling over four samples of eight.
    std::vector<double> pulse(3 * kPerBit, 0.0);
    for (int n = 0; n < 4; ++n) pulse[kPerBit + n] = (n + 1) / 4.0;
    for (int n = 4; n < kPerBit; ++n) pulse[kPerBit + n] = 1.0;
    for (int n = 0; n < 4; ++n) pulse[2 * kPerBit + n] = 1.0 - (n + 1) / 4.0;
    const StatisticalEye eye = ComputeStatisticalEye(pulse, Settings(1e-12));
    EXPECT_GT(eye.eye_width, 0.5);
    EXPECT_LT(eye.eye_width, 1.0);
    EXPECT_GT(eye.bathtub.front(), 0.1);  // a unit interval early: a coin toss
    EXPECT_NEAR(eye.eye_height_best, 1.0, 2e-3);
}

}  // namespace

namespace {

TEST(StatEye, ManySamplesPerBitAreResolvedOnFewerPhases) {
    // 256 samples a bit: phases every 8 samples, the same eye.
    std::vector<double> pulse;
    for (double c : {0.0, 1.0, 0.3}) pulse.insert(pulse.end(), 256, c);
    StatEyeSettings settings;
    settings.samples_per_bit = 256;
    const StatisticalEye eye = ComputeStatisticalEye(pulse, settings);
    EXPECT_EQ(eye.phase_step, 8);
    EXPECT_EQ(eye.phases, 65u);
    EXPECT_NEAR(eye.eye_height, 0.7, 2e-3);
    EXPECT_NEAR(eye.eye_width, 1.0, 2e-2);
    EXPECT_DOUBLE_EQ(eye.PhaseUi(32), 0.0);
    EXPECT_DOUBLE_EQ(eye.PhaseUi(0), -1.0);
}

}  // namespace
