// Channels: the built-in line's physics, Touchstone files written from it
// and read back in every form, CSV step and impulse tables, and the
// messages for files that cannot be a channel.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <sstream>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/channel/channel.h"
#include "tools/amisim/channel/channel_csv.h"
#include "tools/amisim/channel/line_model.h"
#include "tools/amisim/channel/touchstone.h"

namespace fs = std::filesystem;
using namespace amisim;

namespace {

constexpr double kBitTime = 1.0 / 10.8e9;
constexpr double kInterval = kBitTime / 8;

LineParameters Line(double metres) {
    LineParameters line;
    line.length_m = metres;
    return line;
}

// The largest difference of two tap sets, relative to the larger's peak.
double Difference(const std::vector<double>& a, const std::vector<double>& b) {
    double error = 0.0, peak = 0.0;
    for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        const double x = i < a.size() ? a[i] : 0.0, y = i < b.size() ? b[i] : 0.0;
        error = std::max(error, std::abs(x - y));
        peak = std::max(peak, std::abs(y));
    }
    return error / peak;
}

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const AmisimError& e) {
        EXPECT_EQ(e.status(), ExitStatus::kUsageOrFile);
        return e.what();
    }
    ADD_FAILURE() << "no error";
    return {};
}

class ChannelFiles : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("amisim_channel_" + std::to_string(::getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }
    std::string Write(const std::string& name, const std::string& text) {
        std::ofstream(folder_ / name) << text;
        return (folder_ / name).string();
    }
    fs::path folder_;
};

TEST(LineModel, LossGrowsLikeSkinEffectThenDielectricAndStaysCausal) {
    const LineParameters line = Line(0.6);
    // Between 0.1 and 0.4 GHz the loss is mostly skin effect (square root);
    // between 20 and 40 GHz mostly dielectric (about proportional).
    const double low_ratio = LineLossDb(line, 0.4e9) / LineLossDb(line, 0.1e9);
    const double high_ratio = LineLossDb(line, 40e9) / LineLossDb(line, 20e9);
    EXPECT_GT(low_ratio, 1.9);
    EXPECT_LT(low_ratio, 2.6);
    EXPECT_GT(high_ratio, 1.6);
    EXPECT_LT(high_ratio, 2.05);
    // An ordinary FR-4 trace: 15 to 20 dB at 5.4 GHz over 0.6 m.
    EXPECT_GT(LineLossDb(line, 5.4e9), 15.0);
    EXPECT_LT(LineLossDb(line, 5.4e9), 20.0);
    EXPECT_NEAR(std::abs(LineResponse(line, 0.0)), 1.0, 1e-12);

    const Channel channel = LineChannel(line, kInterval);
    EXPECT_TRUE(channel.warnings.empty());
    EXPECT_NEAR(channel.LossDb(5.4e9, kInterval), LineLossDb(line, 5.4e9), 0.05);
    EXPECT_NEAR(std::accumulate(channel.taps.begin(), channel.taps.end(), 0.0), 1.0, 5e-3);
    // Nothing arrives before the line's delay at high frequencies, where
    // the front travels: the taps ahead of it are the taper's ripple only.
    double front = 0.0;  // the phase delay at 40 GHz, the phase unwrapped from DC
    for (double f = 1e8, phase = 0.0, last = 0.0; f <= 40e9; f += 1e8) {
        double now = std::arg(LineResponse(line, f));
        double step = now - last;
        step -= 2 * 3.141592653589793 * std::round(step / (2 * 3.141592653589793));
        phase += step;
        last = now;
        front = -phase / (2 * 3.141592653589793 * f);
    }
    const std::size_t delay = static_cast<std::size_t>(0.95 * front / kInterval);
    double peak = 0.0, early = 0.0;
    for (std::size_t n = 0; n < channel.taps.size(); ++n) {
        peak = std::max(peak, std::abs(channel.taps[n]));
        if (n + 8 < delay) early = std::max(early, std::abs(channel.taps[n]));
    }
    EXPECT_LT(early, 1e-3 * peak);
    EXPECT_EQ(ParseLength("20in"), 0.508);
    EXPECT_EQ(ParseLength("50cm"), 0.5);
    EXPECT_NE(ErrorOf([] { ParseLength("-1m"); }).find("--line -1m"), std::string::npos);
    EXPECT_FALSE(ErrorOf([] { ParseLength("2ft"); }).empty());
}

// The line as a 2-port (S12 differing from S21, to catch a row-major read)
// or a 4-port whose differential through is 0.96 of the line (S31 = 1.1 H,
// S42 = 0.9 H, S32 = 0.05 H, S41 = 0.03 H), on ports in the given order.
TouchstoneData LineNetwork(int ports, const int order[4] = nullptr) {
    const LineParameters line = Line(0.3);
    TouchstoneData data;
    data.ports = ports;
    data.reference_ohms.assign(static_cast<std::size_t>(ports), 100.0);
    const double nyquist = 0.5 / kInterval;
    for (double f = 10e6; f <= nyquist + 1; f += 10e6) {
        const std::complex<double> h = LineResponse(line, f);
        std::vector<std::complex<double>> s(static_cast<std::size_t>(ports * ports), 0.01);
        const auto set = [&](int row, int column, std::complex<double> value) {
            s[static_cast<std::size_t>((row - 1) * ports + column - 1)] = value;
        };
        if (ports == 2) {
            set(2, 1, h);
            set(1, 2, 0.5 * h);
        } else {
            const int ip = order[0], in = order[1], op = order[2], on = order[3];
            set(op, ip, 1.1 * h);
            set(on, in, 0.9 * h);
            set(op, in, 0.05 * h);
            set(on, ip, 0.03 * h);
        }
        data.frequencies.push_back(f);
        data.s.insert(data.s.end(), s.begin(), s.end());
    }
    return data;
}

TEST_F(ChannelFiles, TouchstoneRoundTripGivesTheLinesImpulseInEveryFormat) {
    const Channel line = LineChannel(Line(0.3), {}, kInterval);
    const int natural[4] = {1, 2, 3, 4};
    const int crossed[4] = {1, 3, 2, 4};
    for (const char* unit : {"Hz", "kHz", "MHz", "GHz"})
        for (TouchstoneFormat format :
             {TouchstoneFormat::kMagnitudeAngle, TouchstoneFormat::kDecibelAngle, TouchstoneFormat::kRealImaginary}) {
            SCOPED_TRACE(std::string(unit) + " format " + std::to_string(static_cast<int>(format)));
            std::ostringstream two, four, four_crossed;
            WriteTouchstone(two, LineNetwork(2), unit, format);
            WriteTouchstone(four, LineNetwork(4, natural), unit, format);
            WriteTouchstone(four_crossed, LineNetwork(4, crossed), unit, format);
            const Channel from_two = LoadChannel(Write("line.s2p", two.str()), "", {}, kInterval);
            // The file's 10 MHz grid against the transform's own: linear
            // interpolation of magnitude and phase costs under 1e-4 of the peak.
            EXPECT_LT(Difference(from_two.taps, line.taps), 1e-4);
            std::vector<double> scaled = line.taps;
            for (double& t : scaled) t *= 0.96;
            EXPECT_LT(Difference(LoadChannel(Write("line.s4p", four.str()), "", {}, kInterval).taps, scaled), 1e-4);
            EXPECT_LT(Difference(LoadChannel(Write("crossed.s4p", four_crossed.str()), "1,3,2,4", {},
                                             kInterval).taps,
                                 scaled),
                      1e-4);
        }
}

TEST_F(ChannelFiles, FourPortPointsOnOneLineReadAsTheStandardLayout) {
    // Some writers put all sixteen pairs of a point on one line instead of
    // four a line: the count per point decides, not the line breaks.
    const int natural[4] = {1, 2, 3, 4};
    std::ostringstream four;
    WriteTouchstone(four, LineNetwork(4, natural), "GHz", TouchstoneFormat::kRealImaginary);
    std::string joined;
    std::istringstream lines(four.str());
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line[0] == ' ') {
            joined += line;  // a continuation: onto the point's first line
        } else {
            if (!joined.empty()) joined += '\n';
            joined += line;
        }
    }
    joined += '\n';
    ASSERT_NE(joined, four.str());
    EXPECT_EQ(LoadChannel(Write("long_lines.s4p", joined), "", {}, kInterval).taps,
              LoadChannel(Write("standard.s4p", four.str()), "", {}, kInterval).taps);
}

TEST_F(ChannelFiles, MalformedTouchstoneNamesTheLineAndTheReason) {
    const auto error = [&](const std::string& name, const std::string& text) {
        return ErrorOf([&] { LoadChannel(Write(name, text), "", {}, kInterval); });
    };
    EXPECT_NE(error("a.s2p", "# GHz S MA R 50\n1 0.1 0 0.9 -10 0.9 -10 x 0\n").find("a.s2p:2: 'x' is not a number"),
              std::string::npos);
    EXPECT_NE(error("b.s2p", "# GHz S MA R 50\n1 0 0 1 0 1 0 0 0\n2 0 0 1 0 1 0 0\n").find("b.s2p:3: the last frequency point holds 8 of its 9 numbers"),
              std::string::npos);
    EXPECT_NE(error("c.s2p", "# GHz S MA R 50\n2 0 0 1 0 1 0 0 0\n1 0 0 1 0 1 0 0 0\n").find("c.s2p:3: the frequencies do not increase"),
              std::string::npos);
    EXPECT_NE(error("d.s2p", "# GHz Y MA R 50\n").find("d.s2p:1: only S parameters"), std::string::npos);
    EXPECT_NE(error("e.s2p", "[Version] 2.0\n").find("Touchstone 2"), std::string::npos);
    EXPECT_NE(error("f.s2p", "# GHz S MA R -5\n").find("reference impedance '-5'"), std::string::npos);
    EXPECT_NE(error("g.txt", "").find("a channel is a Touchstone"), std::string::npos);
    EXPECT_NE(ErrorOf([] { ParseLane("1,2,3,3", 4, "--ports"); }).find("--ports 1,2,3,3"), std::string::npos);
    // A 1 Hz grid would need a second-long impulse.
    EXPECT_NE(error("h.s2p", "# Hz S RI\n0 0 0 1 0 1 0 0 0\n1 0 0 1 0 1 0 0 0\n").find("more than the"),
              std::string::npos);
}

TEST_F(ChannelFiles, NonCausalAndActiveDataAreReported) {
    // A pure advance: exp(+j w 2 ns) puts the whole response before t = 0.
    TouchstoneData data;
    data.ports = 2;
    for (double f = 0; f <= 43.2e9; f += 50e6) {
        data.frequencies.push_back(f);
        const std::complex<double> h = std::polar(1.0, 2 * 3.141592653589793 * f * 2e-9);
        data.s.insert(data.s.end(), {0.0, h, h, 0.0});
    }
    std::ostringstream text;
    WriteTouchstone(text, data, "GHz", TouchstoneFormat::kRealImaginary);
    EXPECT_NE(ErrorOf([&] { LoadChannel(Write("early.s2p", text.str()), "", {}, kInterval); }).find("non-causal data"),
              std::string::npos);
    // Gain above one: a warning, the data kept.
    for (std::size_t f = 0; f < data.frequencies.size(); ++f) {
        const std::complex<double> h = std::polar(1.2, -2 * 3.141592653589793 * data.frequencies[f] * 1e-9);
        std::complex<double>* s = data.Matrix(f);
        s[1] = s[2] = h;
    }
    std::ostringstream gain;
    WriteTouchstone(gain, data, "GHz", TouchstoneFormat::kMagnitudeAngle);
    const Channel channel = LoadChannel(Write("gain.s2p", gain.str()), "", {}, kInterval);
    ASSERT_FALSE(channel.warnings.empty());
    EXPECT_NE(channel.warnings[0].find("not passive"), std::string::npos);
    EXPECT_NEAR(std::accumulate(channel.taps.begin(), channel.taps.end(), 0.0), 1.2, 1e-3);
}

// A matched attenuator or a short through rises before t = 0 once its band
// is limited: that lead is kept (the channel comes a little later), so the
// DC gain is the data's and nothing is called acausal.
TEST_F(ChannelFiles, ANetworkWithoutDelayKeepsItsWholeResponse) {
    for (const double delay : {0.0, 10e-12, 30e-12, 1e-9}) {
        TouchstoneData data;
        data.ports = 2;
        for (double f = 0; f <= 40e9; f += 50e6) {
            data.frequencies.push_back(f);
            const std::complex<double> h = std::polar(0.5, -2 * 3.141592653589793 * f * delay);
            data.s.insert(data.s.end(), {0.0, h, h, 0.0});
        }
        std::ostringstream text;
        WriteTouchstone(text, data, "GHz", TouchstoneFormat::kRealImaginary);
        const Channel channel = LoadChannel(Write("attenuator.s2p", text.str()), "", {}, kInterval);
        EXPECT_NEAR(std::accumulate(channel.taps.begin(), channel.taps.end(), 0.0), 0.5, 1e-4) << delay;
        for (const std::string& warning : channel.warnings)
            EXPECT_EQ(warning.find("causal"), std::string::npos) << delay << ": " << warning;
    }
}

TEST_F(ChannelFiles, CsvStepAndImpulseGiveTheSameTaps) {
    // An RC response with a 30 ps time constant, on a 1 ps grid, as a step
    // (V/V) and as an impulse (1/s).
    const double tau = 30e-12;
    std::ostringstream step, impulse;
    step << "time,step\n";
    impulse << "Time, Impulse\n";
    for (int i = 0; i <= 2000; ++i) {
        const double t = i * 1e-12;
        step << t << ',' << 1 - std::exp(-t / tau) << '\n';
        impulse << t << ',' << std::exp(-t / tau) / tau << '\n';
    }
    std::istringstream step_in(step.str()), impulse_in(impulse.str());
    const std::vector<double> from_step = ReadChannelCsv(step_in, kInterval, "step.csv");
    const std::vector<double> from_impulse = ReadChannelCsv(impulse_in, kInterval, "impulse.csv");
    EXPECT_LT(Difference(from_impulse, from_step), 1e-3);
    EXPECT_NEAR(from_step[1], 1 - std::exp(-kInterval / tau), 2e-4);  // linear between 1 ps rows
    EXPECT_NEAR(std::accumulate(from_step.begin(), from_step.end(), 0.0), 1.0, 1e-6);

    const auto error = [&](const std::string& text) {
        std::istringstream in(text);
        return ErrorOf([&] { ReadChannelCsv(in, kInterval, "t.csv"); });
    };
    EXPECT_NE(error("time,volts\n").find("t.csv:1: the header must be time,step or time,impulse"), std::string::npos);
    EXPECT_NE(error("time,step\n0,0\n1e-12,abc\n").find("t.csv:3: expected two numbers"), std::string::npos);
    EXPECT_NE(error("time,step\n0,0\n0,1\n").find("t.csv:3: the times do not increase"), std::string::npos);
    EXPECT_NE(error("time,step\n-1e-9,0\n-5e-10,1\n1e-9,1\n").find("non-causal data"), std::string::npos);
    EXPECT_NE(error("time,step\n0,0\n10,1\n").find("more than the"), std::string::npos);
}

}  // namespace
