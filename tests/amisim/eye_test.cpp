#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/eye/eye.h"
#include "tools/amisim/reports/eye_svg.h"
#include "tools/amisim/flows/prbs.h"

using namespace amisim;

namespace {

constexpr int kPerBit = 16;

std::vector<std::uint8_t> Pattern(std::size_t count) { return PrbsGenerator(7).Generate(count); }

// NRZ of +/-0.5 V delayed by `delay` samples, in which bit b starts
// `jitter` samples late when b is even and `jitter` samples early when odd,
// so the crossings spread over 2 * jitter samples.
std::vector<double> JitteredNrz(const std::vector<std::uint8_t>& bits, int delay, int jitter) {
    const auto start = [&](std::size_t b) {
        return static_cast<long>(b) * kPerBit + delay + (b % 2 == 0 ? jitter : -jitter);
    };
    std::vector<double> wave(bits.size() * kPerBit);
    std::size_t bit = 0;
    for (long i = 0; i < static_cast<long>(wave.size()); ++i) {
        while (bit + 1 < bits.size() && start(bit + 1) <= i) ++bit;
        wave[static_cast<std::size_t>(i)] = start(bit) <= i && bits[bit] ? 0.5 : -0.5;
    }
    return wave;
}

EyeOptions Options(std::size_t skip) {
    EyeOptions options;
    options.samples_per_bit = kPerBit;
    options.skip_bits = skip;
    return options;
}

TEST(Eye, CleanDelayedNrzIsFullyOpen) {
    const auto bits = Pattern(600);
    const EyeMetrics eye = MeasureEye(bits, JitteredNrz(bits, 5, 0), Options(2));
    EXPECT_EQ(eye.latency, 5);
    EXPECT_EQ(eye.best_phase, kPerBit / 2);
    EXPECT_DOUBLE_EQ(eye.eye_height, 1.0);
    EXPECT_DOUBLE_EQ(eye.eye_width, 1.0);
    EXPECT_DOUBLE_EQ(eye.upper_level, 0.5);
    EXPECT_DOUBLE_EQ(eye.lower_level, -0.5);
    EXPECT_FALSE(eye.inverted);
}

TEST(Eye, CrossingJitterNarrowsTheWidthOnly) {
    const auto bits = Pattern(600);
    const EyeMetrics eye = MeasureEye(bits, JitteredNrz(bits, 7, 3), Options(2));
    EXPECT_DOUBLE_EQ(eye.eye_height, 1.0);
    EXPECT_DOUBLE_EQ(eye.eye_width, (kPerBit - 2.0 * 3) / kPerBit);
    EXPECT_LE(eye.width_start, 0.0);
    EXPECT_GE(eye.width_end, 0.0);
}

TEST(Eye, APostCursorClosesTheHeightByTwiceItsWeight) {
    // y = 0.8 x[n] + 0.2 x[n - one bit]: ones lie at 0.5 or 0.3 V.
    const auto bits = Pattern(600);
    const std::vector<double> nrz = JitteredNrz(bits, 0, 0);
    std::vector<double> out(nrz.size());
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = 0.8 * nrz[i] + (i >= kPerBit ? 0.2 * nrz[i - kPerBit] : 0.0);
    const EyeMetrics eye = MeasureEye(bits, out, Options(2));
    EXPECT_NEAR(eye.lowest_one, 0.3, 1e-12);
    EXPECT_NEAR(eye.highest_zero, -0.3, 1e-12);
    EXPECT_NEAR(eye.eye_height, 0.6, 1e-12);
    EXPECT_GT(eye.eye_width, 0.95);
}

TEST(Eye, WidthIsMeasuredWhereTheThresholdLiesInsideTheEye) {
    // At phase 8 the eye is tallest (ones 1.0 V, zeros 0.2 V) but 0 V lies
    // below it; everywhere else ones sit at 0.5 V and zeros at -0.1 V.
    const auto bits = Pattern(400);
    const std::vector<double> nrz = JitteredNrz(bits, 0, 0);
    std::vector<double> out(nrz.size());
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = i % kPerBit == 8 ? 0.6 + 0.8 * nrz[i] : 0.2 + 0.6 * nrz[i];
    const EyeMetrics eye = MeasureEye(bits, out, Options(2));
    EXPECT_EQ(eye.best_phase, 8);
    EXPECT_NEAR(eye.eye_height, 0.8, 1e-12);
    // Open from 1/6 sample before the bit (margin 0.1 V inside, 0.5 V
    // outside) to 1/3 sample after phase 7 (0.1 V inside, 0.2 V outside).
    EXPECT_NEAR(eye.eye_width, 7.5 / kPerBit, 1e-12);
    EXPECT_NEAR(eye.width_end, (7.0 + 1.0 / 3 - 8) / kPerBit, 1e-12);
}

TEST(Eye, InvertedOutputAndSkippedStartUp) {
    const auto bits = Pattern(400);
    std::vector<double> out = JitteredNrz(bits, 3, 0);
    for (double& v : out) v = -2.0 * v;
    for (int i = 0; i < 4 * kPerBit; ++i) out[i] = 7.0;  // a start-up transient
    const EyeMetrics eye = MeasureEye(bits, out, Options(5));
    EXPECT_TRUE(eye.inverted);
    EXPECT_DOUBLE_EQ(eye.eye_height, 2.0);
    EXPECT_DOUBLE_EQ(eye.upper_level, 1.0);
    EXPECT_DOUBLE_EQ(eye.lower_level, -1.0);
}

TEST(Eye, AClosedEyeHasNoHeightAndNoWidth) {
    const auto bits = Pattern(400);
    const std::vector<double> nrz = JitteredNrz(bits, 0, 0);
    std::vector<double> out(nrz.size());
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = 0.5 * nrz[i] + (i >= kPerBit ? 0.5 * nrz[i - kPerBit] : 0.0);
    // Whichever tap the eye is lined up with, a one after a zero sits at 0 V.
    const EyeMetrics eye = MeasureEye(bits, out, Options(2));
    EXPECT_DOUBLE_EQ(eye.eye_height, 0.0);
    EXPECT_EQ(eye.eye_width, 0.0);
}

TEST(Eye, TooFewBitsAreRefused) {
    const auto bits = Pattern(10);
    EXPECT_THROW(MeasureEye(bits, JitteredNrz(bits, 0, 0), Options(8)), AmisimError);
    EXPECT_THROW(MeasureEye(bits, std::vector<double>(3), Options(0)), AmisimError);
}

TEST(EyeSvg, DrawsOneTraceForEveryMeasuredBit) {
    const auto bits = Pattern(200);
    const std::vector<double> out = JitteredNrz(bits, 5, 0);
    const EyeMetrics eye = MeasureEye(bits, out, Options(3));
    EyePicture picture;
    picture.title = "a <title> & more";
    picture.samples_per_bit = kPerBit;
    picture.skip_bits = 3;
    std::ostringstream svg;
    const std::size_t traces = WriteEyeSvg(svg, out, eye, picture);
    const std::string text = svg.str();
    std::size_t polylines = 0;
    for (std::size_t at = 0; (at = text.find("<polyline", at)) != std::string::npos; ++at) ++polylines;
    EXPECT_EQ(polylines, traces);
    // Every bit after the skipped ones whose two-UI window fits.
    EXPECT_GE(traces, 200u - 3 - 2);
    EXPECT_NE(text.find("a &lt;title&gt; &amp; more"), std::string::npos);
    EXPECT_NE(text.find("Time (UI)"), std::string::npos);
    EXPECT_NE(text.find("Voltage (V)"), std::string::npos);
    EXPECT_EQ(text.rfind("</svg>\n"), text.size() - 7);

    // A capped picture says what it left out.
    picture.max_traces = 10;
    std::ostringstream capped;
    EXPECT_EQ(WriteEyeSvg(capped, out, eye, picture), 10u);
    EXPECT_NE(capped.str().find("first 10 traces drawn, " + std::to_string(traces - 10) + " more left out"),
              std::string::npos);
}

}  // namespace
