#include "tools/amisim/cli/sweep_command.h"

#include <cstdio>
#include <iostream>

#include "tools/amisim/flows/grid_sweep.h"
#include "tools/amisim/flows/parallel_runner.h"
#include "tools/amisim/flows/sweep.h"
#include "tools/amisim/reports/grid_progress.h"
#include "tools/amisim/reports/grid_report.h"

namespace amisim {

namespace {

std::string BestSoFar(const PointResult& result, const PointSetting& setting, Objective objective) {
    const double value = result.figures.Value(objective);
    char text[64];
    std::snprintf(text, sizeof text, objective == Objective::kStatWidth ? "%.3f UI" : "%.4f V", value);
    return std::string(text) + " (" + setting.Text() + ")";
}

}  // namespace

unsigned Workers(const Options& options) { return options.jobs > 0 ? options.jobs : DefaultWorkers(); }

SweepOutcome RunSweepCommand(const Options& options, const LinkModel& tx, const LinkModel* rx, const Channel& channel,
                             const std::function<void(const std::string&)>& print) {
    std::vector<SweepRequest> requests;
    for (const std::string& text : options.sweep) requests.push_back(ParseSweep(text));
    const ParameterGrid grid = GridOfSweeps(requests, tx, rx);
    const Objective objective = ParseObjective(options.objective);
    const bool time_domain = options.sweep_flow != "statistical";
    if (!time_domain && objective == Objective::kTimeDomainHeight)
        throw UsageError("--objective td-height needs the time-domain flow; --sweep-flow statistical leaves it out");

    LinkContext context{tx, rx, channel, options.link};
    context.settings.time_domain = time_domain;

    GridProgressLine progress(grid.size(), "points");
    std::vector<char> ended(grid.size(), 0);
    std::size_t printed = 0, done = 0;
    std::optional<std::size_t> best_so_far;
    const std::vector<PointResult> results =
        RunGrid(context, grid, Workers(options), true, [&](std::size_t i, const std::vector<PointResult>& all) {
            ended[i] = 1;
            ++done;
            // Ties go to the earlier point, as in the final choice.
            if (all[i].ok && (!best_so_far || Ranks(all[i], all[*best_so_far], objective) ||
                              (i < *best_so_far && !Ranks(all[*best_so_far], all[i], objective))))
                best_so_far = i;
            // Each point's lines come out in grid order, whichever worker
            // ends first, so the output is the same for any -j.
            progress.Clear();
            for (; printed < all.size() && ended[printed]; ++printed) {
                const PointResult& result = all[printed];
                std::printf("== %s\n", grid.Setting(grid.Indices(printed)).Text().c_str());
                std::fflush(stdout);
                for (const std::string& line : result.lines) print(line);
                if (!result.ok) {
                    std::string where;
                    const std::vector<std::size_t> indices = grid.Indices(printed);
                    for (std::size_t d = 0; d < indices.size(); ++d)
                        where += (d == 0 ? "" : " ") + ColumnName(grid, d) + "=" + grid.dimensions()[d].values[indices[d]];
                    std::cerr << "amisim: " << where << ": " << result.error << '\n';
                }
            }
            progress.Update(done, best_so_far ? BestSoFar(all[*best_so_far],
                                                          grid.Setting(grid.Indices(*best_so_far)), objective)
                                              : "");
        });
    progress.Clear();

    SweepOutcome outcome;
    const std::optional<std::size_t> best = BestPoint(results, objective);
    std::printf("\n%s", FormatGridTable(grid, results, best, objective, options.link.ber).c_str());
    std::fflush(stdout);
    outcome.json["sweep"] = SweepPointsJson(grid, results);
    if (best) {
        outcome.json["sweep_best"] = SweepBestJson(grid, results, *best, objective);
        outcome.best = grid.Setting(grid.Indices(*best));
    }
    outcome.json["grid"] = GridJson(grid, results, objective);
    for (const PointResult& result : results) {
        if (result.ok) continue;
        if (!outcome.failure) outcome.failure.emplace(result.status, result.error);
        ++outcome.failed;
    }
    return outcome;
}

}  // namespace amisim
