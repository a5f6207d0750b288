// Golden-file tests of the ibischeck command.
//
// Every case (see golden_cases.h) must print its expected file byte for
// byte on standard output; its exit status must be 0 for a report ending in
// "File Passed" and 1 otherwise.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "golden_cases.h"

namespace {

using namespace golden;

class GoldenTest : public testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenTest, ReportMatchesExpected) {
#ifndef IBISCHECK_PATH
    GTEST_SKIP() << "the path of ibischeck was not configured";
#else
    const GoldenCase& golden = GetParam();
    const fs::path expectedPath = golden.directory / (golden.input + kExpectedSuffix);
    const RunResult run = RunIbischeck(IBISCHECK_PATH, golden);

    if (std::getenv("IBISCHECK_REGENERATE") != nullptr) {
        std::ofstream(expectedPath, std::ios::binary) << run.output;
        GTEST_SKIP() << "rewrote " << expectedPath << "; check it by eye";
    }

    EXPECT_EQ(Slurp(expectedPath), run.output) << "case " << golden.group << "/" << golden.input;
    const bool passed = run.output.ends_with("File Passed\n");
    EXPECT_EQ(passed ? 0 : 1, run.status) << "exit status of " << golden.group << "/" << golden.input;
#endif
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenTest, testing::ValuesIn(FindCases()), TestNameOf);

}  // namespace
