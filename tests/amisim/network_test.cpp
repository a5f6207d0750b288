// Multi-port networks: Touchstone 2.0 against 1.x, triangular matrices,
// mixed references renormalised, lanes picked out of larger files, and the
// messages for files that cannot be a channel.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/channel/channel.h"
#include "tools/amisim/channel/network_transfer.h"
#include "tools/amisim/channel/touchstone.h"

namespace fs = std::filesystem;
using namespace amisim;

namespace {

constexpr double kInterval = 1.0 / (10.8e9 * 8);

double Difference(const std::vector<double>& a, const std::vector<double>& b) {
    double error = 0.0, peak = 0.0;
    for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        const double x = i < a.size() ? a[i] : 0.0, y = i < b.size() ? b[i] : 0.0;
        error = std::max(error, std::abs(x - y));
        peak = std::max(peak, std::abs(y));
    }
    return error / peak;
}

std::complex<double> Delayed(double gain, double f, double seconds) {
    // A little loss growing with frequency keeps the band's top quiet.
    return std::polar(gain * std::exp(-f / 40e9), -2.0 * std::numbers::pi * f * seconds);
}

// A reciprocal 4-port of two coupled lanes, 1,2 -> 3,4: throughs of 0.8 and
// 0.75, reflections, coupling between every pair of ports, none of them
// equal, so a misplaced entry shows.
Network FourPort() {
    Network network;
    network.ports = 4;
    network.reference_ohms.assign(4, 50.0);
    const double gain[4][4] = {{0.10, 0.04, 0.80, 0.03}, {0.04, 0.12, 0.02, 0.75},
                               {0.80, 0.02, 0.09, 0.05}, {0.03, 0.75, 0.05, 0.11}};
    for (double f = 40e6; f <= 44e9; f += 40e6) {
        network.frequencies.push_back(f);
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                network.s.push_back(Delayed(gain[i][j], f, 0.4e-9 + 0.05e-9 * (i + j)));
    }
    return network;
}

// `network` inside a larger one: its port k is port place[k] of the result;
// the other ports reflect a little and couple to nothing.
Network Embedded(const Network& network, int ports, const std::vector<int>& place) {
    Network big;
    big.ports = ports;
    big.frequencies = network.frequencies;
    big.reference_ohms.assign(static_cast<std::size_t>(ports), network.Reference());
    const std::size_t n = static_cast<std::size_t>(ports);
    big.s.assign(network.frequencies.size() * n * n, 0.0);
    for (std::size_t f = 0; f < network.frequencies.size(); ++f) {
        std::complex<double>* s = big.Matrix(f);
        for (std::size_t k = 0; k < n; ++k) s[k * n + k] = 0.2;
        for (int i = 0; i < network.ports; ++i)
            for (int j = 0; j < network.ports; ++j)
                s[static_cast<std::size_t>(place[static_cast<std::size_t>(i)] - 1) * n +
                  static_cast<std::size_t>(place[static_cast<std::size_t>(j)] - 1)] = network.At(f, i + 1, j + 1);
    }
    return big;
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

class NetworkFiles : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("amisim_network_" + std::to_string(::getpid()) + "_" +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }
    std::string Write(const std::string& name, const std::string& text) {
        std::ofstream(folder_ / name) << text;
        return (folder_ / name).string();
    }
    std::string Write(const std::string& name, const Network& network, std::optional<MatrixFormat> v2 = {}) {
        std::ostringstream text;
        if (v2) WriteTouchstone2(text, network, *v2);
        else WriteTouchstone(text, network, "GHz", TouchstoneFormat::kRealImaginary);
        return Write(name, text.str());
    }
    fs::path folder_;
};

AnalogEnds Unmatched() {
    AnalogEnds ends;
    ends.tx_rs = 30.0;
    ends.tx_cs = 0.4e-12;
    ends.rx_rt = 70.0;
    ends.rx_cp = 0.3e-12;
    return ends;
}

}  // namespace

TEST_F(NetworkFiles, VersionTwoFullAndTriangularGiveTheVersionOneImpulse) {
    const Network four = FourPort();
    for (const AnalogEnds& ends : {AnalogEnds{}, Unmatched()}) {
        const std::vector<double> v1 = LoadChannel(Write("lanes.s4p", four), "", ends, kInterval).taps;
        const std::vector<double> full =
            LoadChannel(Write("full.s4p", four, MatrixFormat::kFull), "", ends, kInterval).taps;
        EXPECT_LT(Difference(full, v1), 1e-12);
        // A reciprocal network's triangle is all of it: the same numbers.
        EXPECT_EQ(LoadChannel(Write("lower.ts", four, MatrixFormat::kLower), "", ends, kInterval).taps, full);
        EXPECT_EQ(LoadChannel(Write("upper.ts", four, MatrixFormat::kUpper), "", ends, kInterval).taps, full);
    }
    // A 2-port in 12_21 order against version 1's 21_12, with S12 != S21
    // so that a swapped order shows.
    Network two;
    two.ports = 2;
    two.reference_ohms.assign(2, 50.0);
    for (std::size_t f = 0; f < four.frequencies.size(); ++f) {
        two.frequencies.push_back(four.frequencies[f]);
        for (auto [i, j] : {std::pair{1, 1}, {1, 3}, {3, 1}, {3, 3}})
            two.s.push_back(four.At(f, i, j) * (i == 1 && j == 3 ? 0.5 : 1.0));
    }
    const Network read = ReadTouchstoneFile(Write("two.ts", two, MatrixFormat::kFull));
    EXPECT_EQ(read.At(7, 1, 2), two.At(7, 1, 2));
    EXPECT_EQ(read.At(7, 2, 1), two.At(7, 2, 1));
    EXPECT_LT(Difference(LoadChannel(Write("two.s2p", two), "", Unmatched(), kInterval).taps,
                         LoadChannel(Write("two2.s2p", two, MatrixFormat::kFull), "", Unmatched(), kInterval).taps),
              1e-12);
}

TEST_F(NetworkFiles, ShuffledPortsOfALargerFileGiveTheSameLane) {
    const Network four = FourPort();
    // Ports 1,2,3,4 of the 4-port sit at 7,2,5,3 of an 8-port.
    const Network eight = Embedded(four, 8, {7, 2, 5, 3});
    const std::string small = Write("lanes.s4p", four), large = Write("board.s8p", eight);
    for (const AnalogEnds& ends : {AnalogEnds{}, Unmatched()}) {
        const std::vector<double> lane = LoadChannel(small, "", ends, kInterval).taps;
        EXPECT_LT(Difference(LoadChannel(large, "7,2,5,3", ends, kInterval).taps, lane), 1e-12);
        // A single-ended lane picks one port a side.
        EXPECT_LT(Difference(LoadChannel(large, "7,5", ends, kInterval).taps,
                             LoadChannel(small, "1,3", ends, kInterval).taps),
                  1e-12);
    }
    // More than four ports: rows run over lines in 1.x, every form reads.
    const Network read = ReadTouchstoneFile(large);
    ASSERT_EQ(read.s.size(), eight.s.size());
    for (std::size_t k = 0; k < read.s.size(); ++k) ASSERT_NEAR(std::abs(read.s[k] - eight.s[k]), 0.0, 1e-15);
}

TEST_F(NetworkFiles, MixedReferencesAreRenormalisedBeforeThePortsArePaired) {
    // A 50 ohm series resistor between two ports: S11 = R / (R + 2 Z0) and
    // S21 = 2 Z0 / (R + 2 Z0), so 1/3 and 2/3 at 50 ohm, 0.2 and 0.8 at 100.
    Network resistor;
    resistor.ports = 2;
    resistor.reference_ohms.assign(2, 50.0);
    resistor.frequencies = {1e9, 2e9};
    for (int f = 0; f < 2; ++f) resistor.s.insert(resistor.s.end(), {1.0 / 3, 2.0 / 3, 2.0 / 3, 1.0 / 3});
    Renormalise(resistor, 100.0);
    EXPECT_NEAR(std::abs(resistor.At(1, 1, 1) - 0.2), 0.0, 1e-14);
    EXPECT_NEAR(std::abs(resistor.At(1, 2, 1) - 0.8), 0.0, 1e-14);
    EXPECT_EQ(resistor.reference_ohms, (std::vector<double>{100.0, 100.0}));

    // The 4-port's numbers written on a reference per port read back, on
    // 50 ohm, as those numbers renormalised from the ports' references.
    Network mixed = FourPort();
    const std::vector<double> references{25.0, 100.0, 75.0, 40.0};
    Network to_mixed = mixed;
    to_mixed.reference_ohms = references;
    Renormalise(to_mixed, 50.0);
    mixed.reference_ohms = references;
    const std::string file = Write("mixed.ts", mixed, MatrixFormat::kFull);
    const LoadedNetwork loaded = LoadNetwork(file);
    EXPECT_NE(loaded.note.find("renormalised"), std::string::npos);
    EXPECT_TRUE(loaded.network.UniformReference());
    for (std::size_t k = 0; k < to_mixed.s.size(); k += 97)
        EXPECT_NEAR(std::abs(loaded.network.s[k] - to_mixed.s[k]), 0.0, 1e-12);
    EXPECT_LT(Difference(LoadChannel(file, "", Unmatched(), kInterval).taps,
                         LoadChannel(Write("on50.s4p", to_mixed), "", Unmatched(), kInterval).taps),
              1e-9);
}

TEST_F(NetworkFiles, VersionOneTwoPortNoiseDataAreLeftOut) {
    const std::string text = "# GHz S MA R 50\n1 0 0 0.9 -10 0.9 -10 0 0\n2 0 0 0.8 -20 0.8 -20 0 0\n"
                             "! noise parameters\n1 1.5 0.3 20 0.4\n2 1.8 0.3 40 0.4\n";
    const Network read = ReadTouchstoneText(text, 2, "noisy.s2p");
    EXPECT_EQ(read.frequencies, (std::vector<double>{1e9, 2e9}));
}

// The same network written in mixed-mode form, its order running over two
// lines, reads back as the single-ended one, and its lane is the same.
TEST_F(NetworkFiles, MixedModeDataAreTurnedBackIntoSingleEnded) {
    const Network four = FourPort();
    const double h = std::sqrt(0.5);
    // Rows of M for D1,2 D3,4 C1,2 C3,4: a = M a_se.
    const double m[4][4] = {{h, -h, 0, 0}, {0, 0, h, -h}, {h, h, 0, 0}, {0, 0, h, h}};
    Network mixed = four;
    for (std::size_t f = 0; f < four.frequencies.size(); ++f)
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) {
                std::complex<double> sum = 0.0;
                for (int i = 0; i < 4; ++i)
                    for (int j = 0; j < 4; ++j) sum += m[r][i] * four.At(f, i + 1, j + 1) * m[c][j];
                mixed.Matrix(f)[r * 4 + c] = sum;
            }
    // The differential through is the usual (S31 - S32 - S41 + S42) / 2.
    EXPECT_LT(std::abs(mixed.At(9, 2, 1) -
                       0.5 * (four.At(9, 3, 1) - four.At(9, 3, 2) - four.At(9, 4, 1) + four.At(9, 4, 2))),
              1e-12);
    std::ostringstream text;
    WriteTouchstone2(text, mixed, MatrixFormat::kFull);
    std::string file = text.str();
    file.insert(file.find("[Network Data]"), "[Mixed-Mode Order] D1,2 D3,4\n  c1,2 C3,4\n");
    const Network read = ReadTouchstoneFile(Write("mixed.ts", file));
    double worst = 0.0;
    for (std::size_t k = 0; k < read.s.size(); ++k) worst = std::max(worst, std::abs(read.s[k] - four.s[k]));
    EXPECT_LT(worst, 1e-9);
    EXPECT_LT(Difference(LoadChannel(Write("mixed2.ts", file), "", Unmatched(), kInterval).taps,
                         LoadChannel(Write("lanes.s4p", four), "", Unmatched(), kInterval).taps),
              1e-9);
}

TEST_F(NetworkFiles, BadFilesNameTheLineAndTheReason) {
    const auto error = [&](const std::string& name, const std::string& text) {
        return ErrorOf([&] { LoadChannel(Write(name, text), "", {}, kInterval); });
    };
    const std::string head = "[Version] 2.0\n# Hz S RI R 50\n[Number of Ports] 2\n";
    const std::string data = "[Network Data]\n1 0 0 1 0 1 0 0 0\n2 0 0 1 0 1 0 0 0\n";
    const auto expect = [&](const std::string& name, const std::string& text, const std::string& message) {
        const std::string what = error(name, text);
        EXPECT_NE(what.find(message), std::string::npos) << what;
    };
    expect("a.ts", head + "[Number of Frequencies] 2\n" + data + "[End]\n", "a.ts:5: a 2-port file gives [Two-Port Data Order]");
    expect("b.ts", head + "[Two-Port Data Order] 12_21\n[Number of Frequencies] 3\n" + data + "[End]\n",
           "b.ts:9: [Number of Frequencies] says 3, the data hold 2");
    expect("c.ts", head + "[Two-Port Data Order] 12_21\n[Number of Frequencies] 2\n[Reference] 50\n" + data,
           "c.ts:7: [Reference] gives 1 of the 2 ports' impedances");
    expect("d.ts", head + "[Two-Port Data Order] 12_21\n[Number of Frequencies] 2\n" + data,
           "a Touchstone 2.0 file ends with [End]");
    expect("e.ts", head + "[Colour] blue\n", "e.ts:4: [Colour] is no Touchstone 2.0 keyword");
    expect("f.ts",
           head + "[Mixed-Mode Order] D2,1 D1,2\n[Two-Port Data Order] 12_21\n[Number of Frequencies] 2\n" + data +
               "[End]\n",
           "f.ts:7: [Mixed-Mode Order]: the pair 2,1 has no common mode");
    expect("n.ts", head + "[Mixed-Mode Order] D1,2 X1\n", "n.ts:4: [Mixed-Mode Order]: 'X1' is none of");
    expect("g.ts", head + "1 0 0 1 0 1 0 0 0\n", "g.ts:4: data before [Network Data]");
    expect("h.s4p", head, "h.s4p:3: [Number of Ports] 2 but the file's name says 4");
    expect("i.s2p", "# GHz S MA R 50\n[Number of Ports] 2\n", "i.s2p:2: the keyword [Number of Ports] belongs to Touchstone 2");
    expect("j.ts", "[Version] 3.0\n", "j.ts:1: version '3.0'");
    // A count no file could hold is an error of the count, not of memory.
    expect("m.ts", head + "[Two-Port Data Order] 12_21\n[Number of Frequencies] 1000000000000000\n" + data + "[End]\n",
           "m.ts:9: [Number of Frequencies] says 1000000000000000, the data hold 2");
    expect("l.ts", "# GHz S MA R 50\n1 0 0 1 0 1 0 0 0\n", "l.ts:2: data without [Version] 2.0");
    expect("k.ts", head + "[Two-Port Data Order] 12_21\n[Number of Frequencies] 2\n[Reference] 50 -3\n",
           "k.ts:6: the reference impedance '-3'");
    // [Reference] continues over lines; [Noise Data] and information are skipped.
    const std::string good = head + "[Two-Port Data Order] 12_21\n[Number of Frequencies] 2\n[Reference] 50\n 50\n" +
                             "[Begin Information]\nanything 1 2\n[End Information]\n" + data +
                             "[Noise Data]\n1 2 3 4 5\n[End]\n";
    EXPECT_EQ(ReadTouchstoneFile(Write("good.ts", good)).frequencies.size(), 2u);
    // A lane must name distinct ports of the file.
    EXPECT_NE(ErrorOf([] { ParseLane("1,2,9,4", 8, "--ports"); }).find("--ports 1,2,9,4"), std::string::npos);
    EXPECT_NE(ErrorOf([] { ParseLane("1,2,3", 8, "--ports"); }).find("in+,in-,out+,out-"), std::string::npos);
    EXPECT_NE(ErrorOf([] { CheckLanes({{{1, 2}, {3, 4}}, {{5, 0}, {2, 0}}}, 8, "x.s8p"); }).find("port 2 is named twice"),
              std::string::npos);
}
