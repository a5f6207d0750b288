// Grid sweeps: the order of the points, the workers, and the command's
// table and JSON, with a failing point among good ones.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <atomic>
#include <chrono>
#include <set>
#include <stdexcept>
#include <thread>

#include "amisim/command_fixture.h"
#include "tools/amisim/amisim_error.h"
#include "tools/amisim/channel/channel.h"
#include "tools/amisim/flows/grid_sweep.h"
#include "tools/amisim/flows/parallel_runner.h"
#include "tools/amisim/flows/parameter_grid.h"
#include "tools/amisim/reports/grid_progress.h"
#include "tools/amisim/reports/grid_report.h"

using namespace amisim;

namespace {

ParameterGrid ThreeByFour() {
    return ParameterGrid({{false, "emphasis", {"0", "1", "2"}}, {true, "gain", {"a", "b", "c", "d"}}});
}

TEST(ParameterGrid, TheLastParameterChangesFastestAndIndicesRoundTrip) {
    const ParameterGrid grid = ThreeByFour();
    EXPECT_EQ(grid.size(), 12u);
    EXPECT_EQ(grid.Shape(), "3 x 4");
    EXPECT_EQ(grid.Indices(0), (std::vector<std::size_t>{0, 0}));
    EXPECT_EQ(grid.Indices(5), (std::vector<std::size_t>{1, 1}));
    EXPECT_EQ(grid.Indices(11), (std::vector<std::size_t>{2, 3}));
    for (std::size_t i = 0; i < grid.size(); ++i) EXPECT_EQ(grid.Point(grid.Indices(i)), i);
    const PointSetting setting = grid.Setting({2, 1});
    ASSERT_EQ(setting.tx.size(), 1u);
    EXPECT_EQ(setting.tx[0].value, "2");
    EXPECT_EQ(setting.Text(), "Tx emphasis=2, Rx gain=b");
}

TEST(ParameterGrid, RefusesATwiceSweptParameterAndAHugeGrid) {
    EXPECT_THROW(ParameterGrid({{false, "a", {"1"}}, {false, "a", {"2"}}}), AmisimError);
    // The same name on both models is two parameters.
    EXPECT_NO_THROW(ParameterGrid({{false, "a", {"1"}}, {true, "a", {"2"}}}));
    const std::vector<std::string> thousand(1000, "x");
    EXPECT_THROW(ParameterGrid({{false, "a", thousand}, {false, "b", thousand}, {false, "c", {"1", "2"}}}),
                 AmisimError);
    EXPECT_THROW(ParameterGrid({{false, "a", {}}}), AmisimError);
}

TEST(GridReport, ColumnsNameTheModelOnlyWhenBothHaveTheName) {
    const ParameterGrid grid({{false, "gain", {"1"}}, {true, "gain", {"2"}}, {true, "zero", {"3"}}});
    EXPECT_EQ(ColumnName(grid, 0), "tx:gain");
    EXPECT_EQ(ColumnName(grid, 1), "rx:gain");
    EXPECT_EQ(ColumnName(grid, 2), "zero");
}

TEST(GridReport, TheBestIsTheEarliestOfTheTallestAndFailedPointsShowTheirError) {
    const ParameterGrid grid = ThreeByFour();
    std::vector<PointResult> results(grid.size());
    for (std::size_t i = 0; i < results.size(); ++i) {
        results[i].ok = true;
        results[i].figures.stat_height = i == 4 || i == 9 ? 0.3 : 0.1;
        results[i].figures.stat_width = static_cast<double>(i) / 100.0;
    }
    results[11].ok = false;
    results[11].error = "Rx AMI_Init failed\n(returned 0)";
    EXPECT_EQ(BestPoint(results, Objective::kStatHeight), 4u);
    EXPECT_EQ(BestPoint(results, Objective::kStatWidth), 10u);
    const std::string table = FormatGridTable(grid, results, 4, Objective::kStatHeight, 1e-12);
    EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 1 + 1 + 12 + 1) << table;
    EXPECT_NE(table.find("failed: Rx AMI_Init failed (returned 0)\n"), std::string::npos) << table;
    EXPECT_NE(table.find("Best: Tx emphasis=1, Rx gain=a (by the statistical eye height at BER 1e-12)"),
              std::string::npos)
        << table;
    // Time-domain figures of a statistical sweep are shown as not run.
    EXPECT_NE(table.find("          -"), std::string::npos) << table;

    const nlohmann::ordered_json points = SweepPointsJson(grid, results);
    ASSERT_EQ(points.size(), 12u);
    EXPECT_EQ(points[11]["error"], "Rx AMI_Init failed\n(returned 0)");
    EXPECT_FALSE(points[11].contains("statistical"));
    EXPECT_EQ(points[5]["tx"]["emphasis"], "1");
    EXPECT_EQ(points[5]["rx"]["gain"], "b");
    EXPECT_FALSE(points[5].contains("name"));  // only a sweep of one parameter has one name

    std::vector<PointResult> all_failed(2);
    EXPECT_FALSE(BestPoint(all_failed, Objective::kStatHeight).has_value());
}

TEST(GridReport, TimingsBecomeNullAtAnyDepth) {
    nlohmann::ordered_json json = {{"tx_seconds", 0.5},
                                   {"sweep", {{{"time_domain", {{"rx_seconds", 1.0}, {"eye_height", 0.2}}}}}}};
    NullTimings(json);
    EXPECT_TRUE(json["tx_seconds"].is_null());
    EXPECT_TRUE(json["sweep"][0]["time_domain"]["rx_seconds"].is_null());
    EXPECT_EQ(json["sweep"][0]["time_domain"]["eye_height"], 0.2);
}

TEST(GridProgress, ShowsPointsBestAndTimeLeft) {
    EXPECT_EQ(FormatProgress(10, 40, "points", "0.2000 V (Tx a=1)", 20.0),
              "  10/40 points  best 0.2000 V (Tx a=1)  1:00 left");
    EXPECT_EQ(FormatProgress(0, 40, "points", "", 0.0), "  0/40 points");
    EXPECT_EQ(FormatProgress(1, 4000, "candidates", "", 1.0), "  1/4000 candidates  1:06:39 left");
}

// Runs on several threads: also under ThreadSanitizer.
TEST(ParallelThreads, EveryTaskRunsOnceAndIsReportedOnTheCallingThread) {
    for (unsigned workers : {1u, 2u, 4u}) {
        std::vector<int> runs(100, 0);
        std::set<std::size_t> reported;
        const std::thread::id caller = std::this_thread::get_id();
        std::atomic<bool> reported_elsewhere{false};
        RunInParallel(
            runs.size(), workers, [&](std::size_t i) { ++runs[i]; },
            [&](std::size_t i) {
                if (std::this_thread::get_id() != caller) reported_elsewhere = true;
                EXPECT_EQ(runs[i], 1);  // the task's result is visible to the report
                reported.insert(i);
            });
        EXPECT_EQ(std::count(runs.begin(), runs.end(), 1), 100) << workers;
        EXPECT_EQ(reported.size(), 100u);
        EXPECT_FALSE(reported_elsewhere);
    }
}

TEST(ParallelThreads, AFailingTaskStopsTheRestAndItsErrorComesBack) {
    std::atomic<int> started{0};
    try {
        // The other tasks take a millisecond each, so the rest would take half a
        // second: far longer than throwing takes, even under a sanitizer, where
        // unwinding is slow enough for an idle worker to run hundreds of empty tasks.
        RunInParallel(1000, 2, [&](std::size_t i) {
            ++started;
            if (i == 3) throw std::runtime_error("task 3");
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        });
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "task 3");
    }
    EXPECT_LT(started.load(), 1000);
}

// Whole link runs on two workers, each with its own instances of the
// stand-in Tx and Rx and its own FFTW plans: the figures are those of one
// worker, to the last bit.
TEST(ParallelThreads, GridPointsOnTwoWorkersMatchOneWorker) {
    ModelChoice tx_choice{"Tx", AMISIM_PASSTHROUGH_MODEL, "", "", "passthrough", {}};
    ModelChoice rx_choice{"Rx", AMISIM_RX_MODEL, AMISIM_RX_AMI, "", "", {}};
    const LinkModel tx = LoadLinkModel(tx_choice);
    const LinkModel rx = LoadLinkModel(rx_choice);
    LinkSettings settings;
    settings.bits = 400;
    settings.samples_per_bit = 8;
    LineParameters line;
    line.length_m = 0.1;
    const Channel channel = LineChannel(line, settings.sample_interval());
    const LinkContext context{tx, &rx, channel, settings};
    const ParameterGrid grid({{true, "zero_ghz", {"1", "2", "4"}}, {true, "fail_init", {"False", "True"}}});
    const std::vector<PointResult> one = RunGrid(context, grid, 1, true);
    const std::vector<PointResult> two = RunGrid(context, grid, 2, true);
    ASSERT_EQ(one.size(), 6u);
    for (std::size_t i = 0; i < one.size(); ++i) {
        EXPECT_EQ(one[i].ok, i % 2 == 0) << i;
        EXPECT_EQ(two[i].ok, one[i].ok) << i;
        EXPECT_EQ(two[i].error, one[i].error) << i;
        EXPECT_EQ(two[i].statistical.dump(), one[i].statistical.dump()) << i;
        if (one[i].ok) {
            EXPECT_EQ(two[i].figures.td_height, one[i].figures.td_height) << i;
        }
    }
}

#ifdef AMISIM_HAVE_KORVAN_TX

class GridCommand : public amisim_test::CommandFolder {
protected:
    GridCommand() : CommandFolder("amisim_grid_") {}
    static std::string Package() { return std::string(AMISIM_PACKAGE_DIR) + "/korvan_tx.ibs"; }
};

TEST_F(GridCommand, AThreeByFourGridPrintsTwelveRowsAndTwoWorkersWriteWhatOneWrites) {
    const std::string grid = Package() + " --line 0.3m --bits 1200 --sweep Vreg=0..2 --sweep emphasis=0,2,4,6 "
                                         "--sweep-flow statistical --no-timings --json ";
    const amisim_test::Outcome one = Run(grid + Path("one.json") + " -j 1");
    ASSERT_EQ(one.status, 0) << one.err;
    const amisim_test::Outcome two = Run(grid + Path("two.json") + " -j 2");
    ASSERT_EQ(two.status, 0) << two.err;
    EXPECT_EQ(Read(folder_ / "one.json"), Read(folder_ / "two.json"));
    // The points' lines and the table too, in grid order (the final run's
    // timings differ).
    EXPECT_EQ(one.out.substr(0, one.out.find("== the best point again")),
              two.out.substr(0, two.out.find("== the best point again")));

    const std::string& out = one.out;
    const std::size_t table = out.find("Grid of 3 x 4 = 12 points");
    ASSERT_NE(table, std::string::npos) << out;
    const std::size_t end = out.find("Best: ", table);
    ASSERT_NE(end, std::string::npos) << out;
    const std::string rows = out.substr(table, end - table);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 2 + 12) << rows;
    EXPECT_NE(out.find("Best: Tx Vreg=2 emphasis="), std::string::npos) << out;

    const auto json = nlohmann::json::parse(Read(folder_ / "one.json"));
    ASSERT_EQ(json["sweep"].size(), 12u);
    EXPECT_EQ(json["sweep"][5]["tx"]["Vreg"], "1");
    EXPECT_EQ(json["sweep"][5]["tx"]["emphasis"], "2");
    EXPECT_FALSE(json["sweep"][5].contains("time_domain"));  // a statistical sweep
    EXPECT_EQ(json["grid"]["points"], 12);
    EXPECT_EQ(json["sweep_best"]["objective"], "stat-height");
    const std::size_t best = json["sweep_best"]["index"];
    for (const auto& point : json["sweep"])
        EXPECT_LE(point["statistical"]["eye_height"].get<double>(),
                  json["sweep"][best]["statistical"]["eye_height"].get<double>());
    EXPECT_TRUE(json["time_domain"]["tx_seconds"].is_null());  // --no-timings
}

#endif

class GridFailures : public amisim_test::CommandFolder {
protected:
    GridFailures() : CommandFolder("amisim_grid_fail_") {}
};

TEST_F(GridFailures, AFailedPointIsMarkedAndTheOthersGoOn) {
    const std::string command = std::string(AMISIM_PASSTHROUGH_MODEL) + " --root passthrough --rx " + AMISIM_RX_MODEL +
                                " --rx-ami " + AMISIM_RX_AMI + " --line 0.2m --bits 1000 --sweep rx:fail_init=False,True " +
                                "--sweep rx:zero_ghz=1,3 --json " + Path("f.json");
    const amisim_test::Outcome outcome = Run(command);
    // The others go on and the run succeeds; each failure is told on
    // standard error and marked in the table and the JSON.
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_NE(outcome.err.find("amisim: fail_init=True zero_ghz=1: Rx AMI_Init failed (returned 0)\n"),
              std::string::npos)
        << outcome.err;
    EXPECT_NE(outcome.out.find("failed: Rx AMI_Init failed (returned 0)"), std::string::npos) << outcome.out;
    const auto json = nlohmann::json::parse(Read(folder_ / "f.json"));
    ASSERT_EQ(json["sweep"].size(), 4u);
    EXPECT_TRUE(json["sweep"][0]["statistical"]["eye_height"].is_number());
    EXPECT_TRUE(json["sweep"][1]["time_domain"]["eye_height"].is_number());
    EXPECT_EQ(json["sweep"][2]["error"], "Rx AMI_Init failed (returned 0)");
    EXPECT_EQ(json["sweep"][3]["error"], "Rx AMI_Init failed (returned 0)");
    EXPECT_EQ(json["grid"]["failed"], 2);
    EXPECT_EQ(json["sweep_best"]["rx"]["fail_init"], "False");
    EXPECT_TRUE(json["time_domain"]["eye_height"].is_number());  // the best point's run for the files

    const amisim_test::Outcome all = Run(std::string(AMISIM_PASSTHROUGH_MODEL) + " --root passthrough --rx " +
                                         AMISIM_RX_MODEL + " --rx-ami " + AMISIM_RX_AMI +
                                         " --bits 1000 --sweep rx:fail_init=True --sweep rx:zero_ghz=1,3");
    EXPECT_EQ(all.status, 2);
    EXPECT_NE(all.err.find("every point of the sweep failed; the first: Rx AMI_Init failed"), std::string::npos)
        << all.err;
}

}  // namespace
