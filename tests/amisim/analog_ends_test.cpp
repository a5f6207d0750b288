// The analog ends: matched ends leave every channel as it was, a lossless
// line between unmatched ends steps as its bounce diagram says, a pair's
// legs behave as two single-ended ends, pad capacitances make their RC
// poles, and the ends a model's .ibs gives (C_comp, the I-V tables'
// output resistance, [Rgnd]/[Rpower]) reach the summary with their origin.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>

#include "tests/amisim/command_fixture.h"
#include "tools/amisim/amisim_error.h"
#include "tools/amisim/channel/channel.h"
#include "tools/amisim/channel/channel_impulse.h"
#include "tools/amisim/channel/end_choice.h"
#include "tools/amisim/channel/network_transfer.h"
#include "tools/amisim/channel/touchstone.h"
#include "tools/amisim/models/ibis_analog.h"
#include "tools/amisim/models/ibis_termination.h"

namespace fs = std::filesystem;
using namespace amisim;

namespace {

constexpr double kInterval = 1.0 / (10.8e9 * 8);
constexpr double kTwoPi = 2.0 * std::numbers::pi;

double Difference(const std::vector<double>& a, const std::vector<double>& b) {
    double error = 0.0, peak = 0.0;
    for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        const double x = i < a.size() ? a[i] : 0.0, y = i < b.size() ? b[i] : 0.0;
        error = std::max(error, std::abs(x - y));
        peak = std::max(peak, std::abs(y));
    }
    return error / peak;
}

// Two uncoupled lossy lines, ports 1 -> 3 and 2 -> 4, each reflecting a
// little at both ends; or one of them alone as a 2-port.
Network Lines(int ports) {
    Network network;
    network.ports = ports;
    network.reference_ohms.assign(static_cast<std::size_t>(ports), 50.0);
    const std::size_t n = static_cast<std::size_t>(ports);
    for (double f = 40e6; f <= 44e9; f += 40e6) {
        network.frequencies.push_back(f);
        const std::complex<double> through = std::polar(0.85 * std::exp(-f / 30e9), -kTwoPi * f * 0.6e-9);
        const std::complex<double> echo = std::polar(0.12, -kTwoPi * f * 0.1e-9);
        std::vector<std::complex<double>> s(n * n, 0.0);
        const auto join = [&](std::size_t a, std::size_t b) {
            s[a * n + a] = s[b * n + b] = echo;
            s[a * n + b] = s[b * n + a] = through;
        };
        if (ports == 2) {
            join(0, 1);
        } else {
            join(0, 2);
            join(1, 3);
        }
        network.s.insert(network.s.end(), s.begin(), s.end());
    }
    return network;
}

class EndFiles : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("amisim_ends_" + std::to_string(::getpid()) + "_" +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }
    std::string Write(const std::string& name, const std::string& text) {
        std::ofstream(folder_ / name) << text;
        return (folder_ / name).string();
    }
    std::string Write(const std::string& name, const Network& network) {
        std::ostringstream text;
        WriteTouchstone(text, network, "GHz", TouchstoneFormat::kRealImaginary);
        return Write(name, text.str());
    }
    fs::path folder_;
};

}  // namespace

TEST_F(EndFiles, MatchedEndsLeaveEveryChannelAsItWas) {
    // What the channel was before the ends existed: the file's through
    // parameter, SDD21 of a pair, straight into the transform.
    const Network network = Lines(4);
    const std::string file = Write("pair.s4p", network);
    FrequencyResponse sdd21;
    sdd21.frequencies = network.frequencies;
    for (std::size_t f = 0; f < network.frequencies.size(); ++f)
        sdd21.values.push_back(0.5 * (network.At(f, 3, 1) - network.At(f, 3, 2) - network.At(f, 4, 1) + network.At(f, 4, 2)));
    const std::vector<double> before = ImpulseFromResponse(sdd21, kInterval, file).taps;
    EXPECT_LT(Difference(LoadChannel(file, "", {}, kInterval).taps, before), 1e-12);
    // Ends given as the reference itself are the same ends.
    AnalogEnds fifty;
    fifty.tx_rs = fifty.rx_rt = 50.0;
    EXPECT_LT(Difference(LoadChannel(file, "", fifty, kInterval).taps, before), 1e-12);

    // The built-in line: its response sampled on the transform's grid.
    LineParameters line;
    line.length_m = 0.3;
    std::size_t size = 256;
    while (static_cast<double>(size) * kInterval < 4.0 * LineDelay(line) + 20e-9) size *= 2;
    FrequencyResponse sampled;
    for (std::size_t i = 0; i <= size / 2; ++i) {
        const double f = 0.5 / kInterval * static_cast<double>(i) / static_cast<double>(size / 2);
        sampled.frequencies.push_back(f);
        sampled.values.push_back(LineResponse(line, f));
    }
    const std::vector<double> line_before =
        ImpulseFromResponse(sampled, kInterval, "--line", static_cast<double>(size) * kInterval).taps;
    EXPECT_LT(Difference(LineChannel(line, {}, kInterval).taps, line_before), 1e-12);
}

TEST(LineEnds, LosslessLineStepsAsTheBounceDiagramSays) {
    // A 1 ns, 50 ohm lossless line from a 25 ohm source into 150 ohm:
    // the load sees (1 + GL) times 1 + GS GL + (GS GL)^2 + ... of the wave,
    // a step more at every odd multiple of the delay.
    LineParameters line;
    line.skin_db_per_m_at_1ghz = 0.0;
    line.loss_tangent = 0.0;
    line.permittivity = 4.0;
    line.impedance_ohms = 50.0;
    line.length_m = 1e-9 * 299792458.0 / 2.0;
    const double delay = LineDelay(line);
    ASSERT_NEAR(delay, 1e-9, 1e-15);
    AnalogEnds ends;
    ends.tx_rs = 25.0;
    ends.rx_rt = 150.0;
    const double source = (25.0 - 50.0) / 75.0, load = (150.0 - 50.0) / 200.0;
    const Channel channel = LineChannel(line, ends, kInterval);
    std::vector<double> step(channel.taps.size());
    double sum = 0.0;
    for (std::size_t n = 0; n < step.size(); ++n) step[n] = sum += channel.taps[n];
    double level = 0.0, echo = 1.0;
    for (int bounce = 0; bounce < 6; ++bounce) {
        // Halfway between arrivals 2 bounce + 1 and 2 bounce + 3.
        const std::size_t at = static_cast<std::size_t>(std::lround((2.0 * bounce + 2.0) * delay / kInterval));
        level += (1.0 + load) * echo;
        echo *= source * load;
        ASSERT_LT(at, step.size());
        EXPECT_NEAR(step[at], level, 1e-3) << "after arrival " << 2 * bounce + 1;
        // Nothing yet before the first arrival.
        if (bounce == 0) {
            EXPECT_NEAR(step[static_cast<std::size_t>(0.5 * delay / kInterval)], 0.0, 1e-3);
        }
    }
    // It settles where the resistive divider puts it: the source behind
    // 25 ohm is 1.5 of the wave, 150 / 175 of it reaches the load.
    EXPECT_NEAR(step.back(), 1.5 * 150.0 / 175.0, 1e-3);
}

TEST(LineEnds, PadCapacitancesArePolesOfTheEndsResistancesInParallel) {
    // A matched, ideal through: a Tx pad Cs sees Rs parallel to the
    // channel's 50 ohm, an Rx pad Cp the 50 ohm parallel to Rt.
    Network through;
    through.ports = 2;
    through.reference_ohms = {50.0, 50.0};
    through.frequencies = {1e9, 5e9};
    for (int f = 0; f < 2; ++f) through.s.insert(through.s.end(), {0.0, 1.0, 1.0, 0.0});
    for (const bool at_tx : {true, false}) {
        AnalogEnds ends;
        (at_tx ? ends.tx_cs : ends.rx_cp) = 2e-12;
        const FrequencyResponse h = VoltageTransfers(through, {{{1, 0}, {2, 0}}}, ends, {{0, 0}}).front();
        for (std::size_t f = 0; f < 2; ++f) {
            const std::complex<double> pole = 1.0 / std::complex<double>(1.0, kTwoPi * h.frequencies[f] * 25.0 * 2e-12);
            EXPECT_NEAR(std::abs(h.values[f] - pole), 0.0, 1e-12) << (at_tx ? "Tx" : "Rx");
        }
    }
}

TEST(LineEnds, APairsLegsCarryTheSingleEndedValues) {
    // Two uncoupled lines driven as a pair behave as one line between the
    // same ends: the ends are per leg, so the pair's are 2 Rs, 2 Rt, Cs / 2
    // and Cp / 2 against its 100 ohm.
    AnalogEnds ends;
    ends.tx_rs = 35.0;
    ends.tx_cs = 0.6e-12;
    ends.rx_rt = 65.0;
    ends.rx_cp = 0.4e-12;
    const FrequencyResponse pair = VoltageTransfers(Lines(4), {{{1, 2}, {3, 4}}}, ends, {{0, 0}}).front();
    const FrequencyResponse single = VoltageTransfers(Lines(2), {{{1, 0}, {2, 0}}}, ends, {{0, 0}}).front();
    for (std::size_t f = 0; f < pair.values.size(); f += 50)
        EXPECT_NEAR(std::abs(pair.values[f] - single.values[f]), 0.0, 1e-12);
    // And the aggressor path between two uncoupled lanes is silent.
    const FrequencyResponse across =
        VoltageTransfers(Lines(4), {{{1, 0}, {3, 0}}, {{2, 0}, {4, 0}}}, ends, {{1, 0}}).front();
    for (const std::complex<double>& v : across.values) ASSERT_EQ(std::abs(v), 0.0);
}

TEST(IbisEnds, OutputResistanceComesFromTheTablesAtTheLoad) {
    // A 40 ohm driver on a 1.2 V supply, written with a changed comment
    // character, the split C_comp of a newer file, and a second model.
    const std::string ibs =
        "[IBIS Ver] 7.0\n[Comment Char] #_char\n[Model] other\nModel_type Output\nC_comp 9pF 9pF 9pF\n"
        "[Model] drv   # the one asked for\nModel_type Output\n"
        "C_comp_pullup 0.5pF NA NA\nC_comp_pulldown 0.7pF NA NA\n"
        "[Voltage Range] 1.2V 1.1V 1.3V\n"
        "[Pulldown]\n-1.2 -30mA -25mA -35mA\n0 0 0 0\n1.2 30mA 25mA 35mA\n2.4 60mA 50mA 70mA\n"
        "[Pullup]\n-1.2 30mA 25mA 35mA\n0 0 0 0\n1.2 -30mA -25mA -35mA\n2.4 -60mA -50mA -70mA\n"
        "[Model] after\nC_comp 3pF NA NA\n";
    std::istringstream in(ibs);
    const IbisAnalog analog = ReadIbisAnalog(in, "drv", "x.ibs");
    ASSERT_TRUE(analog.c_comp);
    EXPECT_NEAR(*analog.c_comp, 1.2e-12, 1e-24);
    EXPECT_EQ(analog.c_comp_from, "C_comp_pullup + C_comp_pulldown");
    std::string why;
    const std::optional<OutputResistance> rs = EstimateOutputResistance(analog, 50.0, why);
    ASSERT_TRUE(rs) << why;
    EXPECT_NEAR(rs->ohms, 40.0, 1e-9);
    EXPECT_NE(rs->how.find("[Pulldown] 40 ohm"), std::string::npos) << rs->how;
    EXPECT_NE(rs->how.find("into 50 ohm to 0.6 V"), std::string::npos) << rs->how;
    // The model's own test load, written with '=', sets the operating point.
    std::string with_load = ibs;
    with_load.replace(with_load.find("[Voltage Range]"), 0, "Rref = 25.0\nVref=0\n");
    std::istringstream loaded(with_load);
    const std::optional<OutputResistance> at_load = EstimateOutputResistance(ReadIbisAnalog(loaded, "drv", "x.ibs"), 50.0, why);
    ASSERT_TRUE(at_load) << why;
    EXPECT_NE(at_load->how.find("into 25 ohm to 0 V (the model's Rref, Vref)"), std::string::npos) << at_load->how;
    // A receiver model: no driver tables, no resistance.
    std::istringstream input("[Model] rx\nModel_type Input\nC_comp 0.5p\n[GND Clamp]\n0 0 0 0\n");
    EXPECT_FALSE(EstimateOutputResistance(ReadIbisAnalog(input, "rx", "r.ibs"), 50.0, why));
    EXPECT_NE(why.find("no [Pullup] or [Pulldown]"), std::string::npos);
    std::istringstream none("[Model] a\n");
    try {
        ReadIbisAnalog(none, "b", "n.ibs");
        ADD_FAILURE() << "no error";
    } catch (const AmisimError& e) {
        EXPECT_NE(std::string(e.what()).find("n.ibs: no [Model] b"), std::string::npos);
    }
    EXPECT_EQ(ParseIbisNumber("1.5pF"), 1.5e-12);
    EXPECT_EQ(ParseIbisNumber("2M"), 2e6);
    EXPECT_EQ(ParseIbisNumber("NA"), std::nullopt);
}

// A receiver's termination however its model writes it: an on-die
// termination folded into the clamp tables (to mid-supply, or to the
// supply as a CML input has it), with [Rgnd] beside it, or diodes alone.
TEST(IbisEnds, ReceiverTerminationIsTheSlopeWhereThePinRests) {
    const auto termination = [](const std::string& body, std::string& why) {
        std::istringstream in("[IBIS Ver] 5.0\n[Model] rx\nModel_type Input\n[Voltage Range] 1.2 1.1 1.3\n" + body);
        return EstimateTermination(ReadIbisAnalog(in, "rx", "r.ibs"), why);
    };
    // Diodes that conduct only beyond the rails.
    const std::string gnd_diode = "[GND Clamp]\n-1.2 -200mA NA NA\n-0.8 -50mA NA NA\n-0.6 -5mA NA NA\n"
                                  "-0.4 -1uA NA NA\n0 0 NA NA\n2.4 1nA NA NA\n";
    const std::string power_diode = "[POWER Clamp]\n-1.2 200mA NA NA\n-0.8 50mA NA NA\n-0.6 5mA NA NA\n"
                                    "-0.4 1uA NA NA\n0 0 NA NA\n2.4 -1nA NA NA\n";
    std::string why;
    // 100 ohm to each rail, written as clamp currents: 50 ohm, resting at
    // mid-supply.
    const std::optional<Termination> split = termination(
        "[GND Clamp Reference] 0\n[POWER Clamp Reference] 1.2\n"
        "[GND Clamp]\n-1.2 -12mA NA NA\n0 0 NA NA\n2.4 24mA NA NA\n"
        "[POWER Clamp]\n-1.2 12mA NA NA\n0 0 NA NA\n2.4 -24mA NA NA\n",
        why);
    ASSERT_TRUE(split) << why;
    EXPECT_NEAR(split->ohms, 50.0, 1e-9);
    EXPECT_EQ(split->how, "[GND Clamp] and [POWER Clamp] 50 ohm at 0.6 V, where the pin rests");
    // 50 ohm to the supply in the power clamp, a diode to ground: the pin
    // rests at the supply.
    const std::optional<Termination> cml =
        termination(gnd_diode + "[POWER Clamp]\n-1.2 24mA NA NA\n0 0 NA NA\n2.4 -48mA NA NA\n", why);
    ASSERT_TRUE(cml) << why;
    EXPECT_NEAR(cml->ohms, 50.0, 1e-4);  // the diode leaks a nanoampere
    EXPECT_EQ(cml->how, "[GND Clamp] and [POWER Clamp] 50 ohm at 1.2 V, where the pin rests");
    // [Rgnd] beside a termination to the supply in the clamps.
    const std::optional<Termination> both =
        termination("[Rgnd] 100 NA NA\n" + gnd_diode + "[POWER Clamp]\n-1.2 12mA NA NA\n0 0 NA NA\n2.4 -24mA NA NA\n",
                    why);
    ASSERT_TRUE(both) << why;
    EXPECT_NEAR(both->ohms, 50.0, 1e-4);
    EXPECT_EQ(both->how, "[Rgnd] parallel to [GND Clamp] and [POWER Clamp] 100 ohm at 0.6 V, where the pin rests");
    // Diodes alone leak, they do not terminate; neither does nothing at all.
    EXPECT_FALSE(termination(gnd_diode + power_diode, why));
    EXPECT_EQ(why,
              "gives no [Rgnd] or [Rpower], and its [GND Clamp] and [POWER Clamp] at 0.6 V, where the pin rests, "
              "are above 1 Mohm: no termination");
    EXPECT_FALSE(termination("", why));
    EXPECT_EQ(why, "gives no [Rgnd], [Rpower] or clamp table");
    // Resistors alone, as before.
    const std::optional<Termination> resistors = termination("[Rgnd] 100 NA NA\n[Rpower] 100 NA NA\n", why);
    ASSERT_TRUE(resistors);
    EXPECT_DOUBLE_EQ(resistors->ohms, 50.0);
    EXPECT_EQ(resistors->how, "[Rgnd] parallel to [Rpower]");
}

TEST(IbisEnds, EndValuesReadWithTheirScale) {
    EXPECT_DOUBLE_EQ(ParseEndValue("1.2p", "--tx-cs", true), 1.2e-12);
    EXPECT_DOUBLE_EQ(ParseEndValue("1.2pF", "--tx-cs", true), 1.2e-12);
    EXPECT_DOUBLE_EQ(ParseEndValue("45ohm", "--tx-rs", true), 45.0);
    EXPECT_DOUBLE_EQ(ParseEndValue("1e-12", "--rx-cp", true), 1e-12);
    EXPECT_DOUBLE_EQ(ParseEndValue("0", "--tx-rs", true), 0.0);
    for (const char* bad : {"-1", "abc", "1x", "inf"}) {
        try {
            ParseEndValue(bad, "--rx-rt", false);
            ADD_FAILURE() << bad;
        } catch (const AmisimError& e) {
            EXPECT_NE(std::string(e.what()).find(std::string("--rx-rt ") + bad), std::string::npos);
        }
    }
    EXPECT_THROW(ParseEndValue("0", "--rx-rt", false), AmisimError);
}

class EndsCommand : public amisim_test::CommandFolder {
protected:
    EndsCommand() : CommandFolder("amisim_ends_") {}
};

TEST_F(EndsCommand, TheSummaryAndJsonSayWhereEachEndCameFrom) {
    // The receiver as an .ibs with a 100 ohm [Rgnd] and [Rpower] and a
    // 0.8 pF C_comp; the transmitter's ends from the command line.
    std::ofstream(Path("rx.ibs")) << "[IBIS Ver] 7.0\n[Model] rx\nModel_type Input\nC_comp 0.8pF NA NA\n"
                                     "[Voltage Range] 1.0 NA NA\n[Rgnd] 100 NA NA\n[Rpower] 100 NA NA\n"
                                     "[Algorithmic Model]\nExecutable Linux_gcc_64 "
                                  << AMISIM_RX_MODEL << ' ' << AMISIM_RX_AMI << "\n[End Algorithmic Model]\n[End]\n";
    const amisim_test::Outcome outcome =
        Run(std::string(AMISIM_PASSTHROUGH_MODEL) + " --root passthrough --rx " + Path("rx.ibs") +
            " --line 0.2m --tx-rs 30 --tx-cs 0.5p --bits 700 --samples-per-bit 4 --json " + Path("r.json"));
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_NE(outcome.out.find("ends          Tx Rs 30 ohm, Cs 0.5 pF; Rx Rt 50 ohm, Cp 0.8 pF (each leg)"),
              std::string::npos)
        << outcome.out;
    EXPECT_NE(outcome.out.find("Rx Rt 50 ohm from rx.ibs [Model] rx [Rgnd] parallel to [Rpower]"), std::string::npos);
    EXPECT_NE(outcome.out.find("Rx Cp 0.8 pF from rx.ibs [Model] rx C_comp (typical)"), std::string::npos);
    EXPECT_NE(outcome.out.find("Tx Cs 0.5 pF from --tx-cs"), std::string::npos);
    const std::string json = Read(Path("r.json"));
    EXPECT_NE(json.find("\"ends\""), std::string::npos);
    EXPECT_NE(json.find("\"rx_rt_ohms\": 50.0"), std::string::npos) << json;
    EXPECT_NE(json.find("\"tx_rs_ohms\": 30.0"), std::string::npos) << json;
    // A CSV channel is a transfer already: the ends leave it alone, and say so.
    std::ofstream(Path("c.csv")) << "time,impulse\n0,0\n1e-11,5e10\n2e-11,5e10\n3e-11,0\n";
    const amisim_test::Outcome csv = Run(std::string(AMISIM_PASSTHROUGH_MODEL) + " --root passthrough --channel " +
                                         Path("c.csv") + " --rx-rt 100 --bits 200 --samples-per-bit 4");
    EXPECT_EQ(csv.status, 0) << csv.err;
    EXPECT_NE(csv.err.find("this channel is taken as given"), std::string::npos) << csv.err;
    const amisim_test::Outcome bad = Run(std::string(AMISIM_PASSTHROUGH_MODEL) + " --root passthrough --line 0.2m --rx-rt 0");
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("--rx-rt 0: give a positive value"), std::string::npos) << bad.err;
}
