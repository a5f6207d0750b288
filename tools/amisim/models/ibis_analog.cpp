#include "tools/amisim/models/ibis_analog.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/figure_text.h"
#include "tools/amisim/letter_case.h"
#include "tools/amisim/models/ibis_words.h"

namespace amisim {

namespace {

using ibis_words::KeywordKey;
using ibis_words::Words;

std::optional<double> FirstNumber(const std::vector<std::string>& words, std::size_t from) {
    return from < words.size() ? ParseIbisNumber(words[from]) : std::nullopt;
}

// Where `balance(v)`, the table's current less the load's, changes sign,
// and the slope dv/di there over a window of a twentieth of the supply.
struct Slope {
    double voltage = 0.0;  // table voltage at the operating point
    double ohms = 0.0;
};
template <typename Load>
std::optional<Slope> SlopeAtLoad(const IvTable& table, Load load_current, double supply) {
    const auto& v = table.voltage;
    for (std::size_t i = 0; i + 1 < v.size(); ++i) {
        const double a = table.current[i] - load_current(v[i]);
        const double b = table.current[i + 1] - load_current(v[i + 1]);
        if (a == 0.0 || (a < 0.0) != (b < 0.0)) {
            const double point = a == b ? v[i] : v[i] + (v[i + 1] - v[i]) * a / (a - b);
            const double half = std::max(0.025 * supply, 1e-3);
            const double low = std::max(point - half, v.front()), high = std::min(point + half, v.back());
            const std::optional<double> i_low = table.CurrentAt(low), i_high = table.CurrentAt(high);
            if (!i_low || !i_high || *i_high == *i_low) return std::nullopt;
            return Slope{point, std::abs((high - low) / (*i_high - *i_low))};
        }
    }
    return std::nullopt;
}

void SortTable(IvTable& table) {
    std::vector<std::size_t> order(table.voltage.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return table.voltage[a] < table.voltage[b]; });
    IvTable sorted;
    for (std::size_t i : order) {
        if (!sorted.voltage.empty() && sorted.voltage.back() == table.voltage[i]) continue;
        sorted.voltage.push_back(table.voltage[i]);
        sorted.current.push_back(table.current[i]);
    }
    table = std::move(sorted);
}

}  // namespace

std::optional<double> IvTable::CurrentAt(double v) const {
    const auto& x = voltage;
    if (empty() || v < x.front() || v > x.back()) return std::nullopt;
    const std::size_t i = std::min<std::size_t>(
        static_cast<std::size_t>(std::upper_bound(x.begin(), x.end(), v) - x.begin()), x.size() - 1);
    const std::size_t lo = i == 0 ? 0 : i - 1;
    const double span = x[lo + 1] - x[lo];
    const double t = span > 0.0 ? (v - x[lo]) / span : 0.0;
    return current[lo] + t * (current[lo + 1] - current[lo]);
}

std::optional<double> ParseIbisNumber(const std::string& text) {
    if (text.empty()) return std::nullopt;
    double value = 0.0;
    const char* first = text.data() + (text[0] == '+' ? 1 : 0);
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(first, end, value);
    if (result.ec != std::errc() || !std::isfinite(value)) return std::nullopt;
    if (result.ptr == end) return value;
    // A scale letter may follow, then any unit: IBIS reads "1.5pF" as 1.5p
    // and "M" as mega, "m" as milli.
    switch (*result.ptr) {
    case 'T': return value * 1e12;
    case 'G': return value * 1e9;
    case 'M': return value * 1e6;
    case 'k': return value * 1e3;
    case 'm': return value * 1e-3;
    case 'u': return value * 1e-6;
    case 'n': return value * 1e-9;
    case 'p': return value * 1e-12;
    case 'f': return value * 1e-15;
    default: break;
    }
    return std::isalpha(static_cast<unsigned char>(*result.ptr)) ? std::optional<double>(value) : std::nullopt;
}

IbisAnalog ReadIbisAnalog(std::istream& ibs, const std::string& model, const std::string& source) {
    IbisAnalog analog;
    char comment = '|';
    bool inside = false, found = false;
    IvTable* table = nullptr;  // the table whose rows are being read
    double split_c_comp = 0.0;
    std::vector<std::string> split_parts;
    for (std::string text; std::getline(ibs, text);) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        if (!text.empty() && text.front() == '[') {
            const std::size_t close = text.find(']');
            if (close == std::string::npos) continue;
            const std::string key = KeywordKey(text.substr(1, close - 1));
            std::string rest = text.substr(close + 1);
            if (key == "comment_char") {
                const std::vector<std::string> words = Words(rest);
                if (!words.empty() && words[0].size() == 6 && words[0].substr(1) == "_char") comment = words[0][0];
                continue;
            }
            if (const std::size_t cut = rest.find(comment); cut != std::string::npos) rest.erase(cut);
            const std::vector<std::string> words = Words(rest);
            table = nullptr;
            if (key == "model") {
                if (inside) break;  // the model asked for ends at the next one
                inside = !words.empty() && words[0] == model;
                found = found || inside;
                continue;
            }
            if (!inside) continue;
            if (key == "end" || key == "submodel" || key == "component" || key == "model_selector" ||
                key == "define_package_model" || key == "interconnect_model_set")
                break;
            if (key == "pullup") table = &analog.pullup;
            else if (key == "pulldown") table = &analog.pulldown;
            else if (key == "gnd_clamp") table = &analog.gnd_clamp;
            else if (key == "power_clamp") table = &analog.power_clamp;
            else if (key == "gnd_clamp_reference") analog.gnd_clamp_reference = FirstNumber(words, 0);
            else if (key == "power_clamp_reference") analog.power_clamp_reference = FirstNumber(words, 0);
            else if (key == "voltage_range") analog.voltage_range = FirstNumber(words, 0);
            else if (key == "pullup_reference") analog.pullup_reference = FirstNumber(words, 0);
            else if (key == "pulldown_reference") analog.pulldown_reference = FirstNumber(words, 0);
            else if (key == "rgnd") analog.rgnd = FirstNumber(words, 0);
            else if (key == "rpower") analog.rpower = FirstNumber(words, 0);
            continue;
        }
        if (!inside) continue;
        if (const std::size_t cut = text.find(comment); cut != std::string::npos) text.erase(cut);
        // "Rref = 50.0" and "Rref 50.0" say the same.
        std::replace(text.begin(), text.end(), '=', ' ');
        const std::vector<std::string> words = Words(text);
        if (words.empty()) continue;
        if (table != nullptr) {
            // voltage, then the typical, minimum and maximum currents.
            const std::optional<double> v = ParseIbisNumber(words[0]), i = FirstNumber(words, 1);
            if (v && i) {
                table->voltage.push_back(*v);
                table->current.push_back(*i);
            }
            continue;
        }
        const std::string name = Lowercase(words[0]);
        if (name == "model_type" && words.size() > 1) analog.model_type = words[1];
        else if (name == "c_comp") analog.c_comp = FirstNumber(words, 1);
        else if (name == "rref") analog.rref = FirstNumber(words, 1);
        else if (name == "vref") analog.vref = FirstNumber(words, 1);
        else if (name.rfind("c_comp_", 0) == 0)
            if (const std::optional<double> part = FirstNumber(words, 1)) {
                split_c_comp += *part;
                split_parts.push_back(words[0]);
            }
    }
    if (!found) throw UsageError(source + ": no [Model] " + model + " to read C_comp and the I-V tables from");
    analog.model = model;
    if (analog.c_comp) {
        analog.c_comp_from = "C_comp";
    } else if (!split_parts.empty()) {
        // The split form divides the pad among the driver's parts; the pad
        // as a whole is their sum.
        analog.c_comp = split_c_comp;
        for (const std::string& part : split_parts)
            analog.c_comp_from += (analog.c_comp_from.empty() ? "" : " + ") + part;
    }
    for (IvTable* sorted : {&analog.pullup, &analog.pulldown, &analog.gnd_clamp, &analog.power_clamp})
        SortTable(*sorted);
    return analog;
}

std::optional<OutputResistance> EstimateOutputResistance(const IbisAnalog& analog, double load_ohms,
                                                         std::string& why) {
    const std::optional<double> supply = analog.pullup_reference ? analog.pullup_reference : analog.voltage_range;
    if (analog.pullup.empty() && analog.pulldown.empty()) {
        why = "the model has no [Pullup] or [Pulldown] table";
        return std::nullopt;
    }
    if (!supply || !(*supply > 0.0)) {
        why = "the model gives no [Voltage Range] or [Pullup Reference]";
        return std::nullopt;
    }
    const double ground = analog.pulldown_reference.value_or(0.0);
    const bool test_load = analog.rref && *analog.rref > 0.0 && analog.vref;
    const double load = test_load ? *analog.rref : load_ohms;
    const double termination = test_load ? *analog.vref : 0.5 * (*supply + ground);
    std::vector<double> found;
    std::string how;
    if (!analog.pulldown.empty()) {
        // Pulldown voltages are from its reference up to the pin; the load
        // pushes (termination - pin) / load into the pin.
        const auto load_current = [&](double v) { return (termination - (ground + v)) / load; };
        if (const std::optional<Slope> slope = SlopeAtLoad(analog.pulldown, load_current, *supply - ground)) {
            found.push_back(slope->ohms);
            how += "[Pulldown] " + Figure("%.4g", slope->ohms) + " ohm at " + Figure("%.3g", ground + slope->voltage) + " V";
        }
    }
    if (!analog.pullup.empty()) {
        // Pullup voltages are from the pin up to its reference.
        const auto load_current = [&](double v) { return (termination - (*supply - v)) / load; };
        if (const std::optional<Slope> slope = SlopeAtLoad(analog.pullup, load_current, *supply - ground)) {
            found.push_back(slope->ohms);
            how += std::string(how.empty() ? "" : ", ") + "[Pullup] " + Figure("%.4g", slope->ohms) + " ohm at " +
                   Figure("%.3g", *supply - slope->voltage) + " V";
        }
    }
    if (found.empty()) {
        why = "the I-V tables never meet the load line of " + Figure("%.4g", load) + " ohm to " +
              Figure("%.3g", termination) + " V";
        return std::nullopt;
    }
    OutputResistance result;
    for (double r : found) result.ohms += r / static_cast<double>(found.size());
    result.how = (found.size() == 2 ? "mean of " : "") + how + " into " + Figure("%.4g", load) + " ohm to " +
                 Figure("%.3g", termination) + " V" + (test_load ? " (the model's Rref, Vref)" : "");
    return result;
}

}  // namespace amisim
