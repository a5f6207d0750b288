// Crosstalk: aggressor paths from a multi-port network, the aggressor
// columns of AMI_Init's impulse matrix up to each model's
// Max_Init_Aggressors, the statistical eye with independent aggressor
// streams against a direct enumeration, and the time-domain flow with an
// aggressor that repeats the victim's own pattern.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/channel/aggressor_paths.h"
#include "tools/amisim/channel/channel_impulse.h"
#include "tools/amisim/channel/touchstone.h"
#include "tools/amisim/channel/line_model.h"
#include "tools/amisim/eye/crossing_jitter.h"
#include "tools/amisim/eye/crosstalk_cursors.h"
#include "tools/amisim/eye/stat_eye.h"
#include "tools/amisim/flows/crosstalk.h"
#include "tools/amisim/flows/impairments.h"
#include "tools/amisim/flows/link_run.h"
#include "tools/amisim/flows/prbs.h"
#include "tools/amisim/models/link_model.h"

using namespace amisim;

namespace {

constexpr int kPerBit = 16;
constexpr double kBitTime = 1.0 / 10.8e9;
constexpr double kInterval = kBitTime / kPerBit;

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const AmisimError& e) {
        return e.what();
    }
    return "";
}

void Ignore(const std::string&) {}

// An RC edge of `tau` unit intervals, scaled by `gain`.
std::vector<double> RcTaps(double tau, double gain, int delay_samples = 8) {
    std::vector<double> taps(static_cast<std::size_t>(delay_samples), 0.0);
    double previous = 0.0;
    for (int n = 0; n < 10 * kPerBit; ++n) {
        const double step = 1.0 - std::exp(-n / (tau * kPerBit));
        taps.push_back(gain * (step - previous));
        previous = step;
    }
    return taps;
}

AggressorPath Path(std::vector<double> taps, const std::string& kind = "fext") {
    AggressorPath path;
    path.kind = kind;
    path.source = "test";
    path.taps = std::move(taps);
    return path;
}

LinkSettings Link(std::size_t bits) {
    LinkSettings settings;
    settings.bits = bits;
    settings.samples_per_bit = kPerBit;
    settings.bit_rate = 1.0 / kBitTime;
    settings.block_samples = 1000;
    settings.ignore_bits = 20;
    settings.ber = 1e-6;
    return settings;
}

class CrosstalkFiles : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("amisim_xtalk_" + std::to_string(::getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    // A recorder model whose .ami declares `aggressors` (none: no
    // Max_Init_Aggressors at all) and whether it returns its impulse.
    LinkModel Recorder(const std::string& role, std::optional<int> aggressors, bool returns_impulse) {
        const std::filesystem::path ami = folder_ / (role + "_recorder.ami");
        std::ofstream out(ami);
        out << "(matrix_recorder (Reserved_Parameters\n"
            << "  (Init_Returns_Impulse (Usage Info) (Type Boolean) (Default " << (returns_impulse ? "True" : "False")
            << "))\n  (GetWave_Exists (Usage Info) (Type Boolean) (Default True))\n";
        if (aggressors) out << "  (Max_Init_Aggressors (Usage Info) (Type Integer) (Default " << *aggressors << "))\n";
        out << ") (Model_Specific (gain (Usage In) (Type Float) (Default 1))))\n";
        out.close();
        return LoadLinkModel({role, AMISIM_RECORDER_MODEL, ami.string(), "", "", {}});
    }

    std::filesystem::path folder_;
};

// An 8-port whose aggressor lane 5,6 -> 7,8 couples into the victim's
// outputs 3,4 with known terms: with matched ends its crosstalk is the
// mixed-mode transfer of exactly those, and the victim's through is
// untouched by the aggressor lane's ends.
TEST_F(CrosstalkFiles, AggressorsFromTheVictimsNetworkAreItsMixedModeTransfers) {
    TouchstoneData data;
    data.ports = 8;
    data.reference_ohms.assign(8, 50.0);
    const LineParameters line{};
    for (double f = 50e6; f <= 0.5 / kInterval + 1; f += 50e6) {
        const std::complex<double> h = LineResponse(line, f);
        std::vector<std::complex<double>> s(64, 0.0);
        const auto set = [&](int row, int column, std::complex<double> v) {
            s[static_cast<std::size_t>((row - 1) * 8 + column - 1)] = v;
        };
        set(3, 1, h);
        set(4, 2, h);
        set(3, 5, 0.10 * h);
        set(4, 6, 0.06 * h);
        set(3, 6, -0.02 * h);
        set(7, 5, h);
        set(8, 6, h);
        data.frequencies.push_back(f);
        data.s.insert(data.s.end(), s.begin(), s.end());
    }
    const std::string file = (folder_ / "eight.s8p").string();
    {
        std::ofstream out(file);
        WriteTouchstone(out, data, "GHz", TouchstoneFormat::kRealImaginary);
    }
    NetworkAggressors network = AggressorsFromNetwork(file, "1,2,3,4", {"fext:5,6,7,8"}, AnalogEnds{}, kInterval);
    // The same aggressor driven on one leg (lanes never share a port).
    NetworkAggressors single = AggressorsFromNetwork(file, "1,2,3,4", {"NEXT:5,7"}, AnalogEnds{}, kInterval);
    ASSERT_EQ(network.aggressors.size(), 1u);
    ASSERT_EQ(single.aggressors.size(), 1u);
    network.aggressors.push_back(single.aggressors[0]);
    FrequencyResponse line_response;
    line_response.frequencies = data.frequencies;
    for (double f : data.frequencies) line_response.values.push_back(LineResponse(line, f));
    const std::vector<double> reference = ImpulseFromResponse(line_response, kInterval, "line").taps;
    ASSERT_EQ(network.aggressors[0].taps.size(), reference.size());
    ASSERT_EQ(network.victim_taps.size(), reference.size());
    for (std::size_t n = 0; n < reference.size(); ++n) {
        // SDD = (0.10 - (-0.02) - 0 + 0.06) / 2 of the line; one leg: S(3,5) - S(4,5).
        EXPECT_NEAR(network.aggressors[0].taps[n], 0.09 * reference[n], 1e-9) << n;
        EXPECT_NEAR(network.aggressors[1].taps[n], 0.10 * reference[n], 1e-9) << n;
        EXPECT_NEAR(network.victim_taps[n], reference[n], 1e-9) << n;
    }
    EXPECT_EQ(network.aggressors[0].kind, "fext");
    EXPECT_EQ(network.aggressors[1].kind, "next");
    EXPECT_NE(ErrorOf([&] { AggressorsFromNetwork(file, "1,2,3,4", {"5,6,7,8"}, AnalogEnds{}, kInterval); })
                  .find("next:PORTS"),
              std::string::npos);
    EXPECT_NE(ErrorOf([&] { AggressorsFromNetwork(file, "1,2,3,4", {"fext:"}, AnalogEnds{}, kInterval); })
                  .find("next:PORTS"),
              std::string::npos);
    // A lane on the victim's ports is no aggressor.
    EXPECT_FALSE(ErrorOf([&] { AggressorsFromNetwork(file, "1,2,3,4", {"fext:5,6,3,4"}, AnalogEnds{}, kInterval); })
                     .empty());
    EXPECT_NE(ErrorOf([&] { AggressorsFromNetwork("", "1,2,3,4", {"fext:5,6,7,8"}, AnalogEnds{}, kInterval); })
                  .find("--channel"),
              std::string::npos);
    const AggressorPath own = LoadAggressorChannel("next:" + file + ":5,6,3,4", AnalogEnds{}, kInterval);
    EXPECT_EQ(own.kind, "next");
    EXPECT_EQ(own.taps.size(), network.aggressors[0].taps.size());
    for (std::size_t n = 0; n < own.taps.size(); ++n) EXPECT_NEAR(own.taps[n], network.aggressors[0].taps[n], 1e-12);
    EXPECT_EQ(LoadAggressorChannel(file + ":5,3", AnalogEnds{}, kInterval).kind, "unspecified");
}

TEST(AggressorPatterns, SeedsStartTheRegisterApartAndZeroIsTheVictims) {
    PrbsGenerator victim(15), same(15, 0), one(15, 1), again(15, 1), two(15, 2);
    const std::vector<std::uint8_t> v = victim.Generate(2000), s = same.Generate(2000);
    const std::vector<std::uint8_t> a = one.Generate(2000), b = again.Generate(2000), c = two.Generate(2000);
    EXPECT_EQ(v, s);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, v);
    EXPECT_NE(a, c);
    // Still the same maximal-length pattern: every run obeys the recurrence.
    for (std::size_t n = 15; n < a.size(); ++n) EXPECT_EQ(a[n], a[n - 15] ^ a[n - 14]) << n;
    CrosstalkSetup setup;
    setup.seeds = {7};
    EXPECT_EQ(setup.Seed(0), 7u);
    EXPECT_EQ(setup.Seed(1), 2u);
}

// Max_Init_Aggressors 2 with four aggressors: the Tx sees three columns,
// through first and aggressors in order; a receiver declaring 0 sees one,
// and one declaring none at all sees one as well.
TEST_F(CrosstalkFiles, InitMatrixHoldsAsManyAggressorColumnsAsEachModelDeclares) {
    const LinkModel tx = Recorder("Tx", 2, false);
    Channel channel;
    channel.taps = RcTaps(0.5, 1.0);
    LinkSettings settings = Link(400);
    for (double gain : {0.1, 0.2, 0.3, 0.4}) settings.crosstalk.aggressors.push_back(Path(RcTaps(0.5, gain)));
    for (const std::optional<int> declared : {std::optional<int>(0), std::optional<int>()}) {
        const LinkModel rx = Recorder("Rx", declared, false);
        const LinkRun run = RunLink(tx, &rx, channel, settings, {}, {}, Ignore);
        EXPECT_NE(run.tx_message.find("aggressors 2 gains 1 0.1 0.2"), std::string::npos) << run.tx_message;
        EXPECT_EQ(run.tx_message.find("0.3"), std::string::npos) << run.tx_message;
        EXPECT_NE(run.rx_message.find("aggressors 0 gains 1"), std::string::npos) << run.rx_message;
        EXPECT_EQ(run.crosstalk.tx_columns, 2u);
        EXPECT_EQ(run.crosstalk.rx_columns, 0u);
        ASSERT_EQ(run.crosstalk.aggressors.size(), 4u);
    }
}

// A receiver that returns its impulse equalises the columns it was given
// (this one doubles them); the rest go through its response to the
// through, which doubles them too, and a note says so. One that does not
// return its impulse shapes crosstalk by its step response (here none).
TEST_F(CrosstalkFiles, ReceiverEqualisesTheColumnsItWasGivenAndTheRestByItsResponse) {
    const LinkModel tx = Recorder("Tx", 0, false);
    Channel channel;
    channel.taps = RcTaps(0.5, 1.0);
    LinkSettings settings = Link(400);
    settings.crosstalk.aggressors = {Path(RcTaps(0.5, 0.1)), Path(RcTaps(0.5, 0.1))};
    const LinkModel plain_rx = Recorder("Rx", 1, false);
    const LinkRun plain = RunLink(tx, &plain_rx, channel, settings, {}, {}, Ignore);
    const LinkModel rx = Recorder("Rx", 1, true);
    const LinkRun run = RunLink(tx, &rx, channel, settings, {}, {}, Ignore);
    ASSERT_EQ(run.crosstalk.aggressors.size(), 2u);
    EXPECT_NE(run.rx_message.find("aggressors 1 gains 1 0.1"), std::string::npos) << run.rx_message;
    for (std::size_t i = 0; i < 2; ++i)
        EXPECT_NEAR(run.crosstalk.aggressors[i].rms_mv, 2.0 * plain.crosstalk.aggressors[i].rms_mv, 1e-6) << i;
    EXPECT_TRUE(std::any_of(run.notes.begin(), run.notes.end(), [](const std::string& note) {
        return note.find("took 1 of the 2") != std::string::npos;
    }));
}

// The interference at one phase of a pulse, enumerated over every bit
// pattern: the BER quantile the eye's edge sits at.
double EnumeratedQuantile(const std::vector<double>& weights, double ber) {
    std::vector<double> sums{0.0};
    for (double w : weights) {
        std::vector<double> next;
        next.reserve(sums.size() * 2);
        for (double s : sums) {
            next.push_back(s + w);
            next.push_back(s - w);
        }
        sums.swap(next);
    }
    std::sort(sums.begin(), sums.end());
    return sums[static_cast<std::size_t>(std::floor(ber * static_cast<double>(sums.size())))];
}

// An aggressor whose crosstalk pulse is the victim's scaled by k is a
// second independent stream of amplitude k: the eye height at the BER is
// the one a direct enumeration of both streams' bits gives.
TEST(CrosstalkStatisticalEye, ScaledVictimPathIsASecondIndependentStream) {
    const int per_bit = 8;
    // A symmetric pulse, so its peak is both its worst crosstalk phase and
    // the centre of the victim's eye.
    std::vector<double> pulse(49);
    for (std::size_t n = 0; n < pulse.size(); ++n) {
        const double x = (static_cast<double>(n) - 24.0) / 9.0;
        pulse[n] = std::exp(-x * x);
    }
    const double k = 0.3;
    std::vector<double> scaled(pulse);
    for (double& v : scaled) v *= k;
    const CrosstalkCursors cursors = WorstPhaseCursors(scaled, per_bit);
    EXPECT_EQ(cursors.phase, 0);  // 24 is a multiple of 8: the peak
    StatEyeSettings settings;
    settings.samples_per_bit = per_bit;
    settings.ber = 1e-2;
    settings.crosstalk_cursors = cursors.cursors;
    const StatisticalEye eye = ComputeStatisticalEye(pulse, settings);
    settings.crosstalk_cursors.clear();
    const StatisticalEye alone = ComputeStatisticalEye(pulse, settings);

    // Both streams' weights at the peak: the victim's other cursors and all
    // of the aggressor's, +-0.5 V bits.
    std::vector<double> weights;
    for (std::size_t n = 0; n < pulse.size(); n += per_bit) {
        if (n != 24) weights.push_back(0.5 * pulse[n]);
        weights.push_back(0.5 * k * pulse[n]);
    }
    const double direct = 2.0 * (0.5 * pulse[24] + EnumeratedQuantile(weights, settings.ber));
    ASSERT_EQ(eye.centre_phase, static_cast<int>(eye.phases / 2));
    const double bin = (eye.v_high - eye.v_low) / static_cast<double>(eye.bins);
    EXPECT_NEAR(eye.eye_height, direct, 3 * bin) << "bin " << bin;
    EXPECT_LT(eye.eye_height, alone.eye_height - 0.1);
    EXPECT_NEAR(eye.worst_case_height, alone.worst_case_height - 2.0 * 0.5 * cursors.peak, 1e-9);
}

// With the victim's own seed, an aggressor whose path is the victim's
// scaled by k adds k times the victim's wave, sample for sample; with a
// seed of its own it does not.
TEST_F(CrosstalkFiles, AggressorOnTheVictimsSeedAddsKTimesTheVictimsWave) {
#ifdef AMISIM_HAVE_KORVAN_TX
    const LinkModel tx = LoadLinkModel({"Tx", AMISIM_PACKAGE_DIR "/korvan_tx.ibs", "", "", "", {"emphasis=3"}});
#else
    const LinkModel tx = LoadLinkModel({"Tx", AMISIM_PASSTHROUGH_MODEL, "", "", "passthrough", {}});
#endif
    Channel channel;
    channel.taps = RcTaps(1.5, 1.0);
    LinkSettings settings = Link(1500);
    std::vector<double> victim;
    const auto keep = [](std::vector<double>& into) {
        return [&into](const StageBlock& block) { into.insert(into.end(), block.channel, block.channel + block.count); };
    };
    const LinkRun alone = RunLink(tx, nullptr, channel, settings, {}, {}, Ignore, keep(victim));

    std::vector<double> scaled = channel.taps;
    for (double& t : scaled) t *= 0.5;  // a power of two: every product is exact
    settings.crosstalk.aggressors = {Path(scaled)};
    settings.crosstalk.seeds = {0};
    std::vector<double> with, crosstalk;
    const LinkRun same = RunLink(tx, nullptr, channel, settings, {}, {}, Ignore, [&](const StageBlock& block) {
        ASSERT_NE(block.crosstalk, nullptr);
        with.insert(with.end(), block.channel, block.channel + block.count);
        crosstalk.insert(crosstalk.end(), block.crosstalk, block.crosstalk + block.count);
    });
    ASSERT_EQ(with.size(), victim.size());
    for (std::size_t n = 0; n < victim.size(); ++n) {
        ASSERT_EQ(crosstalk[n], 0.5 * victim[n]) << n;
        ASSERT_EQ(with[n], victim[n] + 0.5 * victim[n]) << n;
    }
    EXPECT_NEAR(same.time_domain.eye.eye_height, 1.5 * alone.time_domain.eye.eye_height, 1e-9);

    settings.crosstalk.seeds.clear();
    std::vector<double> independent;
    const LinkRun own = RunLink(tx, nullptr, channel, settings, {}, {}, Ignore, keep(independent));
    std::size_t differing = 0;
    for (std::size_t n = 0; n < victim.size(); ++n) differing += independent[n] != with[n];
    EXPECT_GT(differing, victim.size() / 4);
    EXPECT_LT(own.time_domain.eye.eye_height, alone.time_domain.eye.eye_height);
    EXPECT_GT(own.crosstalk.aggressors[0].rms_mv, 0.0);
}

// With Tx jitter, an aggressor's edges jitter as much as the victim's,
// with draws of their own: on the victim's pattern its wave is no longer
// the victim's sample for sample.
TEST_F(CrosstalkFiles, AggressorEdgesCarryTheTxJitterWithDrawsOfTheirOwn) {
    const LinkModel tx = LoadLinkModel({"Tx", AMISIM_PASSTHROUGH_MODEL, "", "", "passthrough", {}});
    Channel channel;
    channel.taps = {1.0};
    LinkSettings settings = Link(6000);
    settings.impairments.values["tx_rj"] = ParseTimeText("0.05UI", "--tx-rj");
    settings.crosstalk.aggressors = {Path({0.5})};
    settings.crosstalk.seeds = {0};
    std::vector<double> victim, crosstalk;
    CrossingMeter victim_edges(kPerBit, 0.0, 0), aggressor_edges(kPerBit, 0.0, 0);
    RunLink(tx, nullptr, channel, settings, {}, {}, Ignore, [&](const StageBlock& block) {
        victim.insert(victim.end(), block.tx, block.tx + block.count);
        crosstalk.insert(crosstalk.end(), block.crosstalk, block.crosstalk + block.count);
        victim_edges.Add(block.tx, block.count);
        aggressor_edges.Add(block.crosstalk, block.count);
    });
    const CrossingJitter mine = victim_edges.Finish(), theirs = aggressor_edges.Finish();
    EXPECT_NEAR(theirs.rms_ui, 0.05, 0.005);
    EXPECT_NEAR(theirs.rms_ui, mine.rms_ui, 0.005);
    std::size_t differing = 0;
    for (std::size_t n = 0; n < victim.size(); ++n) differing += crosstalk[n] != 0.5 * victim[n];
    // Nearly every edge lands elsewhere: about one sample in 32 differs.
    EXPECT_GT(differing, victim.size() / 64);
}

}  // namespace
