// .ami files written to hurt: huge, deeply nested, with a quote that never
// closes or a blank run far beyond a line. Each is read and checked through
// the whole path (gathering, parse, tree check) in time that grows with its
// size, and ends with a finding or none, never with the process.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "IbisParser/algmod.h"
#include "IbisParser/ibis.h"
#include "IbisParser/parse.h"
#include "checker_test_support.h"

namespace {

const std::string kReserved =
    "(Reserved_Parameters (Init_Returns_Impulse (Usage Info) (Type Boolean) (Default True) (Description x))"
    " (GetWave_Exists (Usage Info) (Type Boolean) (Default True) (Description x)))";

struct Outcome {
    std::string report;
    double seconds;
};

Outcome CheckAmi(CheckerSession& session, const std::string& text) {
    const std::string path = session.Write("h.ami", text);
    const auto start = std::chrono::steady_clock::now();
    IBIS_New();
    EXPECT_EQ(PARSE_ReadFile(path.c_str(), PARSE_KIND_AMI), 1);
    ALGMOD_CheckAmiFile();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return {session.Take(), elapsed.count()};
}

// The time each run took is recorded with the test result (a quadratic step
// would show as minutes there); speed itself is judged by the benchmarks.

TEST(AlgmodHostile, MillionsOfShortLines) {
    CheckerSession session;
    std::string text = "(m " + kReserved + "\n(Model_Specific\n";
    for (int i = 0; i < 2'000'000; ++i) text += "(a 1)\n";
    text += "))\n";
    const Outcome outcome = CheckAmi(session, text);
    EXPECT_EQ(outcome.report, "");
    RecordProperty("seconds", std::to_string(outcome.seconds));
}

TEST(AlgmodHostile, NestingHundredsOfThousandsDeep) {
    CheckerSession session;
    constexpr int kDepth = 300'000;
    std::string text = "(m " + kReserved + " (Model_Specific ";
    for (int i = 0; i < kDepth; ++i) text += "(b ";
    text += "(Usage Never)";
    text.append(kDepth, ')');
    text += "))";
    const Outcome outcome = CheckAmi(session, text);
    EXPECT_EQ(outcome.report, "E4627 - Illegal Usage value Never specified for b\n");
}

TEST(AlgmodHostile, UnterminatedQuoteAndEndlessBlanks) {
    CheckerSession session;
    std::string quote = "(m " + kReserved + " (Model_Specific (a (Description \"never closed)))\n";
    for (int i = 0; i < 100'000; ++i) quote += "(x (y 1)) \" (z 2)\n";
    EXPECT_EQ(CheckAmi(session, quote).report, "E4619 - The AMI parameter file has mismatched parenthesis\n");

    const std::string blanks = "(m" + std::string(5'000'000, ' ') + kReserved + std::string(5'000'000, '\t') + ")";
    const Outcome outcome = CheckAmi(session, blanks);
    // The tabs draw the file's one tab warning.
    EXPECT_EQ(outcome.report, "W0921 (line    1) - IBIS files should not contain tab characters.\n");
}

TEST(AlgmodHostile, HugeValuesInMessages) {
    CheckerSession session;
    const std::string value(100'000, 'v');
    const std::string report = CheckAmi(session, "(m " + kReserved + " (Model_Specific (a (Usage " + value + "))))").report;
    // The message is cut to its buffer, one line all the same.
    ASSERT_GT(report.size(), 2000u);
    EXPECT_LT(report.size(), 2300u);
    EXPECT_EQ(report.rfind("E4627 - Illegal Usage value vvv", 0), 0u);
    EXPECT_EQ(report.back(), '\n');
}

}  // namespace
