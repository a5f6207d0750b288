#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>

#include "tools/amisim/flows/prbs.h"
#include "tools/amisim/flows/stimulus.h"

using amisim::PrbsGenerator;

namespace {

std::string Bits(PrbsGenerator& prbs, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) text += prbs.Next() ? '1' : '0';
    return text;
}

// Steps until the register holds its starting value again.
std::uint64_t MeasuredPeriod(int order) {
    PrbsGenerator prbs(order);
    const std::uint32_t start = prbs.state();
    std::uint64_t steps = 0;
    do {
        prbs.Next();
        ++steps;
    } while (prbs.state() != start && steps <= prbs.period());
    return steps;
}

TEST(Prbs, Prbs7FromAllOnesIsTheStandardPattern) {
    // The all-ones seed followed by these bits is the familiar byte stream
    // FE 04 18 51 E4 59 D4 FA ...
    PrbsGenerator prbs(7);
    EXPECT_EQ(Bits(prbs, 127),
              "0000001000001100001010001111001000101100111010100111110100001110"
              "001001001101101011011110110001101001011101110011001010101111111");
    EXPECT_EQ(Bits(prbs, 16), "0000001000001100");  // and then it repeats
}

TEST(Prbs, Prbs7VisitsEveryNonZeroStateOnce) {
    PrbsGenerator prbs(7);
    const std::string bits = Bits(prbs, 127 + 6);
    std::set<std::string> windows;
    for (std::size_t i = 0; i < 127; ++i) windows.insert(bits.substr(i, 7));
    EXPECT_EQ(windows.size(), 127u);
    EXPECT_EQ(windows.count("0000000"), 0u);
}

TEST(Prbs, PeriodsAreMaximal) {
    EXPECT_EQ(MeasuredPeriod(7), 127u);
    EXPECT_EQ(MeasuredPeriod(15), 32767u);
    EXPECT_EQ(MeasuredPeriod(23), 8388607u);
}

TEST(Prbs, EachPatternFollowsItsPolynomial) {
    const struct {
        int order;
        int tap;
    } polynomials[] = {{7, 6}, {15, 14}, {23, 18}, {31, 28}};
    for (const auto& p : polynomials) {
        PrbsGenerator prbs(p.order);
        const std::vector<std::uint8_t> bits = prbs.Generate(5000);
        // From the all-ones seed the bits are zeros until the first zero
        // shifted in reaches the second tap.
        for (int i = 0; i < p.tap; ++i) ASSERT_EQ(bits[i], 0) << "PRBS" << p.order << " bit " << i;
        EXPECT_EQ(bits[p.tap], 1) << "PRBS" << p.order;
        for (std::size_t n = p.order; n < bits.size(); ++n)
            ASSERT_EQ(bits[n], bits[n - p.order] ^ bits[n - p.tap]) << "PRBS" << p.order << " bit " << n;
    }
}

TEST(Prbs, RejectsOtherOrders) {
    EXPECT_THROW(PrbsGenerator(9), std::invalid_argument);
    EXPECT_FALSE(PrbsGenerator::IsSupportedOrder(0));
    EXPECT_TRUE(PrbsGenerator::IsSupportedOrder(31));
}

TEST(Stimulus, HoldsEachBitForItsSamples) {
    const std::vector<double> wave = amisim::NrzWaveform({1, 0, 0}, 3);
    EXPECT_EQ(wave, (std::vector<double>{0.5, 0.5, 0.5, -0.5, -0.5, -0.5, -0.5, -0.5, -0.5}));
}

}  // namespace
