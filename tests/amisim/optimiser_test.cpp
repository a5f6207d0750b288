// The search of --optimise on figures whose best is known, and the values
// it reads from .ami declarations.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include <nlohmann/json.hpp>

#include "amisim/command_fixture.h"
#include "tools/amisim/flows/optimiser.h"
#include "tools/amisim/flows/search_space.h"

using namespace amisim;

namespace {

GridDimension Dimension(const std::string& name, std::size_t count) {
    GridDimension dimension{false, name, {}};
    for (std::size_t i = 0; i < count; ++i) dimension.values.push_back(std::to_string(i));
    return dimension;
}

// Runs the search on `figure` of the value indices, recording every batch.
struct Recorder {
    const ParameterGrid& grid;
    std::function<double(const std::vector<std::size_t>&)> figure;
    std::vector<std::size_t> evaluated;
    std::size_t batches = 0;

    BatchObjective Objective() {
        return [this](const std::vector<std::size_t>& points) {
            ++batches;
            std::vector<double> values;
            for (std::size_t point : points) {
                evaluated.push_back(point);
                values.push_back(figure(grid.Indices(point)));
            }
            return values;
        };
    }
};

double Peak(const std::vector<std::size_t>& x, const std::vector<double>& at) {
    double sum = 0.0;
    for (std::size_t d = 0; d < x.size(); ++d) sum -= (static_cast<double>(x[d]) - at[d]) * (static_cast<double>(x[d]) - at[d]);
    return sum;
}

TEST(PatternSearch, FindsTheTopOfAHillInATinyShareOfTheGridTryingEachPointOnce) {
    const ParameterGrid grid({Dimension("a", 7), Dimension("b", 21), Dimension("c", 5), Dimension("d", 11)});
    Recorder recorder{grid, [](const std::vector<std::size_t>& x) { return Peak(x, {5, 13, 1, 8}); }, {}, 0};
    const SearchOutcome outcome = PatternSearch(grid, {0, 0, 0, 0}, recorder.Objective(), grid.size());
    ASSERT_TRUE(outcome.found);
    EXPECT_EQ(grid.Indices(outcome.tried[outcome.best]), (std::vector<std::size_t>{5, 13, 1, 8}));
    EXPECT_LT(outcome.tried.size(), grid.size() / 20);
    EXPECT_EQ(recorder.evaluated, outcome.tried);  // each handed over once, in the order reported
    EXPECT_EQ(std::set<std::size_t>(outcome.tried.begin(), outcome.tried.end()).size(), outcome.tried.size());
    EXPECT_LT(recorder.batches, outcome.tried.size() / 2);  // points of a step go together
}

TEST(PatternSearch, FollowsARidgeAcrossTheAxes) {
    // Coupled settings: the best b falls as a rises (emphasis against
    // peaking), and a step along one axis alone leaves the ridge.
    const ParameterGrid grid({Dimension("a", 15), Dimension("b", 15)});
    const auto ridge = [](const std::vector<std::size_t>& x) {
        const double a = static_cast<double>(x[0]), b = static_cast<double>(x[1]);
        return -std::abs(a + b - 16.0) * 10.0 - 0.3 * std::abs(a - 11.0);
    };
    Recorder recorder{grid, ridge, {}, 0};
    const SearchOutcome outcome = PatternSearch(grid, {0, 14}, recorder.Objective(), grid.size());
    EXPECT_EQ(grid.Indices(outcome.tried[outcome.best]), (std::vector<std::size_t>{11, 5}));
}

TEST(PatternSearch, RestartsFindTheHigherOfTwoHills) {
    const ParameterGrid grid({Dimension("a", 31), Dimension("b", 31)});
    const auto hills = [](const std::vector<std::size_t>& x) {
        return std::max(Peak(x, {2, 2}), Peak(x, {24, 26}) + 5.0);
    };
    Recorder recorder{grid, hills, {}, 0};
    const SearchOutcome outcome = PatternSearch(grid, {0, 1}, recorder.Objective(), grid.size());
    EXPECT_EQ(grid.Indices(outcome.tried[outcome.best]), (std::vector<std::size_t>{24, 26}));
    EXPECT_GE(outcome.starts, 2u);
}

TEST(PatternSearch, FailedPointsNeverWinAndTheSameFiguresGiveTheSameTrials) {
    const ParameterGrid grid({Dimension("a", 9), Dimension("b", 9)});
    // The true top fails (NaN): the best of the rest wins.
    const auto figure = [](const std::vector<std::size_t>& x) {
        return x[0] == 6 && x[1] == 3 ? NAN : Peak(x, {6, 3});
    };
    Recorder first{grid, figure, {}, 0}, second{grid, figure, {}, 0};
    const SearchOutcome a = PatternSearch(grid, {4, 4}, first.Objective(), grid.size());
    const SearchOutcome b = PatternSearch(grid, {4, 4}, second.Objective(), grid.size());
    EXPECT_EQ(a.tried, b.tried);
    ASSERT_TRUE(a.found);
    EXPECT_EQ(a.values[a.best], -1.0);

    Recorder none{grid, [](const std::vector<std::size_t>&) { return NAN; }, {}, 0};
    EXPECT_FALSE(PatternSearch(grid, {0, 0}, none.Objective(), grid.size()).found);
}

TEST(PatternSearch, NeverTriesMoreThanItsBudget) {
    const ParameterGrid grid({Dimension("a", 31), Dimension("b", 31), Dimension("c", 31)});
    Recorder recorder{grid, [](const std::vector<std::size_t>& x) { return Peak(x, {30, 30, 30}); }, {}, 0};
    const SearchOutcome outcome = PatternSearch(grid, {0, 0, 0}, recorder.Objective(), 25);
    EXPECT_EQ(outcome.tried.size(), 25u);
    EXPECT_EQ(recorder.evaluated.size(), 25u);
    EXPECT_TRUE(outcome.budget_spent);
    EXPECT_TRUE(outcome.found);
    EXPECT_EQ(DefaultBudget(grid), 31u * 31 * 31 / 10);
    EXPECT_EQ(DefaultBudget(ParameterGrid({Dimension("a", 12)})), 12u);
    EXPECT_EQ(DefaultBudget(ParameterGrid({Dimension("a", 150)})), 20u);
}

AmiParameter Declared(const std::string& type, const std::string& format, std::vector<std::string> values,
                      const std::string& usage = "In") {
    AmiParameter parameter;
    parameter.path = "p";
    parameter.usage = usage;
    parameter.type = type;
    parameter.format = format;
    parameter.format_values = std::move(values);
    return parameter;
}

TEST(SearchSpace, ValuesFromEachDeclaredFormat) {
    using V = std::vector<std::string>;
    EXPECT_EQ(SearchValues(Declared("Integer", "Range", {"2", "0", "3"})), (V{"0", "1", "2", "3"}));
    const V peaking = SearchValues(Declared("Float", "Range", {"0", "0", "20"}));
    ASSERT_EQ(peaking.size(), 21u);
    EXPECT_EQ(peaking[1], "1");
    EXPECT_EQ(peaking[20], "20");
    EXPECT_EQ(SearchValues(Declared("Float", "Range", {"5e9", "1e8", "2.1e9"}))[1], "2e+08");
    EXPECT_EQ(SearchValues(Declared("Float", "Increment", {"0.1", "0", "0.3", "0.1"})), (V{"0", "0.1", "0.2", "0.3"}));
    EXPECT_EQ(SearchValues(Declared("Integer", "Steps", {"4", "0", "8", "4"})), (V{"0", "2", "4", "6", "8"}));
    EXPECT_EQ(SearchValues(Declared("Boolean", "List", {"True", "False"})), (V{"True", "False"}));
    // Not settings to search: corners, fixed values, outputs, a backward range.
    EXPECT_TRUE(SearchValues(Declared("Float", "Corner", {"1", "0.9", "1.1"})).empty());
    EXPECT_TRUE(SearchValues(Declared("Float", "Value", {"1"})).empty());
    EXPECT_TRUE(SearchValues(Declared("Integer", "Range", {"1", "0", "3"}, "Out")).empty());
    EXPECT_TRUE(SearchValues(Declared("Integer", "Range", {"1", "3", "0"})).empty());
    EXPECT_TRUE(SearchValues(Declared("Integer", "Range", {"0", "0", "5000"})).empty());
}

#ifdef AMISIM_HAVE_KORVAN_TX
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)

class OptimiseCommand : public amisim_test::CommandFolder {
protected:
    OptimiseCommand() : CommandFolder("amisim_optimise_") {}
};

// The whole grid of 1,323 settings takes a few seconds at 4 samples a bit,
// too long for the sanitizer builds, which the search's own tests cover.
TEST_F(OptimiseCommand, OnTheDemoLineWithTheReferenceRxItMatchesTheFullGridInATenthOfIt) {
    const std::string link = std::string(AMISIM_PACKAGE_DIR) +
                             "/korvan_tx.ibs --line 0.6m --rx ref --samples-per-bit 4 --bits 600 --in-process ";
    const amisim_test::Outcome grid =
        Run(link + "--sweep emphasis=0..6 --sweep Vreg=0..2 --sweep corner=0..2 --sweep rx:ctle_peaking=0..20 "
                   "--sweep-flow statistical --json " + Path("grid.json"));
    ASSERT_EQ(grid.status, 0) << grid.err;
    const amisim_test::Outcome search = Run(link + "--optimise --json " + Path("search.json"));
    ASSERT_EQ(search.status, 0) << search.err;

    const auto full = nlohmann::json::parse(Read(folder_ / "grid.json"));
    const auto found = nlohmann::json::parse(Read(folder_ / "search.json"));
    const auto& optimise = found["optimise"];
    // Without --sweep the search covers what the .ami files declare: the
    // same settings as the grid.
    EXPECT_EQ(optimise["parameters"], full["grid"]["parameters"]);
    ASSERT_EQ(optimise["settings"], 1323);
    EXPECT_LE(optimise["candidates"].get<int>(), 132);
    EXPECT_EQ(optimise["trials"].size(), optimise["candidates"].get<std::size_t>());

    const double best_of_grid = full["sweep_best"]["figure"];
    const double best_found = optimise["best"]["figure"];
    EXPECT_GE(best_found, 0.99 * best_of_grid);
    EXPECT_LE(best_found, best_of_grid);
    // The confirming run of both flows has the winner's statistical eye.
    EXPECT_DOUBLE_EQ(found["statistical"]["eye_height"].get<double>(), best_found);
    EXPECT_TRUE(found["time_domain"]["eye_height"].is_number());
    EXPECT_NE(search.out.find("== the best setting in both flows"), std::string::npos) << search.out;
}

#endif
#endif
}  // namespace
