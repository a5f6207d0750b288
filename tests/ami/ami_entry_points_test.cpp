// The entry points as a simulator drives them.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ami/ami_model_instance.h"
#include "ami_test_support.h"

namespace {

using amitest::Instance;
using amitest::kBitTime;
using amitest::Parameters;

const std::string kDefaultParameters = Parameters(0, 2, 2);

std::string UnreadSentence(const char* name) {
    return std::string("The IBIS-AMI model, korvan_tx, is unable to initialize the parameter ") + name +
           " from the AMI_Init arguments.  The model will use the default setting. ";
}

const korvan_tx& ModelOf(const Instance& instance) {
    return static_cast<const AmiModelInstance*>(instance.handle)->model;
}

TEST(AmiInit, ReadsTheThreeParameters) {
    Instance instance(Parameters(6, 1, 0));
    EXPECT_EQ(instance.result, 1);
    EXPECT_EQ(instance.msg, nullptr);  // nothing to say: left untouched
    EXPECT_EQ(ModelOf(instance).emphasis, 6.0);
    EXPECT_EQ(ModelOf(instance).Vreg, 1.0);
    EXPECT_EQ(ModelOf(instance).corner, 0.0);
    EXPECT_EQ(instance.parameters_out, nullptr);
}

TEST(AmiInit, MissingParametersKeepTheirDefaultsAndSaySo) {
    const std::string all_three = UnreadSentence("emphasis") + UnreadSentence("Vreg") + UnreadSentence("corner");
    for (const char* text : {"(korvan_tx)", "(korvan_tx (emphasis", "(korvan_tx (emphasis x) (Vreg two) (corner))"}) {
        SCOPED_TRACE(text);
        Instance instance(text);
        EXPECT_EQ(instance.result, 1);
        ASSERT_NE(instance.msg, nullptr);
        EXPECT_EQ(std::string(instance.msg), all_three);
        EXPECT_EQ(ModelOf(instance).emphasis, 0.0);
        EXPECT_EQ(ModelOf(instance).Vreg, 2.0);
        EXPECT_EQ(ModelOf(instance).corner, 2.0);
    }
    Instance partial("(korvan_tx (Vreg 1))");
    ASSERT_NE(partial.msg, nullptr);
    EXPECT_EQ(std::string(partial.msg), UnreadSentence("emphasis") + UnreadSentence("corner"));
    EXPECT_EQ(ModelOf(partial).Vreg, 1.0);

    void* handle = nullptr;
    char* msg = nullptr;
    EXPECT_EQ(AMI_Init(nullptr, 0, 0, kBitTime / 16, kBitTime, nullptr, nullptr, &handle, &msg), 1);
    ASSERT_NE(msg, nullptr);
    EXPECT_EQ(std::string(msg), all_three);
    EXPECT_EQ(AMI_Close(handle), 1);
}

TEST(AmiInit, RoundsSamplesPerBit) {
    // Powers of two keep the ratios exact.
    const double interval = 0x1p-40;
    struct Case {
        double ratio;
        int samples;
    };
    for (const Case& c : {Case{16.0, 16}, Case{15.5, 16}, Case{15.49, 15}, Case{200.0, 200}}) {
        Instance instance(kDefaultParameters, interval, c.ratio * interval);
        EXPECT_EQ(instance.result, 1) << c.ratio;
        const auto* record = static_cast<const AmiModelInstance*>(instance.handle);
        EXPECT_EQ(record->samples_per_bit, c.samples) << c.ratio;
        EXPECT_EQ(record->model.samples_per_bit, static_cast<double>(c.samples)) << c.ratio;
    }
}

TEST(AmiInit, LeavesTheImpulseResponseAlone) {
    Instance instance(kDefaultParameters);
    const std::vector<double> original{1.5, -2.25, 3.0, 0.125};
    EXPECT_EQ(std::memcmp(instance.impulse.data(), original.data(), sizeof(double) * original.size()), 0);
}

TEST(AmiInit, HandsBackTheHandleWhenSetupFails) {
    testing::internal::CaptureStderr();
    Instance bad_emphasis(Parameters(7, 2, 2));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Emphasis index is equal to 7.  The valid emphasis range is [0,6].\n");
    EXPECT_EQ(bad_emphasis.result, 0);
    EXPECT_NE(bad_emphasis.handle, nullptr);
    ASSERT_NE(bad_emphasis.msg, nullptr);
    EXPECT_EQ(std::string(bad_emphasis.msg), "Error occurred in korvan_tx::Setup(). ");

    // A sample interval over twice the bit time leaves no sample per bit.
    testing::internal::CaptureStderr();
    Instance no_samples(kDefaultParameters, 3 * kBitTime, kBitTime);
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(no_samples.result, 0);
    EXPECT_NE(no_samples.handle, nullptr);
    EXPECT_EQ(std::string(no_samples.msg), "Error occurred in korvan_tx::Setup(). ");
    EXPECT_NE(printed.find("SampleRate must be > 0.0"), std::string::npos);

    // Such an instance refuses to run and touches nothing.
    for (Instance* instance : {&bad_emphasis, &no_samples}) {
        std::vector<double> wave{1.0, 2.0, 3.0};
        EXPECT_EQ(instance->GetWave(wave), 0);
        EXPECT_EQ(wave, (std::vector<double>{1.0, 2.0, 3.0}));
        EXPECT_EQ(instance->clock_times[0], 42.0);
    }
}

TEST(AmiInit, NeedsSomewhereToPutTheHandle) {
    char* msg = nullptr;
    std::string text = kDefaultParameters;
    EXPECT_EQ(AMI_Init(nullptr, 0, 0, kBitTime / 16, kBitTime, text.data(), nullptr, nullptr, &msg), 0);
}

TEST(AmiGetWave, MatchesTheModelDrivenDirectly) {
    Instance instance(Parameters(2, 0, 1));
    std::vector<double> wave = amitest::BitPattern(40, 16, 11);
    const std::vector<double> input = wave;
    ASSERT_EQ(instance.GetWave(wave), 1);

    korvan_tx model;
    double in = 0.0, out = 0.0, fir = 0.0;
    model.emphasis = 2;
    model.Vreg = 0;
    model.corner = 1;
    model.input.Attach(&in, 1, 1, 0);
    model.output.Attach(&out, 1, 1, 0);
    model.fir_output.Attach(&fir, 1, 1, 0);
    ASSERT_TRUE(model.Setup() && model.Initialize());
    for (std::size_t i = 0; i < input.size(); ++i) {
        in = input[i];
        ASSERT_TRUE(model.Run());
        ASSERT_EQ(wave[i], out) << "sample " << i;
    }
}

TEST(AmiGetWave, WritesOnlyTheClockTerminator) {
    Instance instance(kDefaultParameters);
    for (std::size_t size : {0u, 1u, 16u, 1000u}) {
        std::vector<double> wave(size, 1.0);
        EXPECT_EQ(instance.GetWave(wave), 1);
        EXPECT_EQ(instance.clock_times[0], -1.0);
        for (std::size_t i = 1; i < instance.clock_times.size(); ++i) ASSERT_EQ(instance.clock_times[i], 42.0);
    }
}

TEST(AmiGetWave, SplitCallsContinueOneWaveform) {
    const std::vector<double> input = amitest::BitPattern(60, 16, 12);
    Instance whole(Parameters(4, 1, 1));
    std::vector<double> one_call = input;
    ASSERT_EQ(whole.GetWave(one_call), 1);

    Instance split(Parameters(4, 1, 1));
    std::vector<double> pieces;
    std::size_t at = 0;
    for (std::size_t size : {1u, 7u, 0u, 100u, 300u, 552u}) {
        std::vector<double> block(input.begin() + static_cast<long>(at), input.begin() + static_cast<long>(at + size));
        ASSERT_EQ(split.GetWave(block), 1);
        pieces.insert(pieces.end(), block.begin(), block.end());
        at += size;
    }
    ASSERT_EQ(at, input.size());
    EXPECT_EQ(pieces, one_call);
}

TEST(AmiGetWave, DefaultsSettleAtTwiceTheLevelTimesTheDriverGain) {
    Instance instance(kDefaultParameters);
    std::vector<double> wave(16 * 10, 1.0);
    ASSERT_EQ(instance.GetWave(wave), 1);
    EXPECT_NEAR(wave.back(), 2.4024, 1e-4);
    std::vector<double> zeros(500, 0.0);
    Instance silent(Parameters(6, 0, 0));
    ASSERT_EQ(silent.GetWave(zeros), 1);
    for (double v : zeros) ASSERT_EQ(v, 0.0);
}

TEST(AmiGetWave, ASelectionOutOfRangeFailsEveryCall) {
    struct Case {
        double vreg, corner;
        const char* printed;
    };
    const Case cases[] = {
        {2.5, 2.0, "Control input signal value is equal to 3.  There are 3 inputs connected.  "
                   "The valid control input range is [0,2].\n"},
        {2.0, -0.5, "Control input signal value is equal to -1.  There are 3 inputs connected.  "
                    "The valid control input range is [0,2].\n"},
    };
    for (const Case& c : cases) {
        Instance instance(Parameters(0, c.vreg, c.corner));
        ASSERT_EQ(instance.result, 1);
        for (int call = 1; call <= 2; ++call) {
            std::vector<double> wave{0.25, 0.5, 0.75};
            testing::internal::CaptureStderr();
            EXPECT_EQ(instance.GetWave(wave), 0);
            const std::string printed = testing::internal::GetCapturedStderr();
            // The first sample fails, so the whole block keeps its input.
            EXPECT_EQ(wave, (std::vector<double>{0.25, 0.5, 0.75}));
            EXPECT_EQ(instance.clock_times[0], -1.0);
            EXPECT_NE(printed.find(c.printed), std::string::npos);
            const std::string& message = static_cast<const AmiModelInstance*>(instance.handle)->message;
            std::string expected;
            for (int i = 0; i < call; ++i) expected += "Error occurred in korvan_tx::Run(). ";
            EXPECT_EQ(message, expected);
        }
    }
}

TEST(AmiGetWave, RejectsWhatItCannotUse) {
    Instance instance(kDefaultParameters);
    std::vector<double> wave{1.0, 2.0};
    std::vector<double> clock(4, 42.0);
    EXPECT_EQ(AMI_GetWave(wave.data(), 2, clock.data(), nullptr, nullptr), 0);
    EXPECT_EQ(AMI_GetWave(wave.data(), -1, clock.data(), nullptr, instance.handle), 0);
    EXPECT_EQ(AMI_GetWave(nullptr, 2, clock.data(), nullptr, instance.handle), 0);
    EXPECT_EQ(AMI_GetWave(wave.data(), 2, nullptr, nullptr, instance.handle), 0);
    EXPECT_EQ(wave, (std::vector<double>{1.0, 2.0}));
    EXPECT_EQ(clock, std::vector<double>(4, 42.0));
    // An empty call needs neither array.
    EXPECT_EQ(AMI_GetWave(nullptr, 0, nullptr, nullptr, instance.handle), 1);
}

TEST(AmiClose, ClosesOnceAndRefusesNothing) {
    EXPECT_EQ(AMI_Close(nullptr), 0);
    void* handle = nullptr;
    std::string text = kDefaultParameters;
    ASSERT_EQ(AMI_Init(nullptr, 0, 0, kBitTime / 16, kBitTime, text.data(), nullptr, &handle, nullptr), 1);
    EXPECT_EQ(AMI_Close(handle), 1);
}

}  // namespace
