#include "tools/amisim/reports/impairment_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/amisim/reports/svg_plot.h"

namespace amisim {

nlohmann::ordered_json ImpairmentsJson(const LinkRun& run, double bit_time) {
    nlohmann::ordered_json out = nlohmann::ordered_json::object();
    for (const auto& [key, setting] : run.impairment_settings.values) {
        nlohmann::ordered_json entry;
        switch (setting.unit) {
        case Unit::kVolts: entry["volts"] = setting.value; break;
        case Unit::kHertz: entry["hertz"] = setting.value; break;
        case Unit::kUnitIntervals:
            entry["seconds"] = setting.value * bit_time;
            entry["ui"] = setting.value;
            break;
        case Unit::kSeconds:
            entry["seconds"] = setting.value;
            entry["ui"] = setting.value / bit_time;
            break;
        }
        entry["from"] = setting.from;
        out[key] = entry;
    }
    for (const auto& [key, points] : {std::pair{"tx_jitter", &run.impairment_settings.tx_points},
                                      std::pair{"rx_clock_pdf", &run.impairment_settings.rx_points}}) {
        if (!*points) continue;
        nlohmann::ordered_json seconds = nlohmann::ordered_json::array(), probability = nlohmann::ordered_json::array();
        for (const auto& [time, p] : (*points)->rows) {
            seconds.push_back((*points)->unit == Unit::kUnitIntervals ? time * bit_time : time);
            probability.push_back(p);
        }
        out[key] = {{"format", (*points)->format}, {"seconds", seconds}, {"probability", probability},
                    {"from", (*points)->from}};
    }
    if (const std::optional<JitterPoints>& noise = run.impairment_settings.rx_noise_points) {
        nlohmann::ordered_json volts = nlohmann::ordered_json::array(), probability = nlohmann::ordered_json::array();
        for (const auto& [value, p] : noise->rows) {
            volts.push_back(value);
            probability.push_back(p);
        }
        out["rx_noise_pdf"] = {{"format", noise->format}, {"volts", volts}, {"probability", probability}, {"from", noise->from}};
    }
    out["seed"] = run.impairment_settings.seed;
    return out;
}

nlohmann::ordered_json BathtubJson(const StatisticalEye& eye) {
    nlohmann::ordered_json phase = nlohmann::ordered_json::array(), ber = nlohmann::ordered_json::array();
    for (std::size_t p = 0; p < eye.bathtub.size(); ++p) {
        phase.push_back(eye.PhaseUi(static_cast<double>(p)));
        ber.push_back(eye.bathtub[p]);
    }
    return {{"phase_ui", phase}, {"ber", ber}};
}

nlohmann::ordered_json VerticalBathtubJson(const StatisticalEye& eye) {
    return {{"volts", eye.vertical_volts}, {"ber", eye.vertical_ber}};
}

void WriteVerticalBathtubSvg(std::ostream& out, const LinkRun& run, const std::string& title) {
    const StatisticalEye& eye = run.statistical;
    const double floor = std::min(-18.0, std::floor(std::log10(eye.ber)) - 3.0);
    char subtitle[200];
    std::snprintf(subtitle, sizeof subtitle,
                  "Vertical bathtub at the best phase (%+.3f UI): height %.3f V at BER %.0e", eye.PhaseUi(eye.best_phase),
                  eye.eye_height_best, eye.ber);
    svg::BeginPicture(out, 960, 600, title, subtitle, 90);
    const double low = eye.vertical_volts.empty() ? -1.0 : eye.vertical_volts.front();
    const double high = eye.vertical_volts.empty() ? 1.0 : eye.vertical_volts.back();
    const svg::Frame frame(90, 80, 900, 530, low, high, floor, 0.0);
    out << frame.ClipPath("plot");
    frame.WriteAxes(out, "Decision threshold (V)", "Bit error ratio", true);
    out << "<g clip-path=\"url(#plot)\">\n<polyline fill=\"none\" stroke=\"#1f5fbf\" stroke-width=\"2\" points=\"";
    for (std::size_t k = 0; k < eye.vertical_volts.size(); ++k)
        out << svg::Number(frame.X(eye.vertical_volts[k]), 1) << ','
            << svg::Number(frame.Y(std::max(std::log10(std::max(eye.vertical_ber[k], 1e-300)), floor)), 1) << ' ';
    out << "\"/>\n";
    const double target = frame.Y(std::log10(eye.ber));
    out << "<line x1=\"" << frame.left() << "\" x2=\"" << frame.right() << "\" y1=\"" << svg::Number(target, 1)
        << "\" y2=\"" << svg::Number(target, 1) << "\" stroke=\"#c0392b\" stroke-dasharray=\"6 4\"/>\n";
    char label[64];
    std::snprintf(label, sizeof label, "BER target %.0e", eye.ber);
    out << "<text x=\"" << frame.left() + 6 << "\" y=\"" << svg::Number(target - 6, 1)
        << "\" font-family=\"sans-serif\" font-size=\"13\" fill=\"#c0392b\">" << label << "</text>\n";
    const std::size_t at = static_cast<std::size_t>(eye.best_phase);
    if (at < eye.upper.size() && eye.upper[at] > eye.lower[at])
        out << "<line x1=\"" << svg::Number(frame.X(eye.lower[at]), 1) << "\" x2=\""
            << svg::Number(frame.X(eye.upper[at]), 1) << "\" y1=\"" << svg::Number(target, 1) << "\" y2=\""
            << svg::Number(target, 1) << "\" stroke=\"#1e8449\" stroke-width=\"3\"/>\n";
    out << "</g>\n</svg>\n";
}

}  // namespace amisim
