#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "blocks/constant.h"

namespace {

std::vector<double> Fire(Vantrel::ConstUnTimed<double>& source, int firings) {
    std::vector<double> out;
    for (int i = 0; i < firings; ++i) {
        EXPECT_TRUE(source.Run());
        out.push_back(source.output.Item(0));
    }
    return out;
}

TEST(ConstUnTimed, EmitsZeroDuringTheDelayThenTheValue) {
    Vantrel::ConstUnTimed<double> source;
    double cell = -1.0;
    source.output.Attach(&cell, 1, 1, 0);
    source.InitialDelay = 3;
    source.Value = 2.5;
    ASSERT_TRUE(source.Initialize());
    EXPECT_EQ(Fire(source, 5), (std::vector<double>{0.0, 0.0, 0.0, 2.5, 2.5}));
    ASSERT_TRUE(source.Initialize());  // restarts the delay
    EXPECT_EQ(Fire(source, 4), (std::vector<double>{0.0, 0.0, 0.0, 2.5}));
    // The count stops at its largest value rather than wrapping into the delay.
    source.firingCount = std::numeric_limits<std::uint32_t>::max() - 1;
    EXPECT_EQ(Fire(source, 2), (std::vector<double>{2.5, 2.5}));
    EXPECT_EQ(source.firingCount, std::numeric_limits<std::uint32_t>::max());

    source.InitialDelay = 0;
    ASSERT_TRUE(source.Initialize());
    EXPECT_EQ(Fire(source, 1), (std::vector<double>{2.5}));
}

TEST(ConstUnTimed, NegativeDelayFailsInitialize) {
    Vantrel::ConstUnTimed<double> source;
    source.InitialDelay = -1;
    source.firingCount = 9;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(source.Initialize());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "InitialDelay must be >= 0\n");
    EXPECT_EQ(source.firingCount, 0u);
}

}  // namespace
