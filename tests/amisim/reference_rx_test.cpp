// The reference receiver: its CTLE against the formula it implements, its
// ideal DFE against a pulse with the post-cursors zeroed by hand, and its
// decisions and clock in time against the statistical flow.

#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "tools/amisim/channel/channel.h"
#include "tools/amisim/eye/stat_eye.h"
#include "tools/amisim/flows/adaptation.h"
#include "tools/amisim/flows/link_run.h"
#include "tools/amisim/models/link_model.h"
#include "tools/amisim/reference_rx/ctle.h"
#include "tools/amisim/reference_rx/reference_receiver.h"
#include "tools/amisim/reference_rx/reference_rx_model.h"

using namespace amisim;

namespace {

constexpr double kBitRate = 10.8e9;
constexpr double kTwoPi = 6.283185307179586;

double Db(double ratio) { return 20.0 * std::log10(ratio); }

// The taps' own frequency response (their discrete-time transform).
std::complex<double> TapResponse(const std::vector<double>& taps, double hz, double interval) {
    std::complex<double> sum = 0.0;
    for (std::size_t n = 0; n < taps.size(); ++n)
        sum += taps[n] * std::polar(1.0, -kTwoPi * hz * interval * static_cast<double>(n));
    return sum;
}

// The largest deviation in dB of the taps' response from the formula, up
// to twice the bit rate.
double WorstDeviationDb(const CtleDesign& design, int per_bit) {
    const double interval = 1.0 / kBitRate / per_bit;
    const std::vector<double> taps = CtleTaps(design, interval, 4000);
    double worst = 0.0;
    for (double hz = 0.0; hz <= 2.0 * kBitRate; hz += kBitRate / 16)
        worst = std::max(worst, std::abs(Db(std::abs(TapResponse(taps, hz, interval))) - Db(std::abs(design.Response(hz)))));
    return worst;
}

CtleSettings Peaking(double peak_hz, double peaking_db, double bandwidth_hz, double dc_db = 0.0) {
    CtleSettings settings;
    settings.mode = CtleSettings::Mode::kPeaking;
    settings.peak_hz = peak_hz;
    settings.peaking_db = peaking_db;
    settings.bandwidth_hz = bandwidth_hz;
    settings.dc_gain_db = dc_db;
    return settings;
}

}  // namespace

TEST(ReferenceCtle, ImpulseMatchesTheFormulaUpToTwiceTheBitRate) {
    // The zero-order-hold equivalent departs from H by the hold's own
    // (w T)^2 / 24: within 0.1 dB at twice the bit rate from 24 samples a
    // unit interval on, so the check runs at 32.
    CtleSettings poles;
    poles.mode = CtleSettings::Mode::kPoles;
    poles.zero_hz = 1.2e9;
    poles.pole1_hz = 6e9;
    poles.pole2_hz = 18e9;
    poles.dc_gain_db = -3.0;
    EXPECT_LT(WorstDeviationDb(DesignCtle(poles), 32), 0.1);
    EXPECT_LT(WorstDeviationDb(DesignCtle(Peaking(5.4e9, 12.0, 20e9)), 32), 0.1);
    // Equal poles take the same path without a special case.
    poles.pole2_hz = poles.pole1_hz;
    EXPECT_LT(WorstDeviationDb(DesignCtle(poles), 32), 0.1);
}

TEST(ReferenceCtle, DcGainAndPeakWhereTheParametersPutThem) {
    const double interval = 1.0 / kBitRate / 32;
    for (const double peaking : {3.0, 9.0, 16.0}) {
        const CtleDesign design = DesignCtle(Peaking(4e9, peaking, 16e9, -2.0));
        const std::vector<double> taps = CtleTaps(design, interval, 2000);
        double dc = 0.0;
        for (double t : taps) dc += t;
        // The peak at the given gain, DC the peaking below it.
        EXPECT_NEAR(Db(dc), -2.0 - peaking, 1e-6);
        // The peak of the taps' response, found on a 10 MHz grid around it
        // (the formula has one maximum).
        double best_hz = 0.0, best = 0.0;
        for (double hz = 3e9; hz < 5e9; hz += 10e6) {
            const double magnitude = std::abs(TapResponse(taps, hz, interval));
            if (magnitude > best) best = magnitude, best_hz = hz;
        }
        EXPECT_NEAR(best_hz, 4e9, 0.04e9) << peaking;
        EXPECT_NEAR(Db(best / dc), peaking, 0.1) << peaking;
        // The formula itself is exact.
        EXPECT_NEAR(Db(std::abs(design.Response(4e9)) / std::abs(design.Response(0.0))), peaking, 1e-9);
    }
    EXPECT_THROW(DesignCtle(Peaking(20e9, 6.0, 10e9)), std::invalid_argument);
    CtleSettings off;
    off.mode = CtleSettings::Mode::kOff;
    EXPECT_EQ(CtleTaps(DesignCtle(off), interval, 3), (std::vector<double>{1.0, 0.0, 0.0}));
}

namespace {

constexpr int kPerBit = 16;
constexpr double kInterval = 1.0 / kBitRate / kPerBit;

// A channel whose interference lasts some bits: an RC edge of `ui` unit
// intervals, as an impulse in 1/s.
std::vector<double> RcImpulse(double ui, std::size_t bits) {
    std::vector<double> impulse;
    double previous = 0.0;
    for (std::size_t n = 0; n < bits * kPerBit; ++n) {
        const double step = 1.0 - std::exp(-static_cast<double>(n) / (ui * kPerBit));
        impulse.push_back((step - previous) / kInterval);
        previous = step;
    }
    return impulse;
}

std::vector<double> Pulse(const std::vector<double>& impulse) {
    std::vector<double> taps(impulse);
    for (double& t : taps) t *= kInterval;
    return PulseResponse(taps, kPerBit);
}

ReferenceRxSettings DfeOnly(int taps, double limit) {
    ReferenceRxSettings settings;
    settings.ctle.mode = CtleSettings::Mode::kOff;
    settings.dfe.taps = taps;
    settings.dfe.limit = limit;
    return settings;
}

StatisticalEye Eye(const std::vector<double>& pulse) {
    StatEyeSettings settings;
    settings.samples_per_bit = kPerBit;
    return ComputeStatisticalEye(pulse, settings);
}

void ExpectSameEye(const StatisticalEye& a, const StatisticalEye& b, double tolerance) {
    ASSERT_EQ(a.phases, b.phases);
    for (std::size_t p = 0; p < a.phases; ++p) {
        EXPECT_NEAR(a.upper[p], b.upper[p], tolerance) << p;
        EXPECT_NEAR(a.lower[p], b.lower[p], tolerance) << p;
    }
    EXPECT_NEAR(a.eye_height, b.eye_height, tolerance);
}

}  // namespace

TEST(ReferenceDfe, IdealTapsZeroThePostCursorsAtTheSamplingPhase) {
    const std::vector<double> channel = RcImpulse(1.5, 40);
    const std::vector<double> bare = Pulse(channel);
    const PulseCursors cursors = FindCursors(bare, kPerBit);
    for (const int taps : {1, 3, 6}) {
        std::vector<double> impulse = channel;
        const ReferenceReceiver receiver(DfeOnly(taps, 1.0), impulse.data(), impulse.size(), kInterval,
                                         kPerBit * kInterval);
        // By hand: the same pulse with its first post-cursors set to zero,
        // each over the unit interval around it, as feedback held for a bit.
        std::vector<double> zeroed = bare;
        for (std::size_t k = 1; k <= static_cast<std::size_t>(taps); ++k) {
            const std::size_t at = cursors.main_index + k * kPerBit;
            const double cursor = bare[at];
            for (std::size_t n = at - kPerBit / 2; n < at + kPerBit / 2; ++n) zeroed[n] -= cursor;
            EXPECT_EQ(zeroed[at], 0.0);
        }
        const std::vector<double> equalised = Pulse(impulse);
        for (std::size_t k = 1; k <= static_cast<std::size_t>(taps); ++k)
            EXPECT_NEAR(equalised[cursors.main_index + k * kPerBit], 0.0, 1e-12);
        ExpectSameEye(Eye(equalised), Eye(zeroed), 1e-6);
        ASSERT_EQ(receiver.zero_forcing_taps().size(), static_cast<std::size_t>(taps));
        EXPECT_NEAR(receiver.zero_forcing_taps()[0], 0.5 * cursors.post[0], 1e-12);
    }
    // A tap held by its range leaves the rest of its cursor.
    const double limit = 0.5 * 0.5 * (cursors.post[0] + cursors.post[1]);
    ASSERT_GT(0.5 * cursors.post[0], limit);
    ASSERT_LT(0.5 * cursors.post[1], limit);
    std::vector<double> impulse = channel;
    const ReferenceReceiver limited(DfeOnly(2, limit), impulse.data(), impulse.size(), kInterval, kPerBit * kInterval);
    EXPECT_DOUBLE_EQ(limited.zero_forcing_taps()[0], limit);
    const PulseCursors after = FindCursors(Pulse(impulse), kPerBit);
    EXPECT_NEAR(after.post[0], cursors.post[0] - limit / 0.5, 1e-12);
    EXPECT_NEAR(after.post[1], 0.0, 1e-12);
    EXPECT_NEAR(after.post[2], cursors.post[2], 1e-12);
}

namespace {

void Ignore(const std::string&) {}

LinkModel Reference(std::vector<std::string> params) {
    return LoadLinkModel({"Rx", kReferenceRxName, "", "", "", std::move(params)});
}

LinkSettings Link(std::size_t bits, int prbs) {
    LinkSettings settings;
    settings.bits = bits;
    settings.prbs = prbs;
    settings.samples_per_bit = kPerBit;
    settings.bit_rate = kBitRate;
    return settings;
}

}  // namespace

TEST(ReferenceDfe, TimeDomainEyeWithZeroForcingTapsIsTheStatisticalOne) {
    // An RC channel whose interference fades within fifteen bits, so PRBS15
    // brings every pattern that matters: with no noise the time-domain eye
    // at the receiver's clock is then the worst case by peak distortion at
    // the same phase.
    const LinkModel tx = LoadLinkModel({"Tx", AMISIM_PASSTHROUGH_MODEL, "", "", "passthrough", {}});
    Channel channel;
    channel.description = "rc";
    for (double t : RcImpulse(1.2, 24)) channel.taps.push_back(t * kInterval);
    const LinkModel rx = Reference({"ctle_mode=off", "dfe_taps=6", "cdr=none"});
    const LinkRun run = RunLink(tx, &rx, channel, Link(20000, 15), {}, {}, Ignore);
    ASSERT_TRUE(run.time_domain.clock.has_value());
    // Peak distortion at the phase the receiver samples (the eye's centre).
    const StatisticalEye& eye = run.statistical;
    const PulseCursors cursors = FindCursors(run.pulse, kPerBit);
    const long at = static_cast<long>(cursors.main_index) + std::lround(eye.PhaseUi(eye.centre_phase) * kPerBit);
    double main = 0.0, distortion = 0.0;
    for (long n = at % kPerBit; n < static_cast<long>(run.pulse.size()); n += kPerBit) {
        const double cursor = 0.5 * run.pulse[static_cast<std::size_t>(n)];
        if (n == at) main = cursor;
        else distortion += std::abs(cursor);
    }
    // What PRBS15 leaves out is interference beyond fifteen bits: 2e-5 V here.
    EXPECT_NEAR(run.time_domain.clock->Height(), 2.0 * (main - distortion), 1e-4);
}

#ifdef AMISIM_HAVE_KORVAN_TX
TEST(ReferenceCdr, BangBangLocksToTheStatisticalBestPhaseOnTheDemoLine) {
    // The packaged transmitter through 0.6 m of FR-4, as `make run` drives
    // it, into a CTLE and a DFE; the clock starts at the pulse's peak.
    const LinkModel tx = LoadLinkModel({"Tx", AMISIM_PACKAGE_DIR "/korvan_tx.ibs", "", "", "", {}});
    const Channel channel = LineChannel(LineParameters{0.6, 5.0, 4.0, 0.02}, kInterval);
    for (const char* cdr : {"bang-bang", "mm"}) {
        const LinkModel rx = Reference({"ctle_peak_freq=5.4e9", "ctle_peaking=10", "dfe_taps=4", std::string("cdr=") + cdr});
        const LinkRun run = RunLink(tx, &rx, channel, Link(3000, 7), {}, {}, Ignore);
        const Adaptation adaptation = AdaptationFromReports(run.time_domain.rx_reports);
        const AdaptationSeries& phase = adaptation.series.back();
        ASSERT_EQ(phase.name, "cdr_phase");
        // Where the loop settled, averaged over its last calls' dither, from
        // the peak the statistical flow measures phases from.
        double settled = 0.0;
        const std::size_t last = std::min<std::size_t>(4, phase.value.size());
        for (std::size_t i = phase.value.size() - last; i < phase.value.size(); ++i) settled += phase.value[i] / last;
        const double peak = static_cast<double>(FindCursors(run.pulse, kPerBit).main_index) / kPerBit;
        const StatisticalEye& eye = run.statistical;
        // Bang-bang settles 0.035 UI early here. Mueller-Muller balances the
        // first pre- and post-cursor instead, which lies elsewhere (0.18 UI
        // late): it is only held to a lock within the eye.
        const double tolerance = std::string(cdr) == "bang-bang" ? 0.05 : 0.25;
        EXPECT_NEAR(settled - peak, eye.PhaseUi(eye.best_phase), tolerance) << cdr;
    }
}
#endif
