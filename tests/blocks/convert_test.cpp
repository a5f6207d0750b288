#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "blocks/convert.h"

using Vantrel::CircularBuffer;
using Vantrel::TypeConverterRound;

namespace {

TEST(TypeConverterRound, RoundsHalvesAwayFromZero) {
    const struct { double x; int expected; } cases[] = {
        {2.5, 3}, {-2.5, -3}, {2.4999, 2}, {-2.4999, -2}, {0.5, 1}, {-0.5, -1}, {0.0, 0}, {-0.0, 0},
        // The half is added before floor, and 0.49999999999999994 + 0.5 is 1.0.
        {0.49999999999999994, 1},
        // Out of range saturates and NaN gives 0 rather than an undefined cast.
        {1e300, std::numeric_limits<int>::max()}, {-1e300, std::numeric_limits<int>::min()}, {std::nan(""), 0}};
    for (const auto& c : cases) EXPECT_EQ(TypeConverterRound::Convert(c.x), c.expected) << c.x;
}

TEST(TypeConverter, OnlyScalarToScalarWritesItsOutput) {
    double in = 1.5;
    int out = 42;
    Vantrel::TypeConverter<CircularBuffer<double>, CircularBuffer<int>, TypeConverterRound> plain;
    plain.input.Attach(&in, 1, 1, 0);
    plain.output.Attach(&out, 1, 1, 0);
    EXPECT_TRUE(plain.Run());
    EXPECT_EQ(out, 42);

    Vantrel::ScalarToScalar<CircularBuffer<double>, CircularBuffer<int>, TypeConverterRound> convert;
    convert.input.Attach(&in, 1, 1, 0);
    convert.output.Attach(&out, 1, 1, 0);
    EXPECT_TRUE(convert.Run());
    EXPECT_EQ(out, 2);
}

}  // namespace
