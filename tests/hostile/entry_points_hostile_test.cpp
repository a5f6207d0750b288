// The entry points under whatever a simulator might hand them: timings that
// make no sense, timings that would take gigabytes, parameter strings of any
// shape and sizes that cannot be used. Each call answers 1 or 0; none may
// crash, hang or end the process, and none may try to allocate absurd amounts
// (the sanitizer build turns such an attempt into a failure).

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "ami_driver.h"

namespace {

using hostile::kBitTime;
using hostile::ModelParameters;
using hostile::RunInstance;

constexpr char kSetupFailed[] = "Error occurred in korvan_tx::Setup(). ";
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct Timing {
    const char* what;
    double sample_interval;
    double bit_time;
};

// A timing the model cannot run on: AMI_Init fails with the Setup sentence
// and hands back a handle, every AMI_GetWave on it fails and leaves the wave
// alone, and AMI_Close frees it.
void ExpectRefused(const Timing& timing) {
    SCOPED_TRACE(timing.what);
    const std::vector<double> wave = hostile::BitPattern(8, 16, 3);
    const hostile::Run run =
        RunInstance(ModelParameters(1, 1, 1).c_str(), timing.sample_interval, timing.bit_time, wave, {5, 0, 100});
    EXPECT_EQ(run.init, 0);
    EXPECT_NE(run.message.find(kSetupFailed), std::string::npos) << run.message;
    for (long result : run.get_wave) EXPECT_EQ(result, 0);
    EXPECT_EQ(run.wave, wave);
    EXPECT_EQ(run.close, 1);
}

TEST(HostileTiming, TimesThatMakeNoSenseFailInit) {
    const Timing timings[] = {
        {"zero sample interval", 0.0, kBitTime},
        {"negative sample interval", -kBitTime / 16, kBitTime},
        {"NaN sample interval", kNaN, kBitTime},
        {"infinite sample interval", kInf, kBitTime},
        {"zero bit time", kBitTime / 16, 0.0},
        {"negative bit time", kBitTime / 16, -kBitTime},
        {"NaN bit time", kBitTime / 16, kNaN},
        {"infinite bit time", kBitTime / 16, kInf},
        {"both negative zero", -0.0, -0.0},
        {"both minus infinity", -kInf, -kInf},
        {"interval above twice the bit", kBitTime * 2.5, kBitTime},
        {"more samples per bit than 32 bits hold", 1e-300, 1.0},
        {"smallest subnormal interval", std::numeric_limits<double>::denorm_min(), kBitTime},
        {"smallest normal times", std::numeric_limits<double>::min(), std::numeric_limits<double>::min()},
    };
    for (const Timing& timing : timings) ExpectRefused(timing);
}

TEST(HostileTiming, TimingsThatWouldTakeGigabytesAreRefusedAtOnce) {
    // Each of these once made AMI_Init allocate (and fill) from hundreds of
    // megabytes to tens of gigabytes of filter state.
    const Timing timings[] = {
        {"a femtosecond bit: millions of response taps", 1e-15 / 16, 1e-15},
        {"half a billion samples per bit", kBitTime / 5e8, kBitTime},
        {"two billion samples per bit", kBitTime / 2e9, kBitTime},
        {"a million samples per bit", kBitTime / 1e6, kBitTime},
    };
    // Refused by Setup before any line or tap array is sized.
    for (const Timing& timing : timings) ExpectRefused(timing);
}

TEST(HostileTiming, ExtremeButUsableTimingsRun) {
    const Timing timings[] = {
        {"one sample per bit", kBitTime, kBitTime},
        {"a one-second bit", 1.0 / 16, 1.0},
        {"the largest doubles", std::numeric_limits<double>::max(), std::numeric_limits<double>::max()},
        {"4096 samples per bit", kBitTime / 4096, kBitTime},
    };
    for (const Timing& timing : timings) {
        SCOPED_TRACE(timing.what);
        const hostile::Run run =
            RunInstance(ModelParameters(2, 1, 1).c_str(), timing.sample_interval, timing.bit_time,
                        hostile::BitPattern(4, 64, 9), {7, 300});
        EXPECT_EQ(run.init, 1) << run.message;
        for (long result : run.get_wave) EXPECT_EQ(result, 1);
        EXPECT_EQ(run.close, 1);
    }
}

TEST(HostileParameters, UnusableStringsLeaveTheDefaults) {
    const std::string deep = std::string(100000, '(') + "korvan_tx (emphasis 3)" + std::string(100000, ')');
    const std::string wide = "(korvan_tx " + std::string(1 << 20, ' ') + "(emphasis 3))";
    std::string many = "(korvan_tx";
    for (int i = 0; i < 50000; ++i) many += " (p" + std::to_string(i) + " 1)";
    many += " (emphasis 3))";
    const char binary_text[] = "(korvan_tx (emphasis \x01\x7f\xff\x80) (Vreg \"\n\r\t\") (corner ()))";
    const std::string binary(binary_text, sizeof binary_text - 1);
    const char* const texts[] = {
        "", "(", ")", ")(", "(((((", "\"", "(korvan_tx (emphasis \"3)))", "(korvan_tx (emphasis 3) (Vreg 1)",
        "(other (emphasis 3) (Vreg 1) (corner 1))", "(korvan_tx (emphasis) (Vreg) (corner))",
        "(korvan_tx (emphasis nan) (Vreg inf) (corner -inf))", "(korvan_tx (emphasis 0x3) (Vreg 1e) (corner .))",
        binary.c_str(),
    };
    const std::vector<double> wave = hostile::BitPattern(20, 16, 5);
    const hostile::Run reference = RunInstance(ModelParameters(0, 2, 2).c_str(), kBitTime / 16, kBitTime, wave);
    ASSERT_EQ(reference.init, 1);
    for (const char* text : texts) {
        SCOPED_TRACE(std::string(text).substr(0, 60));
        const hostile::Run run = RunInstance(text, kBitTime / 16, kBitTime, wave, {3, 1000});
        EXPECT_EQ(run.init, 1);
        EXPECT_NE(run.message.find("unable to initialize the parameter"), std::string::npos);
        EXPECT_EQ(run.wave, reference.wave);
        for (long result : run.get_wave) EXPECT_EQ(result, 1);
        EXPECT_EQ(run.close, 1);
    }
    // No string at all, and strings that hold the parameter among a great
    // deal else: a megabyte of blanks, fifty thousand other leaves, a
    // hundred thousand unnamed groups (which add nothing to the path).
    EXPECT_EQ(RunInstance(nullptr, kBitTime / 16, kBitTime, wave).wave, reference.wave);
    const hostile::Run emphasised = RunInstance(ModelParameters(3, 2, 2).c_str(), kBitTime / 16, kBitTime, wave);
    EXPECT_EQ(RunInstance(wide.c_str(), kBitTime / 16, kBitTime, wave).wave, emphasised.wave);
    EXPECT_EQ(RunInstance(many.c_str(), kBitTime / 16, kBitTime, wave).wave, emphasised.wave);
    EXPECT_EQ(RunInstance(deep.c_str(), kBitTime / 16, kBitTime, wave).wave, emphasised.wave);
}

TEST(HostileParameters, ValuesOutOfEveryRangeFailWithoutUndefinedConversions) {
    // Emphasis outside 0..6 makes Setup fail; a Vreg or corner outside 0..2
    // makes every AMI_GetWave fail. Huge values, values that overflow a
    // double and values beyond 32 bits must be refused the same way.
    const struct {
        const char* text;
        long init;
        long get_wave;
    } cases[] = {
        {"(korvan_tx (emphasis 7))", 0, 0},
        {"(korvan_tx (emphasis -1))", 0, 0},
        {"(korvan_tx (emphasis 1e999))", 0, 0},
        {"(korvan_tx (emphasis -1e999))", 0, 0},
        {"(korvan_tx (emphasis 4294967296.5))", 0, 0},
        {"(korvan_tx (emphasis -0.99))", 1, 1},
        {"(korvan_tx (Vreg 1e999))", 1, 0},
        {"(korvan_tx (Vreg -2147483649))", 1, 0},
        {"(korvan_tx (corner 2.5))", 1, 0},
        {"(korvan_tx (corner -1e308))", 1, 0},
        {"(korvan_tx (Vreg 2.49) (corner -0.49))", 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const hostile::Run run = RunInstance(c.text, kBitTime / 16, kBitTime, hostile::BitPattern(3, 16, 1), {10});
        EXPECT_EQ(run.init, c.init) << run.message;
        for (long result : run.get_wave) EXPECT_EQ(result, c.get_wave);
        EXPECT_TRUE(run.close == 0 || run.close == 1);
    }
}

// The same instance computed by the per-sample graph alone and by the block
// path: the same results, the same lines on the error stream, the same bits.
void ExpectBlockPathAsTheGraph(const std::string& parameters, double sample_interval,
                               const std::vector<double>& wave, const std::vector<std::size_t>& blocks) {
    testing::internal::CaptureStderr();
    const hostile::Run graph =
        RunInstance(parameters.c_str(), sample_interval, kBitTime, wave, blocks, WavePath::Graph);
    const std::string graph_errors = testing::internal::GetCapturedStderr();
    testing::internal::CaptureStderr();
    const hostile::Run block =
        RunInstance(parameters.c_str(), sample_interval, kBitTime, wave, blocks, WavePath::Automatic);
    const std::string block_errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(block.init, graph.init);
    EXPECT_EQ(block.message, graph.message);
    EXPECT_EQ(block.get_wave, graph.get_wave);
    EXPECT_EQ(block.close, graph.close);
    EXPECT_EQ(block_errors, graph_errors);
    ASSERT_EQ(block.wave.size(), graph.wave.size());
    EXPECT_EQ(std::memcmp(block.wave.data(), graph.wave.data(), graph.wave.size() * sizeof(double)), 0);
}

TEST(HostileWaves, SamplesNoSimulatorShouldSendGoTheGraphsWay) {
    // Each wave holds one kind of extreme value among ordinary bits:
    // infinities (whose opposite sums make NaN), NaNs, the largest doubles
    // (whose sums overflow), subnormals (whose products vanish).
    const double specials[] = {kInf, kNaN, std::numeric_limits<double>::max(), 1e300,
                               std::numeric_limits<double>::denorm_min()};
    for (double special : specials) {
        SCOPED_TRACE(special);
        std::vector<double> wave = hostile::BitPattern(400, 16, 17);
        for (std::size_t k = 50; k < wave.size(); k += 613) wave[k] = k % 2 != 0 ? special : -special;
        ExpectBlockPathAsTheGraph(ModelParameters(5, 1, 2), kBitTime / 16, wave, {3, 2500, 40, 1200});
    }
}

TEST(HostileWaves, ExtremeButUsableTimingsAndSelectionsGoTheGraphsWay) {
    // One sample per bit (five taps, lines of one and two samples), 1024
    // samples per bit (five thousand taps), a selection out of range (every
    // call fails and prints), a setup that fails.
    const struct {
        const char* what;
        std::string parameters;
        double sample_interval;
        std::size_t samples_per_bit;
    } cases[] = {
        {"one sample per bit", ModelParameters(6, 0, 0), kBitTime, 1},
        {"1024 samples per bit", ModelParameters(2, 2, 1), kBitTime / 1024, 1024},
        {"Vreg out of range", ModelParameters(1, 3, 1), kBitTime / 16, 16},
        {"emphasis out of range", ModelParameters(9, 1, 1), kBitTime / 16, 16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<double> wave = hostile::BitPattern(7, c.samples_per_bit, 23);
        ExpectBlockPathAsTheGraph(c.parameters, c.sample_interval, wave, {5, 33, 3000});
    }
}

TEST(HostileSizes, CallsThatCannotBeServedAreRefused) {
    std::vector<double> impulse(4, 0.0);
    std::string text = ModelParameters(1, 1, 1);
    void* handle = nullptr;
    char* msg = nullptr;
    ASSERT_EQ(AMI_Init(impulse.data(), -5, -1, kBitTime / 16, kBitTime, text.data(), nullptr, &handle, nullptr), 1);
    std::vector<double> wave(64, 0.5);
    std::vector<double> clock(64, 0.0);
    EXPECT_EQ(AMI_GetWave(wave.data(), -1, clock.data(), nullptr, handle), 0);
    EXPECT_EQ(AMI_GetWave(wave.data(), std::numeric_limits<long>::min(), clock.data(), nullptr, handle), 0);
    EXPECT_EQ(AMI_GetWave(nullptr, 10, clock.data(), nullptr, handle), 0);
    EXPECT_EQ(AMI_GetWave(wave.data(), 10, nullptr, nullptr, handle), 0);
    EXPECT_EQ(AMI_GetWave(nullptr, 0, nullptr, nullptr, handle), 1);
    EXPECT_EQ(AMI_GetWave(wave.data(), 10, clock.data(), nullptr, nullptr), 0);
    EXPECT_EQ(AMI_GetWave(wave.data(), 64, clock.data(), nullptr, handle), 1);
    EXPECT_EQ(clock[0], -1.0);
    EXPECT_EQ(AMI_Close(handle), 1);
    EXPECT_EQ(AMI_Close(nullptr), 0);
    EXPECT_EQ(AMI_Init(impulse.data(), 4, 0, kBitTime / 16, kBitTime, text.data(), nullptr, nullptr, &msg), 0);
}

}  // namespace
