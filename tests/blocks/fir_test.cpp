#include <gtest/gtest.h>

#include <algorithm>
#include <complex>
#include <random>
#include <vector>

#include "blocks/fir.h"

using Vantrel::FIR;

namespace {

// Sets the filter up and pushes the input through, D samples per firing.
template <typename T>
std::vector<T> Filter(FIR<T, 0>& fir, const std::vector<T>& taps, const std::vector<T>& x) {
    fir.Taps = taps.data();
    fir.NumberOfTaps = static_cast<std::int32_t>(taps.size());
    EXPECT_TRUE(fir.Setup());
    std::vector<T> in(fir.input.rate), out(fir.output.rate), y;
    fir.input.Attach(in.data(), fir.input.rate, fir.input.rate, 0);
    fir.output.Attach(out.data(), fir.output.rate, fir.output.rate, 0);
    EXPECT_TRUE(fir.Initialize());
    for (auto next = x.begin(); x.end() - next >= static_cast<long>(in.size()); next += static_cast<long>(in.size())) {
        std::copy_n(next, in.size(), in.begin());
        EXPECT_TRUE(fir.Run());
        y.insert(y.end(), out.begin(), out.end());
    }
    return y;
}

std::vector<double> Filter(const std::vector<double>& taps, const std::vector<double>& x, int d, int p, int i) {
    FIR<double, 0> fir;
    fir.Decimation = d;
    fir.DecimationPhase = p;
    fir.Interpolation = i;
    return Filter(fir, taps, x);
}

// Zero insertion, convolution and down-sampling written out directly, with
// the terms added in the filter's order so that results agree to the bit.
std::vector<double> Reference(const std::vector<double>& taps, const std::vector<double>& x, int d, int p, int i) {
    const int n = static_cast<int>(taps.size());
    std::vector<double> y;
    for (int f = 0; f < static_cast<int>(x.size()) / d; ++f) {
        for (int m = 0; m < i; ++m) {
            const int j = m * d + p;
            double sum = 0.0;
            for (int t = j % i, k = f * d + j / i; t < n; t += i, --k) {
                if (k >= 0) sum = sum + x[static_cast<std::size_t>(k)] * taps[static_cast<std::size_t>(t)];
            }
            y.push_back(sum);
        }
    }
    return y;
}

TEST(FIR, ImpulseAndPolyphaseCases) {
    EXPECT_EQ(Filter({1, 2, 3}, {1, 0, 0, 0}, 1, 0, 1), (std::vector<double>{1, 2, 3, 0}));
    // Interpolation 2 with taps [1, 1]: every sample twice.
    EXPECT_EQ(Filter({1, 1}, {3, 4, 5}, 1, 0, 2), (std::vector<double>{3, 3, 4, 4, 5, 5}));
    // Decimation 2: phase 1 keeps the second sample of each pair, phase 0 the first.
    EXPECT_EQ(Filter({1}, {1, 2, 3, 4}, 2, 1, 1), (std::vector<double>{2, 4}));
    EXPECT_EQ(Filter({1}, {1, 2, 3, 4}, 2, 0, 1), (std::vector<double>{1, 3}));
    // Five taps, Interpolation 2: three taps per phase, the sixth skipped.
    EXPECT_EQ(Filter({1, 2, 3, 4, 5}, {1, 0, 0, 0}, 1, 0, 2), (std::vector<double>{1, 2, 3, 4, 5, 0, 0, 0}));
}

TEST(FIR, MatchesTheDirectFormulaBitForBit) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    struct Rate { int d, p, i, n; };
    for (Rate r : {Rate{1, 0, 1, 80}, Rate{3, 2, 1, 7}, Rate{2, 1, 3, 10}, Rate{3, 0, 2, 9}, Rate{4, 3, 5, 1}}) {
        std::vector<double> taps(static_cast<std::size_t>(r.n)), x(600);  // many laps of the delay line
        for (double& v : taps) v = value(random);
        for (double& v : x) v = value(random);
        EXPECT_EQ(Filter(taps, x, r.d, r.p, r.i), Reference(taps, x, r.d, r.p, r.i))
            << "D=" << r.d << " P=" << r.p << " I=" << r.i << " N=" << r.n;
    }
}

TEST(FIR, AllBadParametersAreReportedInOrder) {
    FIR<double, 1> fir;
    fir.Decimation = 0;
    fir.Interpolation = 0;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(fir.Setup());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "There must be at least one Tap\nDecimation must be > 0\n"
              "DecimationPhase must be < Decimation ratio\nInterpolation must be > 0\n");
    EXPECT_EQ(fir.history.requiredSize, 1u);
}

TEST(FIR, InitializeAfterFinalizeStartsFromACleanDelayLine) {
    FIR<double, 0> fir;
    const std::vector<double> taps{1, 1, 1};  // must outlive the filter's use
    EXPECT_EQ(Filter(fir, taps, {5, 5}), (std::vector<double>{5, 10}));
    EXPECT_EQ(fir.history.Capacity(), 5u);  // 3 taps + D + 1
    EXPECT_TRUE(fir.Finalize());
    EXPECT_EQ(fir.history.Storage(), nullptr);
    EXPECT_TRUE(fir.Initialize());
    EXPECT_TRUE(fir.Initialize());  // twice: the first line must not leak
    double in = 1.0, out = 0.0;
    fir.input.Attach(&in, 1, 1, 0);
    fir.output.Attach(&out, 1, 1, 0);
    EXPECT_TRUE(fir.Run());
    EXPECT_EQ(out, 1.0);
}

TEST(FIR, ComplexTapsMultiplyAsComplexNumbers) {
    using C = std::complex<double>;
    FIR<C, 0> fir;
    // (1+2i)(3+4i) = -5+10i; then i(3+4i) = -4+3i; then (1+2i)(1-i) = 3+i.
    EXPECT_EQ(Filter(fir, {C(1, 2), C(0, 1)}, {C(3, 4), C(0, 0), C(1, -1)}),
              (std::vector<C>{C(-5, 10), C(-4, 3), C(3, 1)}));
}

}  // namespace
