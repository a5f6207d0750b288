#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "blocks/fork_add.h"

using Vantrel::CircularBuffer;

namespace {

TEST(Fork, CopiesTheInputToEveryBranch) {
    Vantrel::Fork<CircularBuffer<int>> fork;
    int in = 7;
    int out[3] = {0, 0, 0};
    fork.input.Attach(&in, 1, 1, 0);
    fork.output.SetWidth(3);
    for (std::uint32_t i = 0; i < 3; ++i) fork.output.Branch(i)->Attach(&out[i], 1, 1, 0);
    fork.output.Branch(1)->connected = false;  // written all the same
    EXPECT_TRUE(fork.Run());
    EXPECT_EQ(out[0] + out[1] + out[2], 21);
    // No branches: nothing is written and the input, here without storage,
    // is not read.
    Vantrel::Fork<CircularBuffer<int>> empty;
    EXPECT_TRUE(empty.Run());
}

double Sum(std::initializer_list<double> values) {
    Vantrel::Add<double> add;
    std::vector<double> cells(values);
    add.input.SetWidth(static_cast<std::uint32_t>(cells.size()));
    for (std::uint32_t i = 0; i < cells.size(); ++i) add.input.Branch(i)->Attach(&cells[i], 1, 1, 0);
    double out = -1.0;
    add.output.Attach(&out, 1, 1, 0);
    EXPECT_TRUE(add.Run());
    return out;
}

TEST(Add, SumsInBranchOrder) {
    EXPECT_EQ(Sum({1e16, 1.0, -1e16}), 0.0);
    EXPECT_EQ(Sum({1e16, -1e16, 1.0}), 1.0);
    EXPECT_EQ(Sum({}), 0.0);
}

}  // namespace
