#include <gtest/gtest.h>

#include "dataflow/circular_buffer_bus.h"
#include "dataflow/df_model.h"

using Vantrel::CircularBuffer;
using Vantrel::CircularBufferBusT;

namespace {

TEST(CircularBufferBus, SameWidthKeepsBranchAttachments) {
    CircularBufferBusT<CircularBuffer<double>> bus;
    EXPECT_EQ(bus.Width(), 0u);
    bus.SetWidth(2);
    double cell = 1.5;
    bus.Branch(1)->Attach(&cell, 1, 1, 0);
    bus.Branch(1)->SetRate(4);
    bus.SetWidth(2);
    EXPECT_EQ(bus.Branch(1)->Storage(), &cell);
    EXPECT_EQ(bus.Branch(1)->requiredSize, 4u);
}

TEST(CircularBufferBus, NewWidthGivesFreshBranchesAndZeroGivesNone) {
    CircularBufferBusT<CircularBuffer<int>> bus;
    bus.SetWidth(2);
    int cell = 0;
    bus.Branch(0)->Attach(&cell, 1, 1, 0);
    bus.SetWidth(3);
    ASSERT_EQ(bus.Width(), 3u);
    for (std::uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(bus.Branch(i)->StorageBytes(), nullptr);
        EXPECT_EQ(bus.Branch(i)->rate, 1u);
        EXPECT_EQ(bus.Branch(i)->requiredSize, 1u);
        EXPECT_TRUE(bus.Branch(i)->IsConnected());
    }
    bus.SetWidth(0);
    EXPECT_EQ(bus.Width(), 0u);
    EXPECT_EQ(cell, 0);
}

TEST(DFModelDefaults, EveryOperationSucceedsAndPrintsNothing) {
    Vantrel::DFModel block;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(block.Setup());
    EXPECT_TRUE(block.Initialize());
    EXPECT_TRUE(block.Run());
    EXPECT_TRUE(block.Finalize());
    EXPECT_TRUE(block.CheckParameters());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(ReportError, WritesTheTextAndALineEnd) {
    testing::internal::CaptureStderr();
    Vantrel::ReportError(nullptr, "BlockSize must be >= 1");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "BlockSize must be >= 1\n");
}

}  // namespace
