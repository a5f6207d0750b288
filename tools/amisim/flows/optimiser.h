#pragma once
// The search of --optimise: the best point of a parameter grid without
// visiting the whole grid.
//
// A pattern search on the grid's value indices (Hooke and Jeeves): from a
// start, try one step up and one step down along every parameter at once;
// move to the best of them if it beats the current point, and keep going
// the same way while that pays; when no step helps, halve the steps, which
// begin at a quarter of each parameter's range, down to one value. When
// single steps along the axes give nothing, the neighbours along pairs of
// parameters (both up, both down, one up and the other down) are tried,
// for the ridges that coupled settings make (more Tx emphasis wants less
// CTLE peaking). The search restarts from two spread points (a third and
// two thirds along every parameter); a start already evaluated is left
// out, and a restart stops where it meets a point an earlier start stood
// on. The search never tries more points than its budget. Every point is evaluated once, and the points of one step are handed
// over together, so workers can share them.
//
// Deterministic: the order of trials and the choice among equals (the
// first tried wins) depend only on the values found.

#include <cstddef>
#include <functional>
#include <limits>
#include <vector>

#include "tools/amisim/flows/parameter_grid.h"

namespace amisim {

// The figures of a batch of grid points, in order: higher is better; NaN
// for a point that could not be evaluated, which never wins.
using BatchObjective = std::function<std::vector<double>(const std::vector<std::size_t>& points)>;

struct SearchOutcome {
    std::vector<std::size_t> tried;  // grid points in the order evaluated, each once
    std::vector<double> values;      // their figures
    std::size_t best = 0;            // index into tried; meaningless when found is false
    bool found = false;              // false when no point could be evaluated
    std::size_t starts = 0;          // the starts searched from
    bool budget_spent = false;       // stopped by the budget, not by finishing
};

// A tenth of the grid, but at least 20 points (or the whole of a smaller
// grid): what a search may try unless told otherwise.
std::size_t DefaultBudget(const ParameterGrid& grid);

// `start` is the first start's value indices (e.g. the .ami defaults);
// `extra_starts` more are spread over the grid. At most `budget` points
// are tried: the restarts come only while some of it is left.
SearchOutcome PatternSearch(const ParameterGrid& grid, const std::vector<std::size_t>& start,
                            const BatchObjective& objective, std::size_t budget, std::size_t extra_starts = 2);

// The value index of each dimension nearest the middle of its values.
std::vector<std::size_t> CentreIndices(const ParameterGrid& grid);

}  // namespace amisim
