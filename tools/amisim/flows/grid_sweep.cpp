#include "tools/amisim/flows/grid_sweep.h"

#include "tools/amisim/flows/parallel_runner.h"

namespace amisim {

std::vector<PointResult> RunGrid(const LinkContext& context, const ParameterGrid& grid, unsigned workers,
                                 bool keep_json,
                                 const std::function<void(std::size_t, const std::vector<PointResult>&)>& finished) {
    std::vector<PointResult> results(grid.size());
    RunInParallel(
        grid.size(), workers,
        [&](std::size_t i) { results[i] = RunSweepPoint(context, grid.Setting(grid.Indices(i)), keep_json); },
        [&](std::size_t i) {
            if (finished) finished(i, results);
        });
    return results;
}

}  // namespace amisim
