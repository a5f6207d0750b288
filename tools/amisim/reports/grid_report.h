#pragma once
// What a sweep writes: the table of every point with the best one marked,
// and the same points in --json.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tools/amisim/flows/parameter_grid.h"
#include "tools/amisim/flows/sweep_point.h"

namespace amisim {

// The point that ranks highest by `objective`, the earliest of equals;
// none when every point failed.
std::optional<std::size_t> BestPoint(const std::vector<PointResult>& results, Objective objective);

// One row per point: the swept values, the time-domain eye (at the centre,
// at the best phase, its width) and the statistical eye (height, width at
// the target BER); "-" for a flow not run, the error for a failed point.
std::string FormatGridTable(const ParameterGrid& grid, const std::vector<PointResult>& results,
                            std::optional<std::size_t> best, Objective objective, double ber);

// The column head of a swept parameter: its name, with tx: or rx: when
// both models have one of that name in the grid.
std::string ColumnName(const ParameterGrid& grid, std::size_t dimension);

// The "sweep" array: per point its values ("name" and "value" too for a
// sweep of one parameter), then "error" or its figures.
nlohmann::ordered_json SweepPointsJson(const ParameterGrid& grid, const std::vector<PointResult>& results);
// "sweep_best": the best point's values, index, objective and figure.
nlohmann::ordered_json SweepBestJson(const ParameterGrid& grid, const std::vector<PointResult>& results,
                                     std::size_t best, Objective objective);
// "grid": the swept parameters with their values, the counts of points and
// of failed ones.
nlohmann::ordered_json GridJson(const ParameterGrid& grid, const std::vector<PointResult>& results,
                                Objective objective);

// The values of a setting by model: {"tx": {...}, "rx": {...}}.
nlohmann::ordered_json SettingJson(const PointSetting& setting);

// Sets every figure that measures the machine rather than the link (the
// keys ending in "_seconds") to null, at any depth: the same inputs then
// give the same file.
void NullTimings(nlohmann::ordered_json& json);

}  // namespace amisim
