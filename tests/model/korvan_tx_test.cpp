// The transmitter model driven sample by sample, against the pre-emphasis
// formula and an independent computation of the driver stage.

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "model/korvan_tx.h"
#include "reference_driver.h"

namespace {

constexpr double kBitTime = 9.259259259259259e-11;

struct Settings {
    double emphasis = 0.0;
    double vreg = 2.0;
    double corner = 2.0;
    double samples_per_bit = 16.0;
};

struct Trace {
    std::vector<double> output;
    std::vector<double> fir_output;
    bool ok = true;
};

// A model with its three ports attached to cells of the harness.
class Harness {
public:
    explicit Harness(const Settings& settings = {}) {
        model.emphasis = settings.emphasis;
        model.Vreg = settings.vreg;
        model.corner = settings.corner;
        model.samples_per_bit = settings.samples_per_bit;
        model.bit_time = kBitTime;
        model.input.Attach(&input_cell, 1, 1, 0);
        model.output.Attach(&output_cell, 1, 1, 0);
        model.fir_output.Attach(&fir_output_cell, 1, 1, 0);
    }

    bool Start() { return model.Setup() && model.Initialize(); }

    Trace Feed(const std::vector<double>& x) {
        Trace trace;
        for (double sample : x) {
            model.input.Item(0) = sample;
            trace.ok = model.Run() && trace.ok;
            trace.output.push_back(model.output.Item(0));
            trace.fir_output.push_back(model.fir_output.Item(0));
        }
        return trace;
    }

    korvan_tx model;

private:
    double input_cell = 0.0;
    double output_cell = 0.0;
    double fir_output_cell = 0.0;
};

std::vector<double> RandomWave(std::size_t n, unsigned seed) {
    std::mt19937 generator(seed);
    std::uniform_real_distribution<double> level(-1.0, 1.0);
    std::vector<double> x(n);
    for (double& v : x) v = level(generator);
    return x;
}

// What the two taps and the adder make of the input.
std::vector<double> Equalised(const std::vector<double>& x, int emphasis_index, std::size_t n) {
    const double post[] = {0.0, -0.05555, -0.1111, -0.18889, -0.255555, -0.305555, -0.36665};
    const double c = post[emphasis_index];
    std::vector<double> y(x.size());
    for (std::size_t k = 0; k < x.size(); ++k) {
        const double main = k < n ? 0.0 : 2.0 * (1.0 - std::fabs(c)) * x[k - n];
        const double late = k < 2 * n ? 0.0 : 2.0 * c * x[k - 2 * n];
        y[k] = late + main;
    }
    return y;
}

void ExpectDriverOutput(const std::vector<double>& output, const std::vector<double>& equalised, int response,
                        double samples_per_bit) {
    const reference::Convolved want =
        reference::Convolve(reference::DriverTaps(response, samples_per_bit / kBitTime), equalised);
    for (std::size_t k = 0; k < output.size(); ++k) {
        ASSERT_LE(std::fabs(output[k] - want.value[k]), 1e-12 * want.scale[k])
            << "sample " << k << ": " << output[k] << " against " << want.value[k];
    }
}

std::string MuxMessage(int control) {
    return "Control input signal value is equal to " + std::to_string(control) +
           ".  There are 3 inputs connected.  The valid control input range is [0,2].\n";
}

TEST(KorvanTx, DefaultsDoubleTheInputOneBitLateThroughResponseEight) {
    Harness harness;
    ASSERT_TRUE(harness.Start());
    const std::vector<double> x = RandomWave(400, 1);
    const Trace trace = harness.Feed(x);
    ASSERT_TRUE(trace.ok);
    for (std::size_t k = 0; k < x.size(); ++k) {
        ASSERT_EQ(trace.fir_output[k], k < 16 ? 0.0 : 2.0 * x[k - 16]) << "sample " << k;
    }
    ExpectDriverOutput(trace.output, trace.fir_output, 8, 16.0);
}

TEST(KorvanTx, VregAndCornerSelectTheirResponse) {
    struct Case {
        double vreg, corner;
        int response;
    };
    // Each value is rounded to the nearest index, halves away from zero.
    const Case cases[] = {{0, 0, 0}, {0, 1, 1}, {0, 2, 2}, {1, 0, 3}, {1, 1, 4}, {1, 2, 5},
                          {2, 0, 6}, {2, 1, 7}, {1.5, 2, 8}, {-0.4, 0.49, 0}, {0.5, -0.4, 3}};
    const std::vector<double> x = RandomWave(300, 2);
    for (const Case& c : cases) {
        SCOPED_TRACE("Vreg " + std::to_string(c.vreg) + ", corner " + std::to_string(c.corner));
        Harness harness({3.0, c.vreg, c.corner});
        ASSERT_TRUE(harness.Start());
        const Trace trace = harness.Feed(x);
        ASSERT_TRUE(trace.ok);
        const std::vector<double> equalised = Equalised(x, 3, 16);
        ASSERT_EQ(trace.fir_output, equalised);
        ExpectDriverOutput(trace.output, equalised, c.response, 16.0);
    }
}

TEST(KorvanTx, ResponsesTwoAndFiveGiveTheSameOutput) {
    const std::vector<double> x = RandomWave(200, 3);
    Harness two({1.0, 0.0, 2.0});
    Harness five({1.0, 1.0, 2.0});
    ASSERT_TRUE(two.Start());
    ASSERT_TRUE(five.Start());
    EXPECT_EQ(two.Feed(x).output, five.Feed(x).output);
}

TEST(KorvanTx, ZeroInGivesExactlyZeroOut) {
    Harness harness({6.0, 0.0, 1.0});
    ASSERT_TRUE(harness.Start());
    const Trace trace = harness.Feed(std::vector<double>(300, 0.0));
    for (std::size_t k = 0; k < 300; ++k) {
        ASSERT_EQ(trace.output[k], 0.0);
        ASSERT_EQ(trace.fir_output[k], 0.0);
    }
}

TEST(KorvanTx, SettlesAtTwiceTheLevelTimesTheIntegral) {
    const double level = 0.75;
    Harness harness;
    ASSERT_TRUE(harness.Start());
    const Trace trace = harness.Feed(std::vector<double>(16 * 8, level));
    // After the one-bit delay and the five-bit response the output holds.
    const double settled = trace.output.back();
    EXPECT_EQ(trace.output[16 * 7], settled);
    EXPECT_NEAR(settled, 2.0 * level * 1.2012, 1e-4 * level);
}

TEST(KorvanTx, AnIndexOutOfRangeFailsEveryRunWithTheMultiplexerMessage) {
    struct Case {
        double vreg, corner;
        std::string per_run;
    };
    const Case cases[] = {
        {2.5, 2.0, MuxMessage(3) + MuxMessage(3) + MuxMessage(3)},  // all three first-stage multiplexers
        {2.0, -0.5, MuxMessage(-1)},                                // the corner multiplexer
        {-3.0, 7.0, MuxMessage(-3) + MuxMessage(-3) + MuxMessage(-3) + MuxMessage(7)},
    };
    const std::vector<double> x = RandomWave(3, 4);
    for (const Case& c : cases) {
        SCOPED_TRACE("Vreg " + std::to_string(c.vreg) + ", corner " + std::to_string(c.corner));
        Harness harness({0.0, c.vreg, c.corner});
        ASSERT_TRUE(harness.Start());
        testing::internal::CaptureStderr();
        const Trace trace = harness.Feed(x);
        const std::string printed = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(trace.ok);
        EXPECT_EQ(printed, c.per_run + c.per_run + c.per_run);
        // The pre-emphasis path does not depend on the selection.
        EXPECT_EQ(trace.fir_output, Equalised(x, 0, 16));
    }
}

TEST(KorvanTx, ANewSetupSwitchesTheResponseWithoutLosingHistory) {
    // The driver's filters all see the whole waveform, so after a switch the
    // output is the new response applied to everything since Initialize.
    const std::vector<double> x = RandomWave(400, 5);
    Harness harness;
    ASSERT_TRUE(harness.Start());
    Trace first = harness.Feed({x.begin(), x.begin() + 150});

    harness.model.Vreg = 0.0;
    harness.model.corner = 1.0;
    ASSERT_TRUE(harness.model.Setup());
    Trace second = harness.Feed({x.begin() + 150, x.begin() + 200});

    // A stretch with no valid selection, then a response that has been
    // left behind for fewer samples than it has taps.
    harness.model.Vreg = 3.0;
    ASSERT_TRUE(harness.model.Setup());
    testing::internal::CaptureStderr();
    Trace third = harness.Feed({x.begin() + 200, x.begin() + 240});
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(third.ok);
    harness.model.Vreg = 1.0;
    harness.model.corner = 0.0;
    ASSERT_TRUE(harness.model.Setup());
    Trace fourth = harness.Feed({x.begin() + 240, x.end()});
    ASSERT_TRUE(first.ok && second.ok && fourth.ok);

    const std::vector<double> equalised = Equalised(x, 0, 16);
    const std::vector<double> part_one(equalised.begin(), equalised.begin() + 200);
    std::vector<double> out_one = first.output;
    out_one.insert(out_one.end(), second.output.begin(), second.output.end());
    ExpectDriverOutput({out_one.begin(), out_one.begin() + 150}, {part_one.begin(), part_one.begin() + 150}, 8, 16.0);

    const reference::Convolved response1 =
        reference::Convolve(reference::DriverTaps(1, 16.0 / kBitTime), part_one);
    for (std::size_t k = 150; k < 200; ++k) {
        ASSERT_LE(std::fabs(out_one[k] - response1.value[k]), 1e-12 * response1.scale[k]) << "sample " << k;
    }
    const reference::Convolved response3 = reference::Convolve(reference::DriverTaps(3, 16.0 / kBitTime), equalised);
    for (std::size_t k = 240; k < 400; ++k) {
        ASSERT_LE(std::fabs(fourth.output[k - 240] - response3.value[k]), 1e-12 * response3.scale[k])
            << "sample " << k;
    }
}

TEST(KorvanTx, ANewRateWithoutInitializeStaysInsideItsStorage) {
    // Outside the contract (a new rate wants a new Initialize), but the
    // filters must not run over their delay lines; the sanitizer build
    // watches.
    Harness harness;
    ASSERT_TRUE(harness.Start());
    harness.Feed(RandomWave(100, 10));
    harness.model.samples_per_bit = 40.0;
    ASSERT_TRUE(harness.model.Setup());
    const Trace trace = harness.Feed(RandomWave(300, 11));
    EXPECT_TRUE(trace.ok);
    for (double v : trace.output) ASSERT_TRUE(std::isfinite(v));
}

TEST(KorvanTx, RepeatedSetupAndInitializeHoldOneSetOfLinks) {
    Harness harness;
    ASSERT_TRUE(harness.Start());
    harness.Feed(RandomWave(50, 6));
    // The leak checker of the sanitizer build sees the cells of the first
    // round if they are not released.
    ASSERT_TRUE(harness.Start());
    const std::set<void*> cells(harness.model.links.begin(), harness.model.links.end());
    EXPECT_EQ(cells.size(), 35u);
    EXPECT_EQ(cells.count(nullptr), 0u);

    // Initialize starts the graph from silence again.
    const std::vector<double> x = RandomWave(200, 7);
    const Trace trace = harness.Feed(x);
    ExpectDriverOutput(trace.output, Equalised(x, 0, 16), 8, 16.0);
}

TEST(KorvanTx, FinalizeReleasesEverythingAndInitializeRestarts) {
    Harness harness({2.0, 1.0, 1.0});
    ASSERT_TRUE(harness.Start());
    const std::vector<double> x = RandomWave(120, 8);
    const Trace before = harness.Feed(x);
    ASSERT_TRUE(harness.model.Finalize());
    for (void* cell : harness.model.links) EXPECT_EQ(cell, nullptr);
    EXPECT_FALSE(harness.Feed({1.0}).ok);  // nothing to run on

    ASSERT_TRUE(harness.model.Initialize());
    EXPECT_EQ(harness.Feed(x).output, before.output);
}

TEST(KorvanTx, TwoHundredSamplesPerBit) {
    Harness harness({4.0, 2.0, 2.0, 200.0});
    ASSERT_TRUE(harness.Start());
    const std::vector<double> x = RandomWave(200 * 8, 9);
    const Trace trace = harness.Feed(x);
    ASSERT_TRUE(trace.ok);
    const std::vector<double> equalised = Equalised(x, 4, 200);
    ASSERT_EQ(trace.fir_output, equalised);
    ExpectDriverOutput(trace.output, equalised, 8, 200.0);
}

TEST(KorvanTx, EmphasisIsTruncatedAndChecked) {
    for (const auto& [emphasis, index] : {std::pair{6.9, 6}, std::pair{-0.5, 0}, std::pair{2.0, 2}}) {
        Harness harness({emphasis});
        EXPECT_TRUE(harness.model.Setup());
        EXPECT_EQ(harness.model.txfir.emphasis_index, index);
    }
    for (double emphasis : {7.0, -1.0, std::nan("")}) {
        Harness harness({emphasis});
        testing::internal::CaptureStderr();
        EXPECT_FALSE(harness.model.Setup());
        EXPECT_NE(testing::internal::GetCapturedStderr().find("The valid emphasis range is [0,6]."),
                  std::string::npos);
    }
}

TEST(KorvanTx, NoSamplesPerBitFailsSetup) {
    Harness harness({0.0, 2.0, 2.0, 0.0});
    testing::internal::CaptureStderr();
    EXPECT_FALSE(harness.model.Setup());
    const std::string printed = testing::internal::GetCapturedStderr();
    std::string expected;
    for (int k = 0; k < 9; ++k) expected += "SampleRate must be > 0.0\n";
    expected += "Samples per bit must be >= 1\n";
    EXPECT_EQ(printed, expected);
}

}  // namespace
