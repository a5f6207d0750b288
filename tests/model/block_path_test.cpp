// The block path against the per-sample graph, bit for bit: every emphasis
// setting with every driver response, several samples-per-bit counts, random
// waves cut into calls of random sizes, on each convolution kernel. The
// graph is the definition; the block path must be indistinguishable from it
// in its outputs and in the state it leaves for the next call.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "model/block_convolution.h"
#include "model/korvan_tx.h"

namespace {

constexpr double kBitTime = 9.259259259259259e-11;

struct Settings {
    int emphasis = 0;
    int response = 8;
    int samples_per_bit = 16;
};

std::string Describe(const Settings& s, WavePath path) {
    const char* names[] = {"automatic", "graph", "baseline", "avx2"};
    return "emphasis " + std::to_string(s.emphasis) + ", response " + std::to_string(s.response) + ", " +
           std::to_string(s.samples_per_bit) + " samples per bit, " + names[static_cast<int>(path)];
}

// A model on its own port cells, fed the way AMI_GetWave feeds it: the block
// path first, then the graph for the samples it leaves.
class Model {
public:
    Model(const Settings& settings, WavePath path) {
        model.emphasis = settings.emphasis;
        model.Vreg = settings.response / 3;
        model.corner = settings.response % 3;
        model.samples_per_bit = settings.samples_per_bit;
        model.bit_time = kBitTime;
        model.input.Attach(&input_cell, 1, 1, 0);
        model.output.Attach(&output_cell, 1, 1, 0);
        model.fir_output.Attach(&fir_output_cell, 1, 1, 0);
        model.wave_path = path;
        ready = model.Setup() && model.Initialize();
    }
    ~Model() { model.Finalize(); }
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;

    // One call: false when a Run failed (the rest keeps its input values).
    bool Filter(double* wave, std::size_t count) {
        const std::size_t first = model.RunBlock(wave, count);
        blocked += first;
        for (std::size_t i = first; i < count; ++i) {
            model.input.Item(0) = wave[i];
            if (!model.Run()) return false;
            wave[i] = model.output.Item(0);
        }
        return true;
    }

    // The wave cut into calls of the given sizes, in turn.
    std::vector<double> Stream(std::vector<double> wave, const std::vector<std::size_t>& calls) {
        std::size_t at = 0;
        for (std::size_t c = 0; at < wave.size(); ++c) {
            const std::size_t n = std::min(calls[c % calls.size()], wave.size() - at);
            EXPECT_TRUE(Filter(wave.data() + at, n));
            at += n;
        }
        return wave;
    }

    korvan_tx model;
    bool ready = false;
    std::size_t blocked = 0;  // samples the block path took

private:
    double input_cell = 0.0;
    double output_cell = 0.0;
    double fir_output_cell = 0.0;
};

std::vector<double> RandomWave(std::size_t n, std::mt19937& generator) {
    std::uniform_real_distribution<double> level(-1.0, 1.0);
    std::vector<double> x(n);
    for (double& v : x) v = level(generator);
    return x;
}

// Call sizes spread evenly over the orders of magnitude from 1 to `largest`.
std::vector<std::size_t> RandomCalls(std::size_t count, std::size_t largest, std::mt19937& generator) {
    std::uniform_real_distribution<double> magnitude(0.0, std::log(static_cast<double>(largest) + 1.0));
    std::vector<std::size_t> calls(count);
    for (std::size_t& n : calls) {
        n = std::clamp<std::size_t>(static_cast<std::size_t>(std::exp(magnitude(generator))), 1, largest);
    }
    return calls;
}

std::vector<WavePath> BlockPaths() {
    std::vector<WavePath> paths{WavePath::Baseline};
    if (korvan_block::ProcessorHasAvx2()) paths.push_back(WavePath::Avx2);
    return paths;
}

// Same bits, or the first sample that differs.
void ExpectSameBits(const std::vector<double>& got, const std::vector<double>& want, const std::string& what) {
    ASSERT_EQ(got.size(), want.size()) << what;
    if (std::memcmp(got.data(), want.data(), got.size() * sizeof(double)) == 0) return;
    std::size_t k = 0;
    while (std::memcmp(&got[k], &want[k], sizeof(double)) == 0) ++k;
    FAIL() << what << ": sample " << k << " is " << got[k] << " against " << want[k];
}

// The graph and every block path over one stream; the block path must also
// leave the model's output ports as the graph leaves them.
void ExpectBlockPathsMatchTheGraph(const Settings& settings, const std::vector<double>& wave,
                                   const std::vector<std::size_t>& calls) {
    Model graph(settings, WavePath::Graph);
    ASSERT_TRUE(graph.ready) << Describe(settings, WavePath::Graph);
    const std::vector<double> want = graph.Stream(wave, calls);
    EXPECT_EQ(graph.blocked, 0u);
    for (WavePath path : BlockPaths()) {
        Model block(settings, path);
        ASSERT_TRUE(block.ready);
        ExpectSameBits(block.Stream(wave, calls), want, Describe(settings, path));
        EXPECT_GT(block.blocked, 0u) << Describe(settings, path);
        EXPECT_EQ(std::memcmp(&block.model.output.Item(0), &graph.model.output.Item(0), sizeof(double)), 0);
        EXPECT_EQ(std::memcmp(&block.model.fir_output.Item(0), &graph.model.fir_output.Item(0), sizeof(double)), 0);
    }
}

TEST(BlockPath, EverySettingAtEverySampleRateMatchesTheGraphBitForBit) {
    std::mt19937 generator(2024);
    for (int samples_per_bit : {1, 2, 15, 16, 32, 300}) {
        // Long enough to run through both pre-emphasis lines (two and three
        // bits) and the whole response filter (five bits) more than once.
        const auto spb = static_cast<std::size_t>(samples_per_bit);
        const std::size_t length = 400 + 9 * spb;
        for (int emphasis = 0; emphasis < 7; ++emphasis) {
            for (int response = 0; response < 9; ++response) {
                // At 300 samples per bit the graph runs 1,500 taps a sample:
                // there each response and each emphasis setting once.
                if (samples_per_bit == 300 && emphasis != response % 7) continue;
                const std::vector<double> wave = RandomWave(length, generator);
                std::vector<std::size_t> calls = RandomCalls(8, length, generator);
                calls.insert(calls.begin() + 2, length / 3);  // one long call in every stream
                ExpectBlockPathsMatchTheGraph({emphasis, response, samples_per_bit}, wave, calls);
                if (HasFatalFailure()) return;
            }
        }
    }
}

TEST(BlockPath, CallsFromOneSampleToAHundredThousandMixInOneStream) {
    std::mt19937 generator(77);
    for (const Settings settings : {Settings{6, 8, 16}, Settings{3, 1, 1}}) {
        std::vector<std::size_t> calls = RandomCalls(12, 100000, generator);
        calls.insert(calls.begin() + 3, {100000, 1, 2, 31, 32, 33, 2049});
        std::size_t total = 0;
        for (std::size_t n : calls) total += n;
        ExpectBlockPathsMatchTheGraph(settings, RandomWave(total, generator), calls);
    }
}

TEST(BlockPath, NonFiniteSamplesGoTheSameWay) {
    // Infinities (whose opposite sums make NaN) and NaNs, each in a wave of
    // its own; and the largest finite values, whose sums overflow.
    std::mt19937 generator(5);
    const double specials[] = {std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN(),
                               std::numeric_limits<double>::max(), std::numeric_limits<double>::denorm_min()};
    for (double special : specials) {
        std::vector<double> wave = RandomWave(3000, generator);
        for (std::size_t k = 100; k < wave.size(); k += 397) wave[k] = k % 2 != 0 ? special : -special;
        ExpectBlockPathsMatchTheGraph({4, 6, 16}, wave, {1000, 7, 1500, 493});
    }
}

TEST(BlockPath, ANewSetupMidStreamContinuesFromTheSameHistory) {
    // Switching the response brings the newly selected filter up to date
    // from the record of recent inputs, which the block path keeps as the
    // graph does; a pass with no valid selection goes through the graph.
    std::mt19937 generator(9);
    const std::vector<double> wave = RandomWave(9000, generator);
    auto run = [&](WavePath path) {
        Model m({5, 8, 16}, path);
        std::vector<double> out(wave);
        struct Step {
            double vreg, corner;
            std::size_t end;
        };
        const Step steps[] = {{2, 2, 3000}, {0, 1, 3050}, {3, 1, 3200}, {1, 0, 6100}, {2, 2, 9000}};
        std::size_t at = 0;
        testing::internal::CaptureStderr();
        for (const Step& step : steps) {
            m.model.Vreg = step.vreg;
            m.model.corner = step.corner;
            EXPECT_TRUE(m.model.Setup());
            const bool selectable = step.vreg <= 2;
            EXPECT_EQ(m.Filter(out.data() + at, step.end - at), selectable);
            at = step.end;
        }
        const std::string printed = testing::internal::GetCapturedStderr();
        EXPECT_NE(printed.find("Control input signal value is equal to 3."), std::string::npos);
        return out;
    };
    const std::vector<double> want = run(WavePath::Graph);
    for (WavePath path : BlockPaths()) ExpectSameBits(run(path), want, Describe({5, 8, 16}, path));
}

TEST(BlockPath, ARestartAndANewRateWithoutInitializeGoTheGraphsWay) {
    // Finalize and Initialize start the waveform afresh; a new
    // samples-per-bit count without Initialize (outside the contract) keeps
    // the pre-emphasis lines and resizes only the selected response filter.
    std::mt19937 generator(12);
    const std::vector<double> wave = RandomWave(6000, generator);
    auto run = [&](WavePath path) {
        Model m({2, 5, 16}, path);
        std::vector<double> out(wave);
        EXPECT_TRUE(m.Filter(out.data(), 2500));
        EXPECT_TRUE(m.model.Finalize());
        EXPECT_TRUE(m.model.Initialize());
        EXPECT_TRUE(m.Filter(out.data() + 2500, 2000));
        m.model.samples_per_bit = 24.0;
        EXPECT_TRUE(m.model.Setup());
        EXPECT_TRUE(m.Filter(out.data() + 4500, 1500));
        return out;
    };
    const std::vector<double> want = run(WavePath::Graph);
    for (WavePath path : BlockPaths()) ExpectSameBits(run(path), want, Describe({2, 5, 16}, path));
}

TEST(BlockPath, LeavesToTheGraphWhatOnlyTheGraphCanAnswer) {
    std::vector<double> wave(500, 0.25);
    {
        // Out of range: the multiplexers fail and report on every Run.
        Model m({1, 8, 16}, WavePath::Automatic);
        m.model.Vreg = 2.6;
        ASSERT_TRUE(m.model.Setup());
        EXPECT_EQ(m.model.RunBlock(wave.data(), wave.size()), 0u);
    }
    {
        // A failed Setup (emphasis beyond the table) and a model never
        // initialised.
        Model m({1, 8, 16}, WavePath::Automatic);
        m.model.emphasis = 7;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(m.model.Setup());
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(m.model.RunBlock(wave.data(), wave.size()), 0u);
        korvan_tx fresh;
        EXPECT_EQ(fresh.RunBlock(wave.data(), wave.size()), 0u);
    }
    {
        // Forced onto the graph, and blocks too short to be worth it; the
        // last sample is always the graph's.
        Model graph({1, 8, 16}, WavePath::Graph);
        EXPECT_EQ(graph.model.RunBlock(wave.data(), wave.size()), 0u);
        Model block({1, 8, 16}, WavePath::Automatic);
        EXPECT_EQ(block.model.RunBlock(wave.data(), 1), 0u);
        EXPECT_EQ(block.model.RunBlock(wave.data(), wave.size()), wave.size() - 1);
    }
    for (double v : wave) EXPECT_TRUE(std::isfinite(v));
}

}  // namespace
