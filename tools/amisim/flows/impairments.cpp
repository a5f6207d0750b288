#include "tools/amisim/flows/impairments.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/letter_case.h"

namespace amisim {

namespace {

std::string Trim(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    return text.substr(begin, end - begin);
}

// The number at the start of `text` and the suffix after it; nullopt when
// the text does not start with a finite number.
std::optional<std::pair<double, std::string>> SplitNumber(const std::string& text) {
    const std::string trimmed = Trim(text);
    if (trimmed.empty()) return std::nullopt;
    // strtod would read "inf", "nan" and hexadecimal; a value here is decimal.
    const char first = trimmed[0];
    if (!(std::isdigit(static_cast<unsigned char>(first)) || first == '-' || first == '+' || first == '.'))
        return std::nullopt;
    if (trimmed.find_first_of("xX") != std::string::npos && trimmed.find("0x") != std::string::npos)
        return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(trimmed.c_str(), &end);
    if (end == trimmed.c_str() || !std::isfinite(value)) return std::nullopt;
    return std::pair{value, Trim(std::string(end))};
}

AmisimError BadValue(const std::string& what, const std::string& text, const char* expected) {
    return UsageError(what + ": '" + text + "' is not " + expected);
}

Setting Checked(Setting setting, const std::string& what, const std::string& text) {
    if (setting.value < 0.0) throw UsageError(what + ": " + text + " is negative");
    return setting;
}

}  // namespace

Setting ParseTimeText(const std::string& text, const std::string& what) {
    const auto split = SplitNumber(text);
    const char* expected = "a time (such as 1.5ps, 300fs, 2e-12s or 0.02UI)";
    if (!split) throw BadValue(what, text, expected);
    static const std::pair<const char*, double> kScales[] = {
        {"", 1.0}, {"s", 1.0}, {"ms", 1e-3}, {"us", 1e-6}, {"ns", 1e-9}, {"ps", 1e-12}, {"fs", 1e-15}};
    Setting setting;
    setting.from = what;
    if (Lowercase(split->second) == "ui") {
        setting.value = split->first;
        setting.unit = Unit::kUnitIntervals;
        return Checked(setting, what, text);
    }
    for (const auto& [suffix, scale] : kScales)
        if (split->second == suffix) {
            setting.value = split->first * scale;
            setting.unit = Unit::kSeconds;
            return Checked(setting, what, text);
        }
    throw BadValue(what, text, expected);
}

Setting ParseVoltageText(const std::string& text, const std::string& what) {
    const auto split = SplitNumber(text);
    const char* expected = "a voltage (such as 5mV or 0.005V)";
    if (!split) throw BadValue(what, text, expected);
    const std::string suffix = split->second;
    Setting setting;
    setting.from = what;
    setting.unit = Unit::kVolts;
    if (suffix.empty() || suffix == "V" || suffix == "v") setting.value = split->first;
    else if (suffix == "mV" || suffix == "mv") setting.value = split->first * 1e-3;
    else if (suffix == "uV" || suffix == "uv") setting.value = split->first * 1e-6;
    else throw BadValue(what, text, expected);
    return Checked(setting, what, text);
}

Setting ParseFrequencyText(const std::string& text, const std::string& what) {
    const auto split = SplitNumber(text);
    const char* expected = "a frequency (such as 10MHz or 1e7)";
    if (!split) throw BadValue(what, text, expected);
    static const std::pair<const char*, double> kScales[] = {
        {"", 1.0}, {"hz", 1.0}, {"khz", 1e3}, {"mhz", 1e6}, {"ghz", 1e9}};
    Setting setting;
    setting.from = what;
    setting.unit = Unit::kHertz;
    for (const auto& [suffix, scale] : kScales)
        if (Lowercase(split->second) == suffix) {
            setting.value = split->first * scale;
            return Checked(setting, what, text);
        }
    throw BadValue(what, text, expected);
}

namespace {

double InUi(const Setting& setting, double bit_time) {
    return setting.unit == Unit::kUnitIntervals ? setting.value : setting.value / bit_time;
}

}  // namespace

double Impairments::NoiseReach(double sigmas) const {
    double reach = sigmas * noise_sigma + noise_uniform;
    for (const JitterComponent& part : noise_parts) {
        if (part.kind == JitterComponent::Kind::kGaussian) reach += sigmas * part.size;
        else if (part.kind == JitterComponent::Kind::kUniform) reach += part.size;
        double farthest = 0.0;
        for (const auto& point : part.points) farthest = std::max(farthest, std::abs(point.first));
        reach += farthest;
    }
    return reach;
}

Impairments ResolveImpairments(const ImpairmentSettings& settings, double bit_time) {
    Impairments out;
    out.seed = settings.seed;
    const auto find = [&](const char* key) -> const Setting* {
        const auto it = settings.values.find(key);
        return it == settings.values.end() ? nullptr : &it->second;
    };
    const auto ui = [&](const char* key) { return find(key) ? InUi(*find(key), bit_time) : 0.0; };
    const auto frequency = [&](const char* key) {
        if (const Setting* own = find(key)) return own->value;
        if (const Setting* tx = find("tx_sj_frequency")) return tx->value;
        return 1.0 / bit_time / kDefaultSjDivisor;
    };
    const auto add = [](Jitter& jitter, JitterComponent::Kind kind, double size, double hz = 0.0) {
        if (size == 0.0) return;
        JitterComponent component;
        component.kind = kind;
        component.size = size;
        component.frequency = hz;
        jitter.push_back(component);
    };
    const auto points = [&](Jitter& jitter, double mean, const std::optional<JitterPoints>& written) {
        JitterComponent component;
        component.kind = JitterComponent::Kind::kPoints;
        if (written) {
            double total = 0.0;
            for (const auto& row : written->rows) total += row.second;
            for (const auto& [time, probability] : written->rows) {
                const double at = written->unit == Unit::kUnitIntervals ? time : time / bit_time;
                component.points.emplace_back(at + mean, probability / total);
            }
        } else if (mean != 0.0) {
            component.points.emplace_back(mean, 1.0);
        }
        if (!component.points.empty()) jitter.push_back(component);
    };
    using Kind = JitterComponent::Kind;
    add(out.tx, Kind::kGaussian, ui("tx_rj"));
    add(out.tx, Kind::kUniform, ui("tx_dj"));
    add(out.tx, Kind::kDutyCycle, ui("tx_dcd"));
    add(out.tx, Kind::kSinusoid, ui("tx_sj"), frequency("tx_sj_frequency"));
    points(out.tx, ui("tx_mean"), settings.tx_points);
    for (const char* prefix : {"rx_", "cdr_"}) {
        const std::string p = prefix;
        add(out.rx, Kind::kGaussian, ui((p + "rj").c_str()));
        add(out.rx, Kind::kUniform, ui((p + "dj").c_str()));
        add(out.rx, Kind::kDutyCycle, ui((p + "dcd").c_str()));
        add(out.rx, Kind::kSinusoid, ui((p + "sj").c_str()), frequency("rx_sj_frequency"));
    }
    points(out.rx, ui("rx_mean") + ui("cdr_mean"), settings.rx_points);
    if (const Setting* s = find("rx_noise")) out.noise_sigma = s->value;
    if (const Setting* s = find("rx_uniform_noise")) out.noise_uniform = s->value;
    // The rest of a noise written as a distribution, in volts as written.
    if (const Setting* s = find("rx_noise_dj")) add(out.noise_parts, Kind::kUniform, s->value);
    const double noise_mean = find("rx_noise_mean") ? find("rx_noise_mean")->value : 0.0;
    JitterComponent noise_points;
    noise_points.kind = Kind::kPoints;
    if (const std::optional<JitterPoints>& written = settings.rx_noise_points) {
        double total = 0.0;
        for (const auto& row : written->rows) total += row.second;
        for (const auto& [volts, probability] : written->rows)
            if (probability > 0.0) noise_points.points.emplace_back(volts + noise_mean, probability / total);
    } else if (noise_mean != 0.0) {
        noise_points.points.emplace_back(noise_mean, 1.0);
    }
    if (!noise_points.points.empty()) out.noise_parts.push_back(noise_points);
    if (const Setting* s = find("rx_sensitivity")) out.sensitivity = s->value;
    return out;
}

std::string DescribeImpairments(const ImpairmentSettings& settings, double bit_time) {
    static const std::pair<const char*, const char*> kNames[] = {
        {"tx_rj", "Tx Rj"}, {"tx_dj", "Tx Dj"}, {"tx_dcd", "Tx DCD"}, {"tx_sj", "Tx Sj"},
        {"tx_sj_frequency", "Sj at"}, {"tx_mean", "Tx mean"}, {"rx_rj", "Rx Rj"}, {"rx_dj", "Rx Dj"},
        {"rx_dcd", "Rx DCD"}, {"rx_sj", "Rx Sj"}, {"rx_sj_frequency", "Rx Sj at"}, {"rx_mean", "Rx mean"},
        {"cdr_mean", "CDR mean"}, {"cdr_rj", "CDR Rj"}, {"cdr_dj", "CDR Dj"}, {"cdr_sj", "CDR Sj"},
        {"cdr_dcd", "CDR DCD"}, {"rx_noise", "Rx noise"}, {"rx_noise_mean", "Rx noise mean"},
        {"rx_noise_dj", "Rx noise Dj"}, {"rx_uniform_noise", "Rx uniform noise"},
        {"rx_sensitivity", "Rx sensitivity"}};
    std::string line;
    const auto append = [&](const std::string& text) { line += (line.empty() ? "" : ", ") + text; };
    char text[160];
    for (const auto& [key, label] : kNames) {
        const auto it = settings.values.find(key);
        if (it == settings.values.end()) continue;
        const Setting& s = it->second;
        switch (s.unit) {
        case Unit::kVolts: std::snprintf(text, sizeof text, "%s %.4g mV", label, s.value * 1e3); break;
        case Unit::kHertz: std::snprintf(text, sizeof text, "%s %.4g MHz", label, s.value * 1e-6); break;
        default:
            std::snprintf(text, sizeof text, "%s %.4g UI (%.4g ps)", label, InUi(s, bit_time),
                          InUi(s, bit_time) * bit_time * 1e12);
        }
        append(std::string(text) + " [" + s.from + "]");
    }
    for (const auto* points : {&settings.tx_points, &settings.rx_points})
        if (*points) append(std::string(points == &settings.tx_points ? "Tx" : "Rx") + " jitter " + (*points)->format +
                            " of " + std::to_string((*points)->rows.size()) + " points [" + (*points)->from + "]");
    if (const std::optional<JitterPoints>& noise = settings.rx_noise_points)
        append("Rx noise " + noise->format + " of " + std::to_string(noise->rows.size()) + " points [" + noise->from + "]");
    return line.empty() ? "none" : line;
}

}  // namespace amisim
