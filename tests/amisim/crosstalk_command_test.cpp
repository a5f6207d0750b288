// amisim's crosstalk options end to end: aggressors from files of their
// own, the reports they add, and the usage errors.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>

#include "tests/amisim/command_fixture.h"
#include "tools/amisim/channel/touchstone.h"

namespace {

class CrosstalkCommand : public amisim_test::CommandFolder {
protected:
    CrosstalkCommand() : CommandFolder("amisim_xtalk_cmd_") {}

    // A step response rising over about two unit intervals at 10.8 Gb/s.
    std::string StepCsv(const std::string& name, double gain) {
        const std::string path = Path(name);
        std::ofstream out(path);
        out << "time,step\n";
        const double dt = 1.0 / 10.8e9 / 16;
        for (int n = 0; n < 300; ++n)
            out << n * dt << ',' << (n < 20 ? 0.0 : gain * (1.0 - std::exp(-(n - 20) / 32.0))) << '\n';
        return path;
    }
    std::string Model() const { return std::string(AMISIM_PASSTHROUGH_MODEL) + " --root passthrough"; }
};

TEST_F(CrosstalkCommand, AggressorFilesAddTheirSizesEyesColumnAndPulses) {
    const std::string victim = StepCsv("victim.csv", 1.0), aggressor = StepCsv("aggressor.csv", 0.1);
    const amisim_test::Outcome outcome =
        Run(Model() + " --bits 1200 --channel " + victim + " --aggressor-channel fext:" + aggressor +
            " --aggressor-channel " + aggressor + " --aggressor-seed 5 --json " + Path("r.json") + " --csv " +
            Path("w.csv") + " --pulse " + Path("p.svg"));
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_NE(outcome.out.find("aggressor 1   fext aggressor.csv"), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.out.find("with crosstalk"), std::string::npos) << outcome.out;

    const nlohmann::json json = nlohmann::json::parse(Read(Path("r.json")));
    ASSERT_EQ(json["crosstalk"].size(), 2u);
    EXPECT_EQ(json["crosstalk"][0]["kind"], "fext");
    EXPECT_EQ(json["crosstalk"][1]["kind"], "unspecified");
    EXPECT_EQ(json["crosstalk"][0]["seed"], 5);
    EXPECT_EQ(json["crosstalk"][1]["seed"], 2);
    // Same path, same size; at most all the bits' peak.
    EXPECT_DOUBLE_EQ(json["crosstalk"][0]["rms_mv"].get<double>(), json["crosstalk"][1]["rms_mv"].get<double>());
    EXPECT_GT(json["crosstalk"][0]["rms_mv"].get<double>(), 1.0);
    EXPECT_LE(json["crosstalk"][0]["rms_mv"].get<double>(), json["crosstalk"][0]["peak_mv"].get<double>());
    EXPECT_LT(json["statistical"]["eye_height"].get<double>(),
              json["statistical_without_crosstalk"]["eye_height"].get<double>());
    EXPECT_TRUE(json["time_domain"].contains("crosstalk_seconds"));

    const std::string csv = Read(Path("w.csv"));
    EXPECT_EQ(csv.substr(0, csv.find('\n')), "time,input,tx,channel,xtalk");
    const std::string svg = Read(Path("p.svg"));
    EXPECT_NE(svg.find(">victim</text>"), std::string::npos);
    EXPECT_NE(svg.find(">1 fext (rms"), std::string::npos);
}

// Two coupled differential lanes in one 8-port: the victim 1,2 -> 3,4 and
// an aggressor 5,6 -> 7,8 whose far end couples into the victim's.
TEST_F(CrosstalkCommand, AggressorLanesComeFromTheVictimsOwnNetwork) {
    amisim::TouchstoneData data;
    data.ports = 8;
    data.reference_ohms.assign(8, 50.0);
    for (double f = 100e6; f <= 90e9; f += 100e6) {
        const std::complex<double> h = std::polar(std::exp(-f / 30e9), -2.0 * 3.14159265358979 * f * 0.3e-9);
        std::vector<std::complex<double>> s(64, 0.0);
        const auto set = [&](int row, int column, std::complex<double> v) {
            s[static_cast<std::size_t>((row - 1) * 8 + column - 1)] = v;
        };
        set(3, 1, h);
        set(4, 2, h);
        set(7, 5, h);
        set(8, 6, h);
        set(3, 5, 0.05 * h);
        set(4, 6, 0.05 * h);
        data.frequencies.push_back(f);
        data.s.insert(data.s.end(), s.begin(), s.end());
    }
    {
        std::ofstream out(Path("lanes.s8p"));
        amisim::WriteTouchstone(out, data, "GHz", amisim::TouchstoneFormat::kRealImaginary);
    }
    const amisim_test::Outcome outcome = Run(Model() + " --bits 1000 --channel " + Path("lanes.s8p") +
                                             " --aggressor fext:5,6,7,8 --json " + Path("r.json"));
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const nlohmann::json json = nlohmann::json::parse(Read(Path("r.json")));
    ASSERT_EQ(json["crosstalk"].size(), 1u);
    EXPECT_EQ(json["crosstalk"][0]["kind"], "fext");
    // A 5% far-end coupling of a pulse that barely spreads: its size is
    // about 5% of the victim's half-volt level.
    EXPECT_NEAR(json["crosstalk"][0]["peak_mv"].get<double>(), 25.0, 5.0);
    const amisim_test::Outcome shared = Run(Model() + " --bits 1000 --channel " + Path("lanes.s8p") +
                                            " --aggressor fext:5,6,3,4");
    EXPECT_EQ(shared.status, 2);
    EXPECT_NE(shared.err.find("port 3"), std::string::npos) << shared.err;
}

TEST_F(CrosstalkCommand, AggressorOptionsOutOfPlaceAreUsageErrors) {
    const std::string aggressor = StepCsv("aggressor.csv", 0.1);
    const struct {
        std::string arguments, message;
    } cases[] = {
        {"--aggressor fext:5,6,3,4", "--channel"},
        {"--aggressor-seed 3", "need an --aggressor"},
        {"--aggressor-param emphasis=1", "need an --aggressor"},
        {"--aggressor-channel " + aggressor + " --aggressor-seed 1 --aggressor-seed 2", "given 2 times"},
        {"--aggressor-channel " + Path("paths.txt"), "Touchstone"},
        {"--aggressor-channel " + Path("missing.csv"), "cannot open"},
    };
    for (const auto& c : cases) {
        const amisim_test::Outcome outcome = Run(Model() + " --bits 400 " + c.arguments);
        EXPECT_EQ(outcome.status, 2) << c.arguments;
        EXPECT_NE(outcome.err.find(c.message), std::string::npos) << c.arguments << ": " << outcome.err;
    }
}

}  // namespace
