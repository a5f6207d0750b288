#include "tools/amisim/reports/grid_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace amisim {

namespace {

std::string Figure(double value, const char* format, const char* unit) {
    if (std::isnan(value)) return "-";
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return std::string(text) + unit;
}

std::string Pad(const std::string& text, std::size_t width, bool right) {
    if (text.size() >= width) return text;
    const std::string fill(width - text.size(), ' ');
    return right ? fill + text : text + fill;
}

nlohmann::ordered_json Number(double value) {
    return std::isfinite(value) ? nlohmann::ordered_json(value) : nlohmann::ordered_json(nullptr);
}

}  // namespace

std::optional<std::size_t> BestPoint(const std::vector<PointResult>& results, Objective objective) {
    std::optional<std::size_t> best;
    for (std::size_t i = 0; i < results.size(); ++i)
        if (results[i].ok && (!best || Ranks(results[i], results[*best], objective))) best = i;
    return best;
}

std::string ColumnName(const ParameterGrid& grid, std::size_t dimension) {
    const auto& dimensions = grid.dimensions();
    const GridDimension& own = dimensions[dimension];
    const bool shared = std::any_of(dimensions.begin(), dimensions.end(), [&](const GridDimension& other) {
        return other.rx != own.rx && other.name == own.name;
    });
    return shared ? (own.rx ? "rx:" : "tx:") + own.name : own.name;
}

std::string FormatGridTable(const ParameterGrid& grid, const std::vector<PointResult>& results,
                            std::optional<std::size_t> best, Objective objective, double ber) {
    const auto& dimensions = grid.dimensions();
    std::vector<std::size_t> widths;
    for (std::size_t d = 0; d < dimensions.size(); ++d) {
        std::size_t width = std::max<std::size_t>(ColumnName(grid, d).size(), 10);
        for (const std::string& value : dimensions[d].values) width = std::max(width, value.size());
        widths.push_back(width);
    }
    char head[160];
    std::snprintf(head, sizeof head, "(time-domain eye at the centre and best phase; statistical at BER %.0e):\n", ber);
    std::string out = dimensions.size() == 1
                          ? "Sweep of " + dimensions[0].name + " " + head
                          : "Grid of " + grid.Shape() + " = " + std::to_string(grid.size()) + " points " + head;
    out += " ";
    for (std::size_t d = 0; d < dimensions.size(); ++d) out += " " + Pad(ColumnName(grid, d), widths[d], false);
    out += "   td height     td best  td width stat height stat width\n";
    for (std::size_t i = 0; i < results.size(); ++i) {
        const PointResult& result = results[i];
        const std::vector<std::size_t> indices = grid.Indices(i);
        out += " ";
        for (std::size_t d = 0; d < dimensions.size(); ++d)
            out += " " + Pad(dimensions[d].values[indices[d]], widths[d], false);
        if (!result.ok) {
            // One line per row, whatever the model said.
            std::string error = result.error;
            std::replace(error.begin(), error.end(), '\n', ' ');
            out += " failed: " + error + "\n";
            continue;
        }
        const PointFigures& f = result.figures;
        out += " " + Pad(Figure(f.td_height, "%.4f", " V"), 11, true) + " " +
               Pad(Figure(f.td_height_best, "%.4f", " V"), 11, true) + " " +
               Pad(Figure(f.td_width, "%.3f", " UI"), 9, true) + " " +
               Pad(Figure(f.stat_height, "%.4f", " V"), 11, true) + " " +
               Pad(Figure(f.stat_width, "%.3f", " UI"), 9, true) + (best && i == *best ? "  <- best" : "") + "\n";
    }
    if (!best) return out + "Every point failed\n";
    const PointSetting setting = grid.Setting(grid.Indices(*best));
    if (dimensions.size() == 1)
        out += "Best " + dimensions[0].name + ": " + dimensions[0].values[grid.Indices(*best)[0]];
    else
        out += "Best: " + setting.Text();
    out += " (by the " + DescribeObjective(objective, ber) + ")\n";
    return out;
}

nlohmann::ordered_json SettingJson(const PointSetting& setting) {
    nlohmann::ordered_json out;
    out["tx"] = nlohmann::ordered_json::object();
    out["rx"] = nlohmann::ordered_json::object();
    for (const ParameterOverride& o : setting.tx) out["tx"][o.path] = o.value;
    for (const ParameterOverride& o : setting.rx) out["rx"][o.path] = o.value;
    return out;
}

namespace {

void AddSetting(nlohmann::ordered_json& to, const PointSetting& setting) {
    const nlohmann::ordered_json values = SettingJson(setting);
    to["tx"] = values["tx"];
    to["rx"] = values["rx"];
}

}  // namespace

nlohmann::ordered_json SweepPointsJson(const ParameterGrid& grid, const std::vector<PointResult>& results) {
    nlohmann::ordered_json points = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < results.size(); ++i) {
        const PointResult& result = results[i];
        const std::vector<std::size_t> indices = grid.Indices(i);
        nlohmann::ordered_json entry;
        if (grid.dimensions().size() == 1) {
            entry["name"] = grid.dimensions()[0].name;
            entry["value"] = grid.dimensions()[0].values[indices[0]];
        }
        AddSetting(entry, grid.Setting(indices));
        if (!result.ok) {
            entry["error"] = result.error;
        } else {
            if (!result.time_domain.is_null()) entry["time_domain"] = result.time_domain;
            if (!result.statistical.is_null()) entry["statistical"] = result.statistical;
        }
        points.push_back(entry);
    }
    return points;
}

nlohmann::ordered_json SweepBestJson(const ParameterGrid& grid, const std::vector<PointResult>& results,
                                     std::size_t best, Objective objective) {
    const std::vector<std::size_t> indices = grid.Indices(best);
    nlohmann::ordered_json out;
    if (grid.dimensions().size() == 1) {
        out["name"] = grid.dimensions()[0].name;
        out["value"] = grid.dimensions()[0].values[indices[0]];
    }
    out["index"] = best;
    AddSetting(out, grid.Setting(indices));
    out["objective"] = ObjectiveName(objective);
    out["figure"] = Number(results[best].figures.Value(objective));
    return out;
}

nlohmann::ordered_json GridJson(const ParameterGrid& grid, const std::vector<PointResult>& results,
                                Objective objective) {
    nlohmann::ordered_json out;
    nlohmann::ordered_json parameters = nlohmann::ordered_json::array();
    for (const GridDimension& dimension : grid.dimensions())
        parameters.push_back({{"model", dimension.rx ? "rx" : "tx"}, {"name", dimension.name}, {"values", dimension.values}});
    out["parameters"] = parameters;
    out["points"] = grid.size();
    out["failed"] = std::count_if(results.begin(), results.end(), [](const PointResult& r) { return !r.ok; });
    out["objective"] = ObjectiveName(objective);
    return out;
}

void NullTimings(nlohmann::ordered_json& json) {
    if (json.is_array()) {
        for (auto& element : json) NullTimings(element);
        return;
    }
    if (!json.is_object()) return;
    for (auto& [key, value] : json.items()) {
        const std::string suffix = "_seconds";
        if (key.size() >= suffix.size() && key.compare(key.size() - suffix.size(), suffix.size(), suffix) == 0)
            value = nullptr;
        else
            NullTimings(value);
    }
}

}  // namespace amisim
