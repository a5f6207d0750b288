#include "tools/amisim/flows/optimiser.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace amisim {

namespace {

using Indices = std::vector<std::size_t>;

class Search {
public:
    Search(const ParameterGrid& grid, const BatchObjective& objective, std::size_t budget)
        : grid_(grid), objective_(objective), budget_(budget) {}

    bool spent() const { return outcome_.tried.size() >= budget_; }

    bool Seen(const Indices& x) const { return value_of_.count(grid_.Point(x)) != 0; }

    // Evaluates the points not seen yet; returns the figure of each.
    std::vector<double> Evaluate(const std::vector<Indices>& points) {
        std::vector<std::size_t> fresh;
        for (const Indices& x : points) {
            const std::size_t point = grid_.Point(x);
            if (value_of_.count(point) == 0 && std::find(fresh.begin(), fresh.end(), point) == fresh.end())
                fresh.push_back(point);
        }
        // Past the budget a point counts as failed: it never wins.
        if (fresh.size() > budget_ - std::min(budget_, outcome_.tried.size())) {
            fresh.resize(budget_ - std::min(budget_, outcome_.tried.size()));
            outcome_.budget_spent = true;
        }
        if (!fresh.empty()) {
            const std::vector<double> values = objective_(fresh);
            for (std::size_t i = 0; i < fresh.size(); ++i) {
                const double value = i < values.size() ? values[i] : NAN;
                value_of_[fresh[i]] = value;
                outcome_.tried.push_back(fresh[i]);
                outcome_.values.push_back(value);
                if (!std::isnan(value) && (!outcome_.found || value > outcome_.values[outcome_.best])) {
                    outcome_.best = outcome_.tried.size() - 1;
                    outcome_.found = true;
                }
            }
        }
        std::vector<double> out;
        for (const Indices& x : points) {
            const auto found = value_of_.find(grid_.Point(x));
            out.push_back(found == value_of_.end() ? NAN : found->second);
        }
        return out;
    }

    // The first of the best among `points`, if it beats `current`.
    static std::optional<std::size_t> Better(const std::vector<double>& values, double current) {
        std::optional<std::size_t> best;
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (std::isnan(values[i])) continue;
            if ((std::isnan(current) || values[i] > current) && (!best || values[i] > values[*best])) best = i;
        }
        return best;
    }

    // Moves the point by `delta` steps along dimension d, within the grid.
    Indices Moved(Indices x, std::size_t d, long delta) const {
        const long last = static_cast<long>(grid_.dimensions()[d].values.size()) - 1;
        x[d] = static_cast<std::size_t>(std::clamp(static_cast<long>(x[d]) + delta, 0L, last));
        return x;
    }

    // Searches from x; stops as soon as it reaches a point an earlier start
    // stood on, from where it would in all likelihood follow that start to
    // the same end.
    void From(Indices x) {
        const std::size_t dims = grid_.dimensions().size();
        double fx = Evaluate({x})[0];
        std::vector<long> step(dims);
        for (std::size_t d = 0; d < dims; ++d)
            step[d] = std::max(1L, (static_cast<long>(grid_.dimensions()[d].values.size()) - 1) / 4);
        std::vector<std::size_t> path{grid_.Point(x)};
        const auto stand = [&](const Indices& y) {
            const std::size_t point = grid_.Point(y);
            const bool retraced = walked_.count(point) != 0;
            path.push_back(point);
            return retraced;
        };
        bool retraced = false;
        while (!retraced && !spent()) {
            const bool single = std::all_of(step.begin(), step.end(), [](long s) { return s == 1; });
            std::vector<Indices> polls;
            for (std::size_t d = 0; d < dims; ++d)
                for (long sign : {1L, -1L}) {
                    Indices y = Moved(x, d, sign * step[d]);
                    if (y != x) polls.push_back(std::move(y));
                }
            std::vector<double> values = Evaluate(polls);
            std::optional<std::size_t> best = Better(values, fx);
            if (!best && single) {
                // The axes give nothing more: the neighbours along pairs.
                polls.clear();
                for (std::size_t d = 0; d < dims; ++d)
                    for (std::size_t e = d + 1; e < dims; ++e)
                        for (long a : {1L, -1L})
                            for (long b : {1L, -1L}) {
                                Indices y = Moved(Moved(x, d, a), e, b);
                                if (y != x) polls.push_back(std::move(y));
                            }
                values = Evaluate(polls);
                best = Better(values, fx);
            }
            if (best) {
                Indices y = polls[*best];
                double fy = values[*best];
                retraced = stand(y);
                // The pattern move: the same way again while it pays.
                while (!retraced) {
                    Indices z = y;
                    for (std::size_t d = 0; d < dims; ++d)
                        z = Moved(z, d, static_cast<long>(y[d]) - static_cast<long>(x[d]));
                    if (z == y) break;
                    const double fz = Evaluate({z})[0];
                    if (std::isnan(fz) || !(fz > fy)) break;
                    x = y;
                    y = z;
                    fy = fz;
                    retraced = stand(y);
                }
                x = y;
                fx = fy;
                continue;
            }
            if (single) break;
            for (long& s : step) s = std::max(1L, s / 2);
        }
        walked_.insert(path.begin(), path.end());
    }

    SearchOutcome& outcome() { return outcome_; }

private:
    const ParameterGrid& grid_;
    const BatchObjective& objective_;
    std::size_t budget_;
    std::unordered_map<std::size_t, double> value_of_;
    std::unordered_set<std::size_t> walked_;  // the points earlier starts stood on
    SearchOutcome outcome_;
};

}  // namespace

std::size_t DefaultBudget(const ParameterGrid& grid) {
    return std::max(grid.size() / 10, std::min<std::size_t>(grid.size(), 20));
}

std::vector<std::size_t> CentreIndices(const ParameterGrid& grid) {
    std::vector<std::size_t> centre;
    for (const GridDimension& dimension : grid.dimensions()) centre.push_back((dimension.values.size() - 1) / 2);
    return centre;
}

SearchOutcome PatternSearch(const ParameterGrid& grid, const std::vector<std::size_t>& start,
                            const BatchObjective& objective, std::size_t budget, std::size_t extra_starts) {
    Search search(grid, objective, budget);
    std::vector<Indices> starts{start};
    // Spread starts: the points a third and two thirds of the way along
    // every parameter (for two extra starts).
    for (std::size_t k = 1; k <= extra_starts; ++k) {
        Indices x(grid.dimensions().size());
        for (std::size_t d = 0; d < x.size(); ++d)
            x[d] = (grid.dimensions()[d].values.size() - 1) * k / (extra_starts + 1);
        starts.push_back(std::move(x));
    }
    for (const Indices& x : starts) {
        if (search.Seen(x) || search.spent()) continue;
        search.From(x);
        ++search.outcome().starts;
    }
    if (search.spent()) search.outcome().budget_spent = true;
    return search.outcome();
}

}  // namespace amisim
