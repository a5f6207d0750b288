#include "tools/amisim/cli/optimise_command.h"

#include <cmath>
#include <cstdio>
#include <unordered_map>

#include "tools/amisim/cli/sweep_command.h"
#include "tools/amisim/flows/optimiser.h"
#include "tools/amisim/flows/parallel_runner.h"
#include "tools/amisim/flows/search_space.h"
#include "tools/amisim/flows/sweep.h"
#include "tools/amisim/flows/sweep_point.h"
#include "tools/amisim/reports/grid_progress.h"
#include "tools/amisim/reports/grid_report.h"

namespace amisim {

namespace {

constexpr const char* kMethod =
    "pattern search (Hooke-Jeeves) on the grid of values: steps along every parameter from a quarter of its "
    "range, halved to one value, then the neighbours along pairs of parameters; two restarts from spread "
    "points, each ending where it meets an earlier start's path";

// The value a model uses for the parameter unless told otherwise: the
// command line's, else the .ami file's.
std::optional<std::string> CurrentValue(const LinkModel& model, const std::string& path) {
    for (auto o = model.overrides.rbegin(); o != model.overrides.rend(); ++o)
        if (o->path == path) return o->value;
    if (model.ami)
        if (const AmiParameter* parameter = model.ami->Find(path)) return parameter->EffectiveDefault();
    return std::nullopt;
}

// The first start: where the models stand by default, else the middle.
std::vector<std::size_t> DefaultIndices(const ParameterGrid& grid, const LinkModel& tx, const LinkModel* rx) {
    std::vector<std::size_t> start = CentreIndices(grid);
    for (std::size_t d = 0; d < start.size(); ++d) {
        const GridDimension& dimension = grid.dimensions()[d];
        const std::optional<std::string> value =
            CurrentValue(dimension.rx && rx != nullptr ? *rx : tx, dimension.name);
        if (!value) continue;
        for (std::size_t i = 0; i < dimension.values.size(); ++i) {
            const auto a = ParseAmiNumber(dimension.values[i]), b = ParseAmiNumber(*value);
            if (dimension.values[i] == *value || (a && b && *a == *b)) {
                start[d] = i;
                break;
            }
        }
    }
    return start;
}

std::string Figure(Objective objective, double value) {
    char text[48];
    std::snprintf(text, sizeof text, objective == Objective::kStatWidth ? "%.3f UI" : "%.4f V", value);
    return text;
}

}  // namespace

OptimiseOutcome RunOptimiseCommand(const Options& options, const LinkModel& tx, const LinkModel* rx,
                                   const Channel& channel, const std::function<void(const std::string&)>& print) {
    std::vector<SweepRequest> requests;
    for (const std::string& text : options.sweep) requests.push_back(ParseSweep(text));
    const ParameterGrid grid = SearchGrid(requests, tx, rx);
    const Objective objective = ParseObjective(options.objective);
    if (objective == Objective::kTimeDomainHeight)
        throw UsageError("--optimise searches in the statistical flow: --objective stat-height or stat-width "
                         "(a grid of --sweep runs can rank by td-height)");

    std::string names;
    for (std::size_t d = 0; d < grid.dimensions().size(); ++d)
        names += (d == 0 ? "" : ", ") + std::string(grid.dimensions()[d].rx ? "Rx " : "Tx ") + ColumnName(grid, d) +
                 " (" + std::to_string(grid.dimensions()[d].values.size()) + " values)";
    std::printf("== search over %s: %s settings, by the %s in the statistical flow\n", names.c_str(),
                grid.Shape().c_str(), DescribeObjective(objective, options.link.ber).c_str());
    std::fflush(stdout);

    LinkContext context{tx, rx, channel, options.link};
    context.settings.time_domain = false;
    const unsigned workers = Workers(options);
    GridProgressLine progress(0, "candidates");
    // The candidates tried, by grid point. Each batch's entries are made
    // before the workers start, so they only write into their own.
    std::unordered_map<std::size_t, PointResult> results;
    std::size_t done = 0;
    std::optional<std::size_t> best_so_far;
    const BatchObjective evaluate = [&](const std::vector<std::size_t>& points) {
        std::vector<PointResult*> slots;
        for (std::size_t point : points) slots.push_back(&results[point]);
        RunInParallel(
            points.size(), workers,
            [&](std::size_t i) { *slots[i] = RunSweepPoint(context, grid.Setting(grid.Indices(points[i])), false); },
            [&](std::size_t i) {
                ++done;
                const std::size_t point = points[i];
                if (results[point].ok && (!best_so_far || Ranks(results[point], results[*best_so_far], objective)))
                    best_so_far = point;
                progress.Update(done, best_so_far ? Figure(objective, results[*best_so_far].figures.Value(objective)) +
                                                        " (" + grid.Setting(grid.Indices(*best_so_far)).Text() + ")"
                                                  : "");
            });
        std::vector<double> values;
        for (std::size_t point : points) values.push_back(results[point].ok ? results[point].figures.Value(objective) : NAN);
        return values;
    };
    const std::size_t budget = options.max_candidates > 0 ? options.max_candidates : DefaultBudget(grid);
    const SearchOutcome search = PatternSearch(grid, DefaultIndices(grid, tx, rx), evaluate, budget);
    progress.Clear();

    std::size_t failed = 0;
    for (std::size_t point : search.tried) failed += results[point].ok ? 0 : 1;
    if (!search.found) {
        const PointResult& first = results[search.tried.front()];
        for (const std::string& line : first.lines) print(line);
        throw AmisimError(first.status, "--optimise: no candidate could be evaluated; the first: " + first.error);
    }
    const std::size_t best_point = search.tried[search.best];
    OptimiseOutcome outcome;
    outcome.best = grid.Setting(grid.Indices(best_point));
    const double best_value = search.values[search.best];
    char share[32];
    std::snprintf(share, sizeof share, "%.1f%%", 100.0 * static_cast<double>(search.tried.size()) /
                                                     static_cast<double>(grid.size()));
    std::string notes;
    if (failed > 0) notes += ", " + std::to_string(failed) + " of them failed";
    if (search.budget_spent) notes += "; it stopped at its budget of " + std::to_string(budget) + " (--max-candidates)";
    std::printf("Search: %zu candidates of the %zu settings (%s) from %zu starts%s\n", search.tried.size(), grid.size(),
                share, search.starts, notes.c_str());
    std::printf("  how          %s\n", kMethod);
    std::printf("Best: %s (%s %s)\n", outcome.best.Text().c_str(), DescribeObjective(objective, options.link.ber).c_str(),
                Figure(objective, best_value).c_str());
    std::fflush(stdout);

    nlohmann::ordered_json json;
    json["method"] = kMethod;
    json["objective"] = ObjectiveName(objective);
    nlohmann::ordered_json parameters = nlohmann::ordered_json::array();
    for (const GridDimension& dimension : grid.dimensions())
        parameters.push_back({{"model", dimension.rx ? "rx" : "tx"}, {"name", dimension.name}, {"values", dimension.values}});
    json["parameters"] = parameters;
    json["settings"] = grid.size();
    json["candidates"] = search.tried.size();
    json["starts"] = search.starts;
    json["budget"] = budget;
    json["budget_spent"] = search.budget_spent;
    json["failed"] = failed;
    nlohmann::ordered_json best = SettingJson(outcome.best);
    best["figure"] = best_value;
    json["best"] = best;
    nlohmann::ordered_json trials = nlohmann::ordered_json::array();
    for (std::size_t point : search.tried) {
        const PointResult& result = results[point];
        nlohmann::ordered_json trial = SettingJson(grid.Setting(grid.Indices(point)));
        if (result.ok) {
            const double value = result.figures.Value(objective);
            trial["figure"] = std::isfinite(value) ? nlohmann::ordered_json(value) : nlohmann::ordered_json(nullptr);
        } else {
            trial["error"] = result.error;
        }
        trials.push_back(trial);
    }
    json["trials"] = trials;
    outcome.json["optimise"] = json;
    return outcome;
}

}  // namespace amisim
