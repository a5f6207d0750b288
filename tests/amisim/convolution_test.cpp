// The FFT convolution against the sum taken term by term, and the impulse
// chaining helpers built on it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "tools/amisim/channel/overlap_save.h"
#include "tools/amisim/flows/statistical_flow.h"

using namespace amisim;

namespace {

std::vector<double> Random(std::size_t count, std::mt19937& random) {
    std::normal_distribution<double> normal;
    std::vector<double> values(count);
    for (double& v : values) v = normal(random);
    return values;
}

double LargestError(const std::vector<double>& a, const std::vector<double>& b) {
    double error = 0.0, scale = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        error = std::max(error, std::abs(a[i] - b[i]));
        scale = std::max(scale, std::abs(b[i]));
    }
    return error / scale;
}

TEST(OverlapSave, EqualsDirectConvolutionForAnyTapCountAndBlockSplit) {
    std::mt19937 random(7);
    for (std::size_t taps : {1u, 2u, 3u, 17u, 256u, 1000u, 4096u, 10000u}) {
        SCOPED_TRACE("taps " + std::to_string(taps));
        const std::vector<double> impulse = Random(taps, random);
        const std::vector<double> input = Random(3 * taps + 5000, random);
        const std::vector<double> direct = DirectConvolution(impulse, input);

        // Blocks of uneven sizes, some shorter than the overlap and some
        // longer than a transform's step, so the history crosses every kind
        // of boundary.
        // Sized for no particular block, and for blocks of 1000 samples.
        OverlapSaveConvolver convolver(impulse, 0, taps % 2 == 0 ? 1000 : 0);
        std::vector<double> output(input.size());
        std::uniform_int_distribution<std::size_t> size(1, 2 * convolver.step() + 3);
        for (std::size_t start = 0; start < input.size();) {
            const std::size_t count = std::min(size(random), input.size() - start);
            convolver.Process(input.data() + start, output.data() + start, count);
            start += count;
        }
        EXPECT_LT(LargestError(output, direct), 1e-9);
    }
}

TEST(OverlapSave, FiltersInPlaceAndWithAChosenTransformSize) {
    std::mt19937 random(11);
    const std::vector<double> impulse = Random(100, random);
    std::vector<double> wave = Random(5000, random);
    const std::vector<double> direct = DirectConvolution(impulse, wave);
    OverlapSaveConvolver convolver(impulse, 256);
    EXPECT_EQ(convolver.step(), 157u);
    convolver.Process(wave.data(), wave.data(), 1234);
    convolver.Process(wave.data() + 1234, wave.data() + 1234, wave.size() - 1234);
    EXPECT_LT(LargestError(wave, direct), 1e-9);
    EXPECT_THROW(OverlapSaveConvolver(impulse, 150), std::invalid_argument);
}

TEST(OverlapSave, TransformSizesSuitFftw) {
    EXPECT_EQ(OverlapSaveConvolver::SizeFor(4096, 0), 16384u);
    EXPECT_EQ(OverlapSaveConvolver::SizeFor(4096, 16384), 20480u);  // 2^12 * 5: one transform a block
    EXPECT_EQ(OverlapSaveConvolver::SizeFor(10, 10), 64u);
    EXPECT_EQ(OverlapSaveConvolver::SizeFor(3000, 100), 6000u);  // 2^4 * 3 * 5^3
}

TEST(OverlapSave, ConvolveTapsGivesTheFullLength) {
    std::mt19937 random(3);
    const std::vector<double> a = Random(300, random), b = Random(40, random);
    const std::vector<double> both = ConvolveTaps(a, b);
    ASSERT_EQ(both.size(), 339u);
    std::vector<double> padded(a);
    padded.resize(339, 0.0);
    EXPECT_LT(LargestError(both, DirectConvolution(b, padded)), 1e-9);
    EXPECT_LT(LargestError(ConvolveTaps(b, a), both), 1e-12);
}

}  // namespace
