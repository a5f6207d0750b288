#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "blocks/response_fir.h"

using Vantrel::TimeResponseFIR;

namespace {

struct Response {
    std::vector<double> stamps;  // the block rewrites them in place
    std::vector<double> values;
};

bool Derive(TimeResponseFIR& fir, Response& r, int type, double rate = 1e12) {
    fir.Response = r.values.data();
    fir.ResponseTimeStamps = r.stamps.data();
    fir.NumberOfResponseValues = static_cast<std::int32_t>(r.values.size());
    fir.NumberOfTimeStamps = static_cast<std::int32_t>(r.stamps.size());
    fir.ResponseType = type;
    fir.SampleRate = rate;
    return fir.Setup();
}

std::vector<double> Taps(const TimeResponseFIR& fir) { return {fir.Taps, fir.Taps + fir.NumberOfTaps}; }

std::string Messages(Response r, int type, double rate = 1e12) {
    TimeResponseFIR fir;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Derive(fir, r, type, rate));
    return testing::internal::GetCapturedStderr();
}

TEST(TimeResponseFIR, ImpulseResponseIsResampledAndScaled) {
    Response grid{{0, 1e-12, 2e-12, 3e-12, 4e-12}, {5, -1, 2, 7, 3}};
    TimeResponseFIR fir;
    ASSERT_TRUE(Derive(fir, grid, 0));
    ASSERT_EQ(fir.NumberOfTaps, 5);
    for (int k = 0; k < 5; ++k) EXPECT_DOUBLE_EQ(fir.Taps[k], grid.values[k] / 1e12) << k;

    // Between uneven stamps the cubic through four neighbours is followed.
    auto cubic = [](double t) { return 2.0 - 3.0 * t + 0.5 * t * t - 0.125 * t * t * t; };
    Response uneven{{0.0, 0.7, 1.9, 2.6, 4.1, 5.0}, {}};
    for (double s : uneven.stamps) uneven.values.push_back(cubic(s));
    ASSERT_TRUE(Derive(fir, uneven, 0, 1.0));
    ASSERT_EQ(fir.NumberOfTaps, 6);
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(fir.Taps[i], cubic(i), 1e-12 * std::abs(cubic(i))) << i;
}

TEST(TimeResponseFIR, StepResponseIsDifferentiated) {
    Response line{{}, {}};  // a * t: every tap is a / SampleRate
    for (int k = 0; k < 6; ++k) {
        line.stamps.push_back(k * 1.5e-12);
        line.values.push_back(3e9 * k * 1.5e-12);
    }
    TimeResponseFIR fir;
    ASSERT_TRUE(Derive(fir, line, 1));
    ASSERT_EQ(fir.NumberOfTaps, 8);
    for (double tap : Taps(fir)) EXPECT_NEAR(tap, 3e9 / 1e12, 1e-12 * 3e-3);

    // The last window is anchored at n - 3: the final value never counts.
    Response kinked{{0, 1, 2, 3, 4}, {0, 1, 2, 3, 100}};
    ASSERT_TRUE(Derive(fir, kinked, 1, 1.0));
    EXPECT_EQ(Taps(fir), (std::vector<double>{1, 1, 1, 1, 1}));
}

TEST(TimeResponseFIR, TapCountFollowsTheSpanAndStampsAreShiftedToZero) {
    Response r{{0, 2e-10, 5e-10, 1e-9}, {1, 4, 2, 0}};
    TimeResponseFIR fir;
    ASSERT_TRUE(Derive(fir, r, 0));
    EXPECT_EQ(fir.NumberOfTaps, 1001);
    const std::vector<double> unshifted = Taps(fir);

    Response later{{3e-9, 3.2e-9, 3.5e-9, 4e-9}, {1, 4, 2, 0}};
    ASSERT_TRUE(Derive(fir, later, 0));
    EXPECT_EQ(later.stamps[0], 0.0);
    const std::vector<double> shifted = Taps(fir);
    ASSERT_EQ(shifted.size(), unshifted.size());
    for (std::size_t i = 0; i < shifted.size(); ++i) EXPECT_NEAR(shifted[i], unshifted[i], 4e-21) << i;
    ASSERT_TRUE(fir.Setup());  // the stamps are already shifted: same taps
    EXPECT_EQ(Taps(fir), shifted);
}

TEST(TimeResponseFIR, RejectsBadResponses) {
    EXPECT_EQ(Messages({{0, 1, 2}, {0, 1, 2}}, 2),
              "Inavlid ResponseType is specified, it can be either Impulse Response or Step Response\n");
    EXPECT_EQ(Messages({{0, 1, 2}, {0, 1, 2}}, 1),
              "At least 4 response coefficients are required for input step response\n");
    EXPECT_EQ(Messages({{0, 1, 2}, {0, 1, 2}}, 0),
              "At least 4 response coefficients are required for input impulse response\n");
    EXPECT_EQ(Messages({{0, 1, 2}, {0, 1, 2, 3}}, 0),
              "Number of coefficients in response must be same as the number of values in time stamps\n");
    EXPECT_EQ(Messages({{0, 1, 2, 3}, {0, 1, 2, 3}}, 0, 0.0), "SampleRate must be > 0.0\n");
    EXPECT_EQ(Messages({{5e-12, 6e-12, 6e-12, 7e-12}, {0, 1, 2, 3}}, 0),
              "ResponseTimeStamps[3] = 6e-12  <= ResponseTimeStamps[2] = 6e-12. "
              "Time stamps must be in non-repeating ascending order.\n");
    EXPECT_EQ(Messages({{0, 1, 2, 3}, {0, 1, 2, 3}}, 0, 1e300),
              "The response spans too many samples at this SampleRate\n");
}

TEST(TimeResponseFIR, FailureBeforeDerivingKeepsThePreviousTaps) {
    Response good{{0, 1, 2, 3}, {1, 2, 3, 4}};
    TimeResponseFIR fir;
    ASSERT_TRUE(Derive(fir, good, 0, 1.0));
    fir.SampleRate = -1.0;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(fir.Setup());
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(Taps(fir), (std::vector<double>{1, 2, 3, 4}));
}

}  // namespace
