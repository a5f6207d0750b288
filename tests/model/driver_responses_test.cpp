// The stored driver responses against the characteristic values they were
// designed to: extreme values and where they sit, the first and last entry,
// the integral, and values that are exact 8-significant-digit decimals.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>

#include "model/driver_responses.h"

namespace {

struct Characteristic {
    double first;
    double peak;
    int peak_entry;
    double minimum;
    int minimum_entry;
    double last;
    long integral_e4;  // the integral to four decimals, times 10^4
};

constexpr Characteristic kExpected[kDriverResponseCount] = {
    {2.1752691e+08, 3.3016941e+10, 14, -1.2013053e+10, 29, 1.6141621e+09, 8769},
    {7.2071115e+08, 2.5535899e+10, 15, -1.1104481e+10, 30, 1.2605317e+09, 8067},
    {53794086, 4.6176751e+10, 14, -1.3216341e+10, 29, 1.584205e+09, 10127},
    {2.2816267e+08, 3.8545645e+10, 14, -1.2342413e+10, 29, 1.3732673e+09, 9372},
    {6.5542806e+08, 2.9343301e+10, 15, -1.1463323e+10, 30, 1.0193407e+09, 8635},
    {53794086, 4.6176751e+10, 14, -1.3216341e+10, 29, 1.584205e+09, 10127},
    {5.0420059e+08, 5.4291054e+10, 15, -1.229072e+10, 30, 87799939, 11117},
    {2.9270424e+08, 5.1227952e+10, 14, -1.5125e+10, 30, 8.3170812e+08, 11130},
    {4.8006124e+08, 6.5214284e+10, 15, -1.3550619e+10, 31, 54000816, 12012},
};

constexpr double kGridStep = 5.7870625e-12;

// True when the double is exactly the value of an 8-significant-digit decimal.
bool HasEightSignificantDigits(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.7e", value);
    return std::strtod(text, nullptr) == value;
}

TEST(DriverResponses, MatchTheirCharacteristicValues) {
    for (int k = 0; k < kDriverResponseCount; ++k) {
        SCOPED_TRACE("response " + std::to_string(k));
        const double* r = kDriverResponses[k];
        const Characteristic& want = kExpected[k];
        const double* end = r + kDriverResponseLength;

        EXPECT_EQ(r[0], want.first);
        EXPECT_EQ(r[kDriverResponseLength - 1], want.last);

        const double* peak = std::max_element(r, end);
        EXPECT_EQ(*peak, want.peak);
        EXPECT_EQ(peak - r, want.peak_entry);
        EXPECT_EQ(std::count(r, end, *peak), 1) << "the peak is not unique";

        const double* minimum = std::min_element(r, end);
        EXPECT_EQ(*minimum, want.minimum);
        EXPECT_EQ(minimum - r, want.minimum_entry);
        EXPECT_EQ(std::count(r, end, *minimum), 1) << "the minimum is not unique";

        double sum = 0.0;
        for (const double* v = r; v != end; ++v) sum += *v;
        EXPECT_EQ(std::lround(sum * kGridStep * 1e4), want.integral_e4);

        for (int i = 0; i < kDriverResponseLength; ++i) {
            EXPECT_TRUE(HasEightSignificantDigits(r[i])) << "entry " << i << " = " << r[i];
        }
    }
}

TEST(DriverResponses, TwoAndFiveAreIdentical) {
    EXPECT_TRUE(std::equal(std::begin(kDriverResponses[2]), std::end(kDriverResponses[2]),
                           std::begin(kDriverResponses[5])));
}

TEST(DriverResponses, TimeStampsAreTheGridRoundedHalfUpToEightDigits) {
    // i x 5.7870625e-12 is exactly the integer i x 57870625 in units of
    // 1e-19 s, so the rounding can be done in integers.
    for (int i = 0; i < kDriverResponseLength; ++i) {
        std::int64_t units = std::int64_t{57870625} * i;
        std::int64_t scale = 1;
        while (units / scale >= 100000000) scale *= 10;
        if (scale > 1) units = (units + scale / 2) / scale * scale;
        const std::string text = std::to_string(units) + "e-19";
        EXPECT_EQ(kDriverTimeStamps[i], std::strtod(text.c_str(), nullptr)) << "entry " << i;
    }
    EXPECT_EQ(kDriverTimeStamps[kDriverResponseLength - 1], 4.5717794e-10);
}

}  // namespace
