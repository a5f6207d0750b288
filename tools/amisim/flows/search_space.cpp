#include "tools/amisim/flows/search_space.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/reference_rx/reference_rx_model.h"

namespace amisim {

namespace {

constexpr std::size_t kMaxValues = 1000;
constexpr int kRangeSteps = 20;

// The shortest text within a part in 1e9 of the value: 0.3, not the
// 0.30000000000000004 that adding steps makes of it.
std::string Text(double value) {
    char text[32];
    for (int digits = 6; digits <= 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, value);
        if (std::abs(std::strtod(text, nullptr) - value) <= 1e-9 * std::abs(value)) break;
    }
    return text;
}

bool IsInteger(const AmiParameter& parameter) { return parameter.type == "Integer"; }

// from, from + step, ... up to `to`, with the end itself when rounding
// leaves it just out.
std::vector<std::string> Stepped(double from, double to, double step, bool integer) {
    std::vector<std::string> values;
    if (!(step > 0.0) || to < from || (to - from) / step >= kMaxValues) return values;
    const long count = std::lround(std::floor((to - from) / step + 1e-9));
    for (long k = 0; k <= count; ++k) {
        const double value = from + static_cast<double>(k) * step;
        values.push_back(integer ? std::to_string(std::lround(value)) : Text(value));
    }
    return values;
}

bool Pinned(const LinkModel& model, const std::string& path) {
    return std::any_of(model.overrides.begin(), model.overrides.end(),
                       [&](const ParameterOverride& o) { return o.path == path; });
}

}  // namespace

std::vector<std::string> SearchValues(const AmiParameter& parameter) {
    if (!parameter.IsInput()) return {};
    const std::vector<std::string>& v = parameter.format_values;
    std::vector<double> numbers;
    for (const std::string& text : v) {
        const std::optional<double> number = ParseAmiNumber(text);
        if (!number) break;
        numbers.push_back(*number);
    }
    const bool integer = IsInteger(parameter);
    if (parameter.format == "List") return v;
    if (parameter.format == "Range" && numbers.size() >= 3) {
        const double low = numbers[1], high = numbers[2];
        if (integer) return Stepped(low, high, 1.0, true);
        if (high == low) return {Text(low)};
        return Stepped(low, high, (high - low) / kRangeSteps, false);
    }
    if (parameter.format == "Increment" && numbers.size() >= 4) return Stepped(numbers[1], numbers[2], numbers[3], integer);
    if (parameter.format == "Steps" && numbers.size() >= 4 && numbers[3] >= 1.0) {
        const double steps = std::round(numbers[3]);
        return Stepped(numbers[1], numbers[2], (numbers[2] - numbers[1]) / steps, integer);
    }
    return {};
}

ParameterGrid SearchGrid(const std::vector<SweepRequest>& sweeps, const LinkModel& tx, const LinkModel* rx) {
    if (!sweeps.empty()) return GridOfSweeps(sweeps, tx, rx);
    std::vector<GridDimension> dimensions;
    const auto add = [&](const LinkModel& model, bool is_rx, bool reference) {
        if (!model.ami) return;
        for (const AmiParameter& parameter : model.ami->parameters) {
            if (reference && parameter.path != "ctle_peaking") continue;
            if (Pinned(model, parameter.path)) continue;
            std::vector<std::string> values = SearchValues(parameter);
            if (values.size() >= 2) dimensions.push_back({is_rx, parameter.path, std::move(values)});
        }
    };
    add(tx, false, false);
    if (rx != nullptr) add(*rx, true, NamesReferenceReceiver(rx->choice));
    if (dimensions.empty())
        throw UsageError("--optimise: no parameter to search (no .ami file declares an input with a Range, List, "
                         "Increment or Steps that --param leaves free); name them with --sweep");
    return ParameterGrid(std::move(dimensions));
}

}  // namespace amisim
