#include "tools/amisim/reports/crosstalk_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace amisim {

namespace {

std::string Text(const char* format, double a, double b) {
    char text[200];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

nlohmann::ordered_json Number(double value) {
    return std::isfinite(value) ? nlohmann::ordered_json(value) : nlohmann::ordered_json(nullptr);
}

const char* const kColours[] = {"#c0392b", "#27ae60", "#8e44ad", "#d35400", "#16a085", "#7f8c8d"};

std::string Label(const CrosstalkFigure& figure, std::size_t index) {
    return std::to_string(index + 1) + " " + figure.kind;
}

}  // namespace

std::string FormatCrosstalkSummary(const LinkRun& run) {
    const CrosstalkReport& report = run.crosstalk;
    if (report.empty()) return "";
    std::string out = "Crosstalk at the victim's sampling time (each aggressor at its worst phase):\n";
    for (std::size_t i = 0; i < report.aggressors.size(); ++i) {
        const CrosstalkFigure& a = report.aggressors[i];
        char line[512];
        std::snprintf(line, sizeof line, "  aggressor %-3zu %-11s peak %7.2f mV, rms %7.2f mV  (%s, seed %llu)\n",
                      i + 1, a.kind.c_str(), a.peak_mv, a.rms_mv, a.source.c_str(),
                      static_cast<unsigned long long>(a.seed));
        out += line;
    }
    char line[256];
    std::snprintf(line, sizeof line, "  %-13s Tx %zu, Rx %zu of %zu (Max_Init_Aggressors)\n", "Init columns",
                  report.tx_columns, report.rx_columns, report.aggressors.size());
    out += line;
    out += "  aggressor Tx  " + report.tx_parameters + "\n";
    std::snprintf(line, sizeof line, "  %-13s %.2f ms in the aggressors' Tx models and paths\n", "stage time",
                  run.time_domain.crosstalk_seconds * 1e3);
    out += line;
    if (report.has_without && run.has_statistical) {
        const StatisticalEye& with = run.statistical;
        const StatisticalEye& without = report.without;
        out += "  statistical   height " + Text("%.4f V with crosstalk, %.4f V without", with.eye_height, without.eye_height) +
               "; width " + Text("%.3f UI with, %.3f UI without", with.eye_width, without.eye_width) + "\n";
    }
    return out;
}

nlohmann::ordered_json CrosstalkJson(const LinkRun& run) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const CrosstalkFigure& a : run.crosstalk.aggressors) {
        nlohmann::ordered_json entry;
        entry["kind"] = a.kind;
        entry["peak_mv"] = Number(a.peak_mv);
        entry["rms_mv"] = Number(a.rms_mv);
        entry["source"] = a.source;
        entry["seed"] = a.seed;
        entry["phase_ui"] = static_cast<double>(a.cursors.phase) / run.samples_per_bit;
        list.push_back(entry);
    }
    return list;
}

nlohmann::ordered_json StatisticalWithoutCrosstalkJson(const LinkRun& run) {
    if (!run.crosstalk.has_without) return nullptr;
    const StatisticalEye& eye = run.crosstalk.without;
    nlohmann::ordered_json out;
    out["eye_height"] = Number(eye.eye_height);
    out["eye_width"] = Number(eye.eye_width);
    out["eye_height_best"] = Number(eye.eye_height_best);
    out["worst_case_height"] = Number(eye.worst_case_height);
    out["ber_at_centre"] = Number(eye.bathtub[static_cast<std::size_t>(eye.centre_phase)]);
    return out;
}

void WidenForCrosstalk(const LinkRun& run, std::size_t from, std::size_t to, double& low, double& high) {
    for (const CrosstalkFigure& a : run.crosstalk.aggressors)
        for (std::size_t n = from; n < a.pulse.size() && n <= to; ++n) {
            low = std::min(low, a.pulse[n]);
            high = std::max(high, a.pulse[n]);
        }
}

void WriteCrosstalkPulses(std::ostream& out, const svg::Frame& frame, const LinkRun& run, std::size_t from,
                          std::size_t to) {
    const std::vector<CrosstalkFigure>& aggressors = run.crosstalk.aggressors;
    if (aggressors.empty()) return;
    const double per_bit = run.samples_per_bit;
    out << "<g clip-path=\"url(#plot)\" fill=\"none\" stroke-width=\"1.2\" stroke-dasharray=\"5 3\">\n";
    for (std::size_t i = 0; i < aggressors.size(); ++i) {
        const std::vector<double>& pulse = aggressors[i].pulse;
        out << "<polyline stroke=\"" << kColours[i % std::size(kColours)] << "\" points=\"";
        for (std::size_t n = from; n < pulse.size() && n <= to; ++n)
            out << svg::Number(frame.X(static_cast<double>(n) / per_bit), 1) << ','
                << svg::Number(frame.Y(pulse[n]), 1) << ' ';
        out << "\"/>\n";
    }
    out << "</g>\n<g font-family=\"sans-serif\" font-size=\"12\">\n";
    const double x = frame.right() - 190;
    double y = frame.top() + 16;
    out << "<line x1=\"" << x << "\" x2=\"" << x + 20 << "\" y1=\"" << y - 4 << "\" y2=\"" << y - 4
        << "\" stroke=\"#1f5fbf\" stroke-width=\"2\"/><text x=\"" << x + 26 << "\" y=\"" << y << "\">victim</text>\n";
    for (std::size_t i = 0; i < aggressors.size(); ++i) {
        y += 16;
        char size[64];
        std::snprintf(size, sizeof size, " (rms %.2f mV)", aggressors[i].rms_mv);
        out << "<line x1=\"" << x << "\" x2=\"" << x + 20 << "\" y1=\"" << y - 4 << "\" y2=\"" << y - 4
            << "\" stroke=\"" << kColours[i % std::size(kColours)] << "\" stroke-width=\"2\" stroke-dasharray=\"5 3\"/>"
            << "<text x=\"" << x + 26 << "\" y=\"" << y << "\">" << svg::Escape(Label(aggressors[i], i)) << size
            << "</text>\n";
    }
    out << "</g>\n";
}

}  // namespace amisim
