#include <gtest/gtest.h>

#include <array>

#include "blocks/mux.h"

using Vantrel::CircularBuffer;
using Vantrel::Mux;

namespace {

TEST(Mux, CopiesTheSelectedBranchOrReportsTheRange) {
    Mux<CircularBuffer<double>> mux;
    mux.input.SetWidth(3);
    double in[3] = {10.0, 11.0, 12.0};
    double out = 0.0;
    for (std::uint32_t i = 0; i < 3; ++i) mux.input.Branch(i)->Attach(&in[i], 1, 1, 0);
    mux.output.Attach(&out, 1, 1, 0);
    ASSERT_TRUE(mux.Setup());
    mux.Control = 2;
    EXPECT_TRUE(mux.Run());
    EXPECT_EQ(out, 12.0);

    testing::internal::CaptureStderr();
    mux.Control = 3;
    EXPECT_FALSE(mux.Run());
    EXPECT_EQ(out, 12.0);  // left untouched
    mux.input.SetWidth(1);
    mux.Control = -1;
    EXPECT_FALSE(mux.Run());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Control input signal value is equal to 3.  There are 3 inputs connected.  "
              "The valid control input range is [0,2].\n"
              "Control input signal value is equal to -1.  There is 1 input connected.  "
              "The valid control input range is [0,0].\n");
}

TEST(Mux, BlockSizeSetsTheRatesAndMovesABlockPerFiring) {
    Mux<CircularBuffer<double>> mux;
    mux.input.SetWidth(1);
    mux.BlockSize = 4;
    ASSERT_TRUE(mux.Setup());
    EXPECT_EQ(mux.output.rate, 4u);
    EXPECT_EQ(mux.input.Branch(0)->rate, 4u);
    std::array<double, 4> branch{1.0, 2.0, 3.0, 4.0};
    std::array<double, 4> out{};
    mux.input.Branch(0)->Attach(branch.data(), 4, 4, 1);  // origin inside the array
    mux.output.Attach(out.data(), 4, 4, 0);
    mux.Control = 0;
    EXPECT_TRUE(mux.Run());
    EXPECT_EQ(out, (std::array<double, 4>{2.0, 3.0, 4.0, 1.0}));

    for (int size : {0, -3}) {
        Mux<CircularBuffer<double>> bad;
        bad.input.SetWidth(1);
        bad.BlockSize = size;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(bad.Setup());
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "BlockSize must be >= 1\n");
        EXPECT_EQ(bad.input.Branch(0)->rate, 1u);
    }
}

}  // namespace
