#pragma once
// Every point of a parameter grid through the link, on a few workers. The
// points are independent runs with their own model instances, so the
// results are the same for any number of workers.

#include <cstddef>
#include <functional>
#include <vector>

#include "tools/amisim/flows/parameter_grid.h"
#include "tools/amisim/flows/sweep_point.h"

namespace amisim {

// `finished(i, results)` runs on the calling thread after point i, in the
// order the points end; results[j] is complete for every point reported
// so far. A failed point is kept as such and the others go on.
std::vector<PointResult> RunGrid(const LinkContext& context, const ParameterGrid& grid, unsigned workers,
                                 bool keep_json,
                                 const std::function<void(std::size_t, const std::vector<PointResult>&)>& finished = {});

}  // namespace amisim
