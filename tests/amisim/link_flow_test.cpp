// The link's flows through real libraries: the time-domain flow against
// the model run directly, the streamed eye against the whole-record eye,
// the statistical pulse against a single bit sent through the same models,
// and the statistical eye against the time-domain eye.

#include <gtest/gtest.h>

#include <cmath>

#include "tools/amisim/models/ami_file.h"
#include "tools/amisim/channel/channel.h"
#include "tools/amisim/models/link_model.h"
#include "tools/amisim/flows/link_run.h"
#include "tools/amisim/channel/overlap_save.h"
#include "tools/amisim/flows/prbs.h"
#include "tools/amisim/eye/stat_eye.h"
#include "tools/amisim/flows/stimulus.h"
#include "tools/amisim/flows/time_domain_flow.h"

using namespace amisim;

namespace {

constexpr int kPerBit = 16;
constexpr double kBitTime = 1.0 / 10.8e9;
constexpr double kInterval = kBitTime / kPerBit;

TimeDomainSettings Settings(std::size_t bits, std::size_t skip) {
    TimeDomainSettings settings;
    settings.bits = bits;
    settings.samples_per_bit = kPerBit;
    settings.skip_bits = skip;
    settings.sample_interval = kInterval;
    settings.bit_time = kBitTime;
    settings.block_samples = 1000;
    return settings;
}

ModelChoice RxSpec(std::vector<std::string> params) {
    return {"Rx", AMISIM_RX_MODEL, AMISIM_RX_AMI, "", "", std::move(params)};
}

void Ignore(const std::string&) {}

// A short channel (an RC edge of half a unit interval) whose interference
// spans a few bits, so that PRBS15 holds every pattern that matters.
Channel ShortChannel() {
    Channel channel;
    const double tau = 0.5 * kBitTime;
    double previous = 0.0;
    for (int n = 0; n < 12 * kPerBit; ++n) {
        const double step = 1.0 - std::exp(-n * kInterval / tau);
        channel.taps.push_back(step - previous);
        previous = step;
    }
    channel.description = "rc";
    return channel;
}

#ifdef AMISIM_HAVE_KORVAN_TX
TEST(LinkFlow, IdealChannelWithoutRxIsTheModelsOwnOutput) {
    const AmiLibrary library(AMISIM_PACKAGE_DIR "/korvan_tx.so");
    const std::string parameters = "(korvan_tx (emphasis 4) (Vreg 2) (corner 1))";
    // The reference: one AMI_GetWave call over the whole record.
    const std::vector<std::uint8_t> bits = PrbsGenerator(7).Generate(700);
    std::vector<double> direct = NrzWaveform(bits, kPerBit);
    {
        AmiSession session(library, kInterval, kBitTime);
        ASSERT_TRUE(session.Init(parameters, 16 * kPerBit));
        ASSERT_TRUE(session.GetWave(direct.data(), static_cast<long>(direct.size())));
    }
    AmiSession session(library, kInterval, kBitTime);
    ASSERT_TRUE(session.Init(parameters, 16 * kPerBit));
    LinkStages stages;
    stages.tx = &session;
    std::vector<double> streamed;
    const TimeDomainResult result = RunTimeDomain(stages, Settings(700, 7), [&](const StageBlock& block) {
        EXPECT_EQ(block.channel, block.tx);  // an ideal channel is no stage at all
        EXPECT_EQ(block.rx, nullptr);
        streamed.insert(streamed.end(), block.tx, block.tx + block.count);
    });
    ASSERT_EQ(streamed, direct);  // sample for sample
    EyeOptions options;
    options.samples_per_bit = kPerBit;
    options.skip_bits = 7;
    const EyeMetrics eye = MeasureEye(bits, direct, options);
    EXPECT_EQ(result.eye.eye_height, eye.eye_height);
    EXPECT_EQ(result.eye.eye_width, eye.eye_width);
    EXPECT_EQ(result.eye.latency, eye.latency);
    EXPECT_FALSE(result.clock.has_value());
}
#endif

TEST(LinkFlow, StreamedEyeEqualsTheWholeRecordsEye) {
    // Through a lossy line, once with the record held whole and once with
    // only its start held and the rest folded as it streams past.
    const AmiLibrary library(AMISIM_PASSTHROUGH_MODEL);
    const Channel channel = LineChannel(LineParameters{0.2, 5.0, 4.0, 0.02}, kInterval);
    const std::size_t skip = channel.taps.size() / kPerBit + 1;
    EyeMetrics eyes[2];
    for (int streamed = 0; streamed < 2; ++streamed) {
        AmiSession session(library, kInterval, kBitTime);
        ASSERT_TRUE(session.Init("(passthrough)", 16));
        OverlapSaveConvolver convolver(channel.taps);
        LinkStages stages;
        stages.tx = &session;
        stages.channel = &convolver;
        // Long enough past the start that the streamed output is dropped
        // from the front as it is folded.
        TimeDomainSettings settings = Settings(12000, skip);
        settings.prbs = 15;
        settings.max_latency_bits = 64 + skip;
        if (streamed) settings.window_samples = 400 * kPerBit;
        const TimeDomainResult result = RunTimeDomain(stages, settings);
        eyes[streamed] = result.eye;
        EXPECT_EQ(result.window.size() < 3000u * kPerBit, streamed == 1);
        EXPECT_EQ(result.window.size() == 12000u * kPerBit, streamed == 0);
    }
    EXPECT_EQ(eyes[1].latency, eyes[0].latency);
    EXPECT_EQ(eyes[1].best_phase, eyes[0].best_phase);
    EXPECT_EQ(eyes[1].bits_measured, eyes[0].bits_measured);
    EXPECT_DOUBLE_EQ(eyes[1].eye_height, eyes[0].eye_height);
    EXPECT_DOUBLE_EQ(eyes[1].eye_width, eyes[0].eye_width);
    EXPECT_NEAR(eyes[1].upper_level, eyes[0].upper_level, 1e-12);
    EXPECT_GT(eyes[0].eye_height, 0.0);
}

TEST(LinkFlow, StatisticalPulseIsTheResponseToOneBitThroughTheSameModels) {
    // Pass-through Tx, the short channel, the stand-in Rx's CTLE (its DFE
    // off: a decision is not linear).
    const Channel channel = ShortChannel();
    const LinkModel rx = LoadLinkModel(RxSpec({"dfe=False"}));
    const std::string rx_parameters = rx.Parameters().text;

    std::vector<double> impulse(channel.taps.size() + 64 * kPerBit, 0.0);
    for (std::size_t n = 0; n < channel.taps.size(); ++n) impulse[n] = channel.taps[n] / kInterval;
    AmiSession statistical(*rx.library, kInterval, kBitTime);
    ASSERT_TRUE(statistical.Init(rx_parameters, impulse));
    std::vector<double> taps = statistical.impulse();
    for (double& t : taps) t *= kInterval;
    const std::vector<double> pulse = PulseResponse(taps, kPerBit);

    // One bit high at bit 20 against all bits low, both through the
    // convolver and a fresh Rx instance each.
    std::vector<double> responses[2];
    for (int with_bit = 0; with_bit < 2; ++with_bit) {
        std::vector<std::uint8_t> bits(120, 0);
        if (with_bit) bits[20] = 1;
        std::vector<double> wave = NrzWaveform(bits, kPerBit);
        OverlapSaveConvolver convolver(channel.taps);
        convolver.Process(wave.data(), wave.data(), wave.size());
        AmiSession session(*rx.library, kInterval, kBitTime);
        ASSERT_TRUE(session.Init(rx_parameters, impulse));
        ASSERT_TRUE(session.GetWave(wave.data(), static_cast<long>(wave.size())));
        responses[with_bit] = wave;
    }
    double peak = 0.0, error = 0.0;
    for (std::size_t n = 0; n + 20 * kPerBit < responses[0].size() && n < pulse.size(); ++n) {
        const double single_bit = responses[1][n + 20 * kPerBit] - responses[0][n + 20 * kPerBit];
        peak = std::max(peak, std::abs(pulse[n]));
        error = std::max(error, std::abs(single_bit - pulse[n]));
    }
    EXPECT_LT(error, 1e-9 * peak);
    EXPECT_GT(peak, 0.5);
}

TEST(LinkFlow, StatisticalEyeAgreesWithTheTimeDomainEye) {
    // PRBS15 over the short channel and the CTLE holds every pattern of the
    // interference that matters, so the time-domain eye reaches the worst
    // case; the statistical eye at 1e-12 lies within 1% of the main cursor.
    const LinkModel tx = LoadLinkModel({"Tx", AMISIM_PASSTHROUGH_MODEL, "", "", "passthrough", {}});
    const LinkModel rx = LoadLinkModel(RxSpec({"dfe=False"}));
    LinkSettings settings;
    settings.prbs = 15;
    settings.bits = 40000;
    const LinkRun run = RunLink(tx, &rx, ShortChannel(), settings, {}, {}, Ignore);
    ASSERT_TRUE(run.has_statistical);
    const double main = 2 * run.statistical.main_cursor;
    EXPECT_NEAR(run.statistical.eye_height_best, run.time_domain.eye.eye_height, 0.01 * main);
    EXPECT_NEAR(run.statistical.worst_case_height, run.time_domain.eye.eye_height, 0.01 * main);
    EXPECT_NEAR(run.statistical.main_cursor, run.time_domain.eye.upper_level, 0.1 * main);
    // The receiver's clock samples at its main cursor, the eye's best.
    ASSERT_TRUE(run.time_domain.clock.has_value());
    EXPECT_GT(run.time_domain.clock->ticks, 39000u);
    EXPECT_NEAR(run.time_domain.clock->Height(), run.time_domain.eye.eye_height, 0.05 * main);
    EXPECT_NE(run.notes[0].find("step"), std::string::npos);  // the pass-through Tx returns no impulse
}

TEST(LinkFlow, ATxThatReturnsItsImpulseIsChainedThroughItsInit) {
    // The stand-in's CTLE as a transmitter: Init_Returns_Impulse True, so
    // the statistical flow takes its AMI_Init's impulse, no step is driven.
    const LinkModel tx = LoadLinkModel({"Tx", AMISIM_RX_MODEL, AMISIM_RX_AMI, "", "", {"dfe=False"}});
    LinkSettings settings;
    settings.prbs = 15;
    settings.bits = 20000;
    const LinkRun run = RunLink(tx, nullptr, ShortChannel(), settings, {}, {}, Ignore);
    ASSERT_FALSE(run.notes.empty());
    EXPECT_NE(run.notes[0].find("from its AMI_Init"), std::string::npos) << run.notes[0];
    const double main = 2 * run.statistical.main_cursor;
    EXPECT_NEAR(run.statistical.worst_case_height, run.time_domain.eye.eye_height, 0.01 * main);
}

TEST(LinkFlow, DfeOpensTheEyeInBothFlowsAndReportsItsTap) {
    const LinkModel tx = LoadLinkModel({"Tx", AMISIM_PASSTHROUGH_MODEL, "", "", "passthrough", {}});
    const Channel channel = LineChannel(LineParameters{0.5, 5.0, 4.0, 0.02}, kInterval);
    LinkSettings settings;
    settings.bits = 3000;
    double stat[2], td[2];
    for (int dfe = 0; dfe < 2; ++dfe) {
        const LinkModel rx = LoadLinkModel(RxSpec({dfe ? "dfe=True" : "dfe=False"}));
        const LinkRun run = RunLink(tx, &rx, channel, settings, {}, {}, Ignore);
        stat[dfe] = run.statistical.eye_height;
        td[dfe] = run.time_domain.eye.eye_height;
        EXPECT_EQ(run.rx_message.find("DFE tap 0.00000") == std::string::npos, dfe == 1) << run.rx_message;
    }
    EXPECT_GT(stat[1], stat[0] + 0.02);
    EXPECT_GT(td[1], td[0] + 0.02);
}

}  // namespace
