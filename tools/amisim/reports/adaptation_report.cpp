#include "tools/amisim/reports/adaptation_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/amisim/reports/svg_plot.h"

namespace amisim {

namespace {

nlohmann::ordered_json SeriesJson(const Adaptation& adaptation) {
    nlohmann::ordered_json out = nlohmann::ordered_json::object();
    for (const AdaptationSeries& series : adaptation.series) {
        // JSON has no infinities; a value that is not finite is null.
        nlohmann::ordered_json values = nlohmann::ordered_json::array();
        for (double v : series.value) values.push_back(std::isfinite(v) ? nlohmann::ordered_json(v) : nullptr);
        out[series.name] = {{"time", series.time}, {"value", values}};
    }
    return out;
}

std::string Figure(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

struct Panel {
    std::string model;
    const AdaptationSeries* series;
};

constexpr double kWidth = 960, kPanelHeight = 170, kTop = 80;
constexpr std::size_t kMostPanels = 48;

void WritePanel(std::ostream& out, const Panel& panel, double top, double end_ns, std::size_t index) {
    const AdaptationSeries& s = *panel.series;
    double low = INFINITY, high = -INFINITY;
    for (double v : s.value)
        if (std::isfinite(v)) low = std::min(low, v), high = std::max(high, v);
    if (!std::isfinite(low)) low = high = 0.0;
    const double margin = std::max(0.1 * (high - low), std::max(1e-12, 0.05 * std::abs(high)));
    const svg::Frame frame(100, top + 24, 900, top + kPanelHeight - 36, 0.0, end_ns, low - margin, high + margin);
    const std::string clip = "panel" + std::to_string(index);
    out << frame.ClipPath(clip);
    frame.WriteAxes(out, "Time (ns)", "");
    out << "<text x=\"100\" y=\"" << svg::Number(top + 16, 1)
        << "\" font-family=\"sans-serif\" font-size=\"14\" font-weight=\"bold\">" << svg::Escape(panel.model + " " + s.name)
        << "</text>\n";
    out << "<g clip-path=\"url(#" << clip << ")\">\n<polyline fill=\"none\" stroke=\"#1f5fbf\" stroke-width=\"1.5\" points=\"";
    for (std::size_t i = 0; i < s.time.size(); ++i)
        if (std::isfinite(s.value[i]))
            out << svg::Number(frame.X(s.time[i] * 1e9), 1) << ',' << svg::Number(frame.Y(s.value[i]), 1) << ' ';
    out << "\"/>\n";
    // The converged value: the last one reported, as a dashed level and a dot.
    const double last = s.value.back();
    if (std::isfinite(last)) {
        const double y = frame.Y(last);
        out << "<line class=\"converged\" x1=\"" << frame.left() << "\" x2=\"" << frame.right() << "\" y1=\""
            << svg::Number(y, 1) << "\" y2=\"" << svg::Number(y, 1) << "\" stroke=\"#c0392b\" stroke-dasharray=\"6 4\"/>\n"
            << "<circle cx=\"" << svg::Number(frame.X(s.time.back() * 1e9), 1) << "\" cy=\"" << svg::Number(y, 1)
            << "\" r=\"4\" fill=\"#c0392b\"/>\n";
    }
    out << "</g>\n";
    out << "<text x=\"900\" y=\"" << svg::Number(top + 16, 1)
        << "\" text-anchor=\"end\" font-family=\"sans-serif\" font-size=\"13\" fill=\"#c0392b\">converged "
        << (std::isfinite(last) ? Figure(last) : std::string("(not a number)")) << "</text>\n";
}

}  // namespace

nlohmann::ordered_json AdaptationJson(const LinkRun& run, bool has_rx) {
    nlohmann::ordered_json out;
    if (has_rx) out["rx"] = SeriesJson(AdaptationFromReports(run.time_domain.rx_reports));
    out["tx"] = SeriesJson(AdaptationFromReports(run.time_domain.tx_reports));
    return out;
}

void WriteAdaptationSvg(std::ostream& out, const LinkRun& run, bool has_rx, const std::string& title) {
    const Adaptation rx = has_rx ? AdaptationFromReports(run.time_domain.rx_reports) : Adaptation{};
    const Adaptation tx = AdaptationFromReports(run.time_domain.tx_reports);
    std::vector<Panel> panels;
    for (const AdaptationSeries& s : rx.series) panels.push_back({"Rx", &s});
    for (const AdaptationSeries& s : tx.series) panels.push_back({"Tx", &s});
    const std::size_t shown = std::min(panels.size(), kMostPanels);
    std::string subtitle = "Adaptation: the numeric AMI_parameters_out of every AMI_GetWave call";
    if (panels.empty()) subtitle += " (neither model reported any)";
    else if (shown < panels.size())
        subtitle += " (the first " + std::to_string(shown) + " of " + std::to_string(panels.size()) + " series)";
    const double height = kTop + std::max<double>(1.0, static_cast<double>(shown)) * kPanelHeight + 20;
    svg::BeginPicture(out, kWidth, height, title, subtitle, 100);
    double end = 0.0;
    for (const Panel& panel : panels) end = std::max(end, panel.series->time.back());
    const double end_ns = std::max(1e-3, end * 1e9);
    for (std::size_t i = 0; i < shown; ++i) WritePanel(out, panels[i], kTop + static_cast<double>(i) * kPanelHeight, end_ns, i);
    out << "</svg>\n";
}

}  // namespace amisim
