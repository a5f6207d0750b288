// The two-tap pre-emphasis block on its own.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/txfir_1pre2pst.h"

namespace {

struct Taps {
    std::vector<double> main;
    std::vector<double> post;
};

Taps RunBlock(TXFIR_1pre2pst& block, const std::vector<double>& input) {
    Taps out;
    for (double x : input) {
        block.input = x;
        EXPECT_TRUE(block.Run());
        out.main.push_back(block.main_output);
        out.post.push_back(block.post_output);
    }
    return out;
}

void Prepare(TXFIR_1pre2pst& block, int emphasis_index, int samples_per_bit) {
    block.emphasis_index = emphasis_index;
    block.samples_per_bit = samples_per_bit;
    EXPECT_TRUE(block.Setup());
    EXPECT_TRUE(block.Initialize());
}

std::vector<double> Ramp(std::size_t n) {
    std::vector<double> x(n);
    for (std::size_t i = 0; i < n; ++i) x[i] = 1.0 + 0.25 * static_cast<double>(i);
    return x;
}

TEST(TxFir, EmphasisZeroIsTwiceTheInputOneBitLate) {
    for (int n : {1, 16, 200}) {
        SCOPED_TRACE("N = " + std::to_string(n));
        TXFIR_1pre2pst block;
        Prepare(block, 0, n);
        const std::vector<double> x = Ramp(static_cast<std::size_t>(7 * n + 3));
        const Taps out = RunBlock(block, x);
        for (std::size_t k = 0; k < x.size(); ++k) {
            const double expected = k < static_cast<std::size_t>(n) ? 0.0 : 2.0 * x[k - static_cast<std::size_t>(n)];
            ASSERT_EQ(out.main[k], expected) << "k = " << k;
            ASSERT_EQ(out.post[k], 0.0) << "k = " << k;
        }
    }
}

TEST(TxFir, EmphasisSixOnAUnitStep) {
    TXFIR_1pre2pst block;
    Prepare(block, 6, 16);
    const Taps out = RunBlock(block, std::vector<double>(100, 1.0));
    for (std::size_t k = 0; k < 100; ++k) {
        EXPECT_EQ(out.main[k], k < 16 ? 0.0 : 2.0 * (1.0 - 0.36665)) << "k = " << k;
        EXPECT_EQ(out.post[k], k < 32 ? 0.0 : 2.0 * -0.36665) << "k = " << k;
    }
    EXPECT_NEAR(out.main[16], 1.2667, 1e-12);
    EXPECT_NEAR(out.post[32], -0.7333, 1e-12);
    EXPECT_NEAR(out.main[99] + out.post[99], 0.5334, 1e-12);
    EXPECT_EQ(block.main_coefficient, 1.0 - 0.36665);
}

TEST(TxFir, EveryEmphasisSettingDelaysBothTaps) {
    const double post[] = {0.0, -0.05555, -0.1111, -0.18889, -0.255555, -0.305555, -0.36665};
    const int n = 3;
    const std::vector<double> x = Ramp(40);
    for (int index = 0; index < 7; ++index) {
        SCOPED_TRACE("emphasis index " + std::to_string(index));
        TXFIR_1pre2pst block;
        Prepare(block, index, n);
        const Taps out = RunBlock(block, x);
        for (std::size_t k = 0; k < x.size(); ++k) {
            const double main = k < n ? 0.0 : 2.0 * (1.0 - -post[index]) * x[k - n];
            const double late = k < 2 * n ? 0.0 : 2.0 * post[index] * x[k - 2 * n];
            ASSERT_EQ(out.main[k], main) << "k = " << k;
            ASSERT_EQ(out.post[k], late) << "k = " << k;
        }
    }
}

TEST(TxFir, InitializeClearsTheHistoryAndANewSetupDoesNot) {
    TXFIR_1pre2pst block;
    Prepare(block, 0, 4);
    RunBlock(block, std::vector<double>(6, 5.0));

    // A new emphasis takes effect at once on the samples already stored...
    block.emphasis_index = 6;
    ASSERT_TRUE(block.Setup());
    Taps out = RunBlock(block, std::vector<double>(2, 0.0));
    EXPECT_EQ(out.main[0], 10.0);  // stored with the old weight
    EXPECT_EQ(out.post[0], 0.0);

    // ...while Initialize starts from silence again.
    ASSERT_TRUE(block.Initialize());
    out = RunBlock(block, std::vector<double>(12, 1.0));
    for (std::size_t k = 0; k < 4; ++k) EXPECT_EQ(out.main[k], 0.0);
    for (std::size_t k = 0; k < 8; ++k) EXPECT_EQ(out.post[k], 0.0);
    EXPECT_EQ(out.post[8], 2.0 * -0.36665);
}

TEST(TxFir, SetupRejectsAnEmphasisOutsideTheTable) {
    for (int index : {-1, 7, 1000}) {
        TXFIR_1pre2pst block;
        block.emphasis_index = index;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(block.Setup());
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "Emphasis index is equal to " + std::to_string(index) +
                      ".  The valid emphasis range is [0,6].\n");
        // Run anyway: the coefficient stays defined rather than left over.
        ASSERT_TRUE(block.Initialize());
        block.input = 1.0;
        ASSERT_TRUE(block.Run());
        EXPECT_EQ(block.post_coefficient, 0.0);
        EXPECT_EQ(block.main_coefficient, 1.0);
    }
}

TEST(TxFir, SetupRejectsABitShorterThanOneSample) {
    TXFIR_1pre2pst block;
    block.samples_per_bit = 0;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(block.Setup());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Samples per bit must be >= 1\n");
    EXPECT_FALSE(block.Initialize());
    EXPECT_FALSE(block.Run());
}

}  // namespace
