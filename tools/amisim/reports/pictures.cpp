#include "tools/amisim/reports/pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/amisim/reports/crosstalk_report.h"
#include "tools/amisim/reports/eye_svg.h"
#include "tools/amisim/reports/summary.h"
#include "tools/amisim/reports/svg_plot.h"

namespace amisim {

namespace {

using svg::Number;

constexpr double kWidth = 960.0;
constexpr double kHeight = 600.0;

std::string Figures(const char* format, double a, double b) {
    char text[200];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

std::string Figure(const char* format, double a) {
    char text[200];
    std::snprintf(text, sizeof text, format, a);
    return text;
}

// Probability density to colour: white through blue to dark red on a
// logarithmic scale from 1e-16 to 1.
std::string DensityColour(double log_density) {
    const double t = std::clamp((log_density + 16.0) / 16.0, 0.0, 1.0);
    struct Stop {
        double at, r, g, b;
    };
    static const Stop stops[] = {{0.0, 235, 242, 255}, {0.35, 120, 170, 230}, {0.6, 40, 90, 200},
                                 {0.8, 240, 170, 40}, {1.0, 170, 20, 20}};
    for (std::size_t i = 1; i < std::size(stops); ++i)
        if (t <= stops[i].at) {
            const double w = (t - stops[i - 1].at) / (stops[i].at - stops[i - 1].at);
            char text[16];
            std::snprintf(text, sizeof text, "#%02x%02x%02x",
                          static_cast<int>(stops[i - 1].r + w * (stops[i].r - stops[i - 1].r)),
                          static_cast<int>(stops[i - 1].g + w * (stops[i].g - stops[i - 1].g)),
                          static_cast<int>(stops[i - 1].b + w * (stops[i].b - stops[i - 1].b)));
            return text;
        }
    return "#aa1414";
}

// The key to the density's colours: probability per picture cell, on the
// same logarithmic scale as DensityColour, from 1 down to 1e-16.
void WriteDensityScale(std::ostream& out, double x, double top, double bottom) {
    const double width = 14.0;
    out << "<g font-family=\"sans-serif\" font-size=\"11\">\n<text x=\"" << x - 6 << "\" y=\"" << top - 8
        << "\">probability</text>\n";
    const int steps = 64;
    const double height = (bottom - top) / steps;
    for (int k = 0; k < steps; ++k) {
        const double exponent = -16.0 * (k + 0.5) / steps;
        out << "<rect x=\"" << x << "\" y=\"" << Number(top + k * height, 1) << "\" width=\"" << width
            << "\" height=\"" << Number(height + 0.5, 1) << "\" fill=\"" << DensityColour(exponent) << "\"/>\n";
    }
    for (int exponent = 0; exponent >= -16; exponent -= 4) {
        const double y = top + (bottom - top) * (-exponent / 16.0);
        out << "<line x1=\"" << x + width << "\" x2=\"" << x + width + 4 << "\" y1=\"" << Number(y, 1) << "\" y2=\""
            << Number(y, 1) << "\" stroke=\"#333\"/><text x=\"" << x + width + 6 << "\" y=\"" << Number(y + 4, 1)
            << "\">" << (exponent == 0 ? std::string("1") : "1e" + std::to_string(exponent)) << "</text>\n";
    }
    out << "<text x=\"" << x - 6 << "\" y=\"" << bottom + 16 << "\">per bin</text>\n</g>\n";
}

// Time in UI from the main cursor of phase p.
double PhaseUi(const StatisticalEye& eye, double phase) { return eye.PhaseUi(phase); }

}  // namespace

void WriteTimeDomainEyeSvg(std::ostream& out, const LinkRun& run, const std::string& title,
                           const std::string& parameters) {
    const EyeMetrics& eye = run.time_domain.eye;
    EyePicture picture;
    picture.title = title;
    char figures[200];
    std::snprintf(figures, sizeof figures, "   eye height %.3f V, width %.3f UI at 0 V, levels %.3f / %.3f V",
                  eye.eye_height, eye.eye_width, eye.upper_level, eye.lower_level);
    picture.subtitle = parameters + figures;
    picture.samples_per_bit = run.samples_per_bit;
    picture.skip_bits = run.skip_bits;
    if (!run.time_domain.steady_window.empty()) {
        // Under the sampling clock's jitter, traces that follow the wave.
        picture.clock_shifts = &run.time_domain.clock_shifts;
        picture.clock_delay = run.time_domain.clock_delay;
        WriteEyeSvg(out, run.time_domain.steady_window, eye, picture);
        return;
    }
    WriteEyeSvg(out, run.time_domain.window, eye, picture);
}

void WriteStatEyeSvg(std::ostream& out, const LinkRun& run, const std::string& title) {
    const StatisticalEye& eye = run.statistical;
    const std::string subtitle =
        Figures("Statistical eye: height %.3f V, width %.3f UI", eye.eye_height, eye.eye_width) +
        Figures(" at BER %.0e; worst case %.3f V", eye.ber, eye.worst_case_height);
    svg::BeginPicture(out, kWidth, kHeight, title, subtitle, 90);
    const svg::Frame frame(90, 80, 860, 530, -1.0, 1.0, eye.v_low, eye.v_high);
    out << frame.ClipPath("plot");

    // The density, merged into about 240 rows so the picture stays small.
    const std::size_t rows = std::min<std::size_t>(eye.bins, 240);
    const std::size_t per_row = (eye.bins + rows - 1) / rows;
    const double bin_volts = (eye.v_high - eye.v_low) / static_cast<double>(eye.bins);
    out << "<g clip-path=\"url(#plot)\" shape-rendering=\"crispEdges\">\n";
    for (std::size_t p = 0; p < eye.phases; ++p) {
        const double x0 = frame.X(PhaseUi(eye, static_cast<double>(p) - 0.5));
        const double x1 = frame.X(PhaseUi(eye, static_cast<double>(p) + 0.5));
        for (std::size_t r = 0; r * per_row < eye.bins; ++r) {
            double mass = 0.0;
            for (std::size_t b = r * per_row; b < std::min(eye.bins, (r + 1) * per_row); ++b)
                mass += eye.density[p * eye.bins + b];
            if (mass < 1e-16) continue;
            const double v0 = eye.v_low + static_cast<double>(r * per_row) * bin_volts;
            const double v1 = v0 + static_cast<double>(per_row) * bin_volts;
            out << "<rect x=\"" << Number(x0, 1) << "\" y=\"" << Number(frame.Y(v1), 1) << "\" width=\""
                << Number(x1 - x0 + 0.5, 1) << "\" height=\"" << Number(frame.Y(v0) - frame.Y(v1) + 0.5, 1)
                << "\" fill=\"" << DensityColour(std::log10(mass)) << "\"/>\n";
        }
    }
    out << "</g>\n";
    frame.WriteAxes(out, "Time from the main cursor (UI)", "Voltage (V)");

    // BER contours: the inner edges of the eye at each BER.
    static const char* colours[] = {"#2e7d32", "#f9a825", "#6a1b9a", "#000000"};
    out << "<g clip-path=\"url(#plot)\" fill=\"none\" stroke-width=\"1.5\">\n";
    for (std::size_t c = 0; c < eye.contour_bers.size(); ++c) {
        for (const std::vector<double>* edge : {&eye.contour_upper[c], &eye.contour_lower[c]}) {
            out << "<polyline stroke=\"" << colours[std::min<std::size_t>(c, 3)] << "\" points=\"";
            for (std::size_t p = 0; p < eye.phases; ++p)
                out << Number(frame.X(PhaseUi(eye, static_cast<double>(p))), 1) << ','
                    << Number(frame.Y((*edge)[p]), 1) << ' ';
            out << "\"/>\n";
        }
    }
    out << "</g>\n<g font-family=\"sans-serif\" font-size=\"12\">\n";
    for (std::size_t c = 0; c < eye.contour_bers.size(); ++c) {
        char label[32];
        std::snprintf(label, sizeof label, "BER %.0e", eye.contour_bers[c]);
        out << "<line x1=\"872\" x2=\"892\" y1=\"" << 95 + 18 * c << "\" y2=\"" << 95 + 18 * c << "\" stroke=\""
            << colours[std::min<std::size_t>(c, 3)] << "\" stroke-width=\"2\"/><text x=\"896\" y=\"" << 99 + 18 * c
            << "\">" << label << "</text>\n";
    }
    out << "</g>\n";
    WriteDensityScale(out, 880.0, 95.0 + 18.0 * static_cast<double>(eye.contour_bers.size()) + 30.0, 510.0);
    // The measured height and width at the target BER.
    const double centre = PhaseUi(eye, eye.centre_phase);
    const std::size_t at = static_cast<std::size_t>(eye.centre_phase);
    if (eye.eye_height > 0.0) {
        out << "<line x1=\"" << Number(frame.X(centre), 1) << "\" x2=\"" << Number(frame.X(centre), 1) << "\" y1=\""
            << Number(frame.Y(eye.upper[at]), 1) << "\" y2=\"" << Number(frame.Y(eye.lower[at]), 1)
            << "\" stroke=\"#c0392b\" stroke-width=\"3\"/>\n<text x=\"" << Number(frame.X(centre) + 6, 1) << "\" y=\""
            << Number(frame.Y(eye.upper[at] * 0.5), 1) << "\" font-family=\"sans-serif\" font-size=\"13\" "
            << "fill=\"#c0392b\">height " << Number(eye.eye_height, 3) << " V</text>\n";
    }
    if (eye.eye_width > 0.0) {
        out << "<line x1=\"" << Number(frame.X(eye.width_start), 1) << "\" x2=\"" << Number(frame.X(eye.width_end), 1)
            << "\" y1=\"" << Number(frame.Y(0), 1) << "\" y2=\"" << Number(frame.Y(0), 1)
            << "\" stroke=\"#1e8449\" stroke-width=\"3\"/>\n<text x=\"" << Number(frame.X(centre), 1) << "\" y=\""
            << Number(frame.Y(0) + 16, 1) << "\" text-anchor=\"middle\" font-family=\"sans-serif\" font-size=\"13\" "
            << "fill=\"#1e8449\">width " << Number(eye.eye_width, 3) << " UI</text>\n";
    }
    out << "</svg>\n";
}

void WriteBathtubSvg(std::ostream& out, const LinkRun& run, const std::string& title) {
    const StatisticalEye& eye = run.statistical;
    const double floor = std::min(-18.0, std::floor(std::log10(eye.ber)) - 3.0);
    const std::string subtitle = Figures("Bathtub at the 0 V threshold: width %.3f UI at BER %.0e", eye.eye_width, eye.ber);
    svg::BeginPicture(out, kWidth, kHeight, title, subtitle, 90);
    const svg::Frame frame(90, 80, 900, 530, -1.0, 1.0, floor, 0.0);
    out << frame.ClipPath("plot");
    frame.WriteAxes(out, "Sampling time from the main cursor (UI)", "Bit error ratio", true);
    out << "<g clip-path=\"url(#plot)\">\n<polyline fill=\"none\" stroke=\"#1f5fbf\" stroke-width=\"2\" points=\"";
    for (std::size_t p = 0; p < eye.phases; ++p)
        out << Number(frame.X(PhaseUi(eye, static_cast<double>(p))), 1) << ','
            << Number(frame.Y(std::max(std::log10(std::max(eye.bathtub[p], 1e-300)), floor)), 1) << ' ';
    out << "\"/>\n";
    const double target = frame.Y(std::log10(eye.ber));
    out << "<line x1=\"" << frame.left() << "\" x2=\"" << frame.right() << "\" y1=\"" << Number(target, 1) << "\" y2=\""
        << Number(target, 1) << "\" stroke=\"#c0392b\" stroke-dasharray=\"6 4\"/>\n<text x=\"" << frame.left() + 6
        << "\" y=\"" << Number(target + 16, 1) << "\" font-family=\"sans-serif\" font-size=\"13\" fill=\"#c0392b\">BER target "
        << Figure("%.0e", eye.ber) << "</text>\n";
    if (eye.eye_width > 0.0)
        out << "<line x1=\"" << Number(frame.X(eye.width_start), 1) << "\" x2=\"" << Number(frame.X(eye.width_end), 1)
            << "\" y1=\"" << Number(target, 1) << "\" y2=\"" << Number(target, 1)
            << "\" stroke=\"#1e8449\" stroke-width=\"3\"/>\n<text x=\""
            << Number(frame.X(0.5 * (eye.width_start + eye.width_end)), 1) << "\" y=\"" << Number(target - 8, 1)
            << "\" text-anchor=\"middle\" font-family=\"sans-serif\" font-size=\"13\" fill=\"#1e8449\">width "
            << Number(eye.eye_width, 3) << " UI at BER " << Figure("%.0e", eye.ber) << "</text>\n";
    out << "</g>\n</svg>\n";
}

void WritePulseSvg(std::ostream& out, const LinkRun& run, const std::string& title) {
    const std::vector<double>& pulse = run.pulse;
    const int per_bit = run.samples_per_bit;
    const PulseCursors cursors = FindCursors(pulse, per_bit);
    const double peak = std::abs(cursors.main);
    // From a few UI before the main cursor to where the response has died
    // away, at most 60 UI.
    std::size_t last = cursors.main_index;
    for (std::size_t n = cursors.main_index; n < pulse.size(); ++n)
        if (std::abs(pulse[n]) > 0.01 * peak) last = n;
    const double main_ui = static_cast<double>(cursors.main_index) / per_bit;
    const double from = std::max(0.0, main_ui - 5.0);
    const double to = std::min(static_cast<double>(pulse.size()) / per_bit, std::max(main_ui + 8.0, std::min(main_ui + 60.0, static_cast<double>(last) / per_bit + 3.0)));
    double low = 0.0, high = 0.0;
    for (std::size_t n = static_cast<std::size_t>(from * per_bit); n < pulse.size() && n <= static_cast<std::size_t>(to * per_bit); ++n) {
        low = std::min(low, pulse[n]);
        high = std::max(high, pulse[n]);
    }
    const std::size_t first = static_cast<std::size_t>(from * per_bit), final = static_cast<std::size_t>(to * per_bit);
    WidenForCrosstalk(run, first, final, low, high);
    const double margin = std::max(0.08 * (high - low), 1e-9);
    std::string subtitle = Figures("Response to a 1 V unit-interval pulse: main cursor %.4f V at %.2f UI", cursors.main, main_ui);
    if (!cursors.pre.empty()) subtitle += Figure(", pre1 %+.4f", cursors.pre[0]);
    if (!cursors.post.empty()) subtitle += Figure(", post1 %+.4f", cursors.post[0]);
    svg::BeginPicture(out, kWidth, kHeight, title, subtitle, 90);
    const svg::Frame frame(90, 80, 900, 530, from, to, low - margin, high + margin);
    out << frame.ClipPath("plot");
    frame.WriteAxes(out, "Time after the bit enters (UI)", "Voltage (V)");
    out << "<g clip-path=\"url(#plot)\">\n<polyline fill=\"none\" stroke=\"#1f5fbf\" stroke-width=\"1.5\" points=\"";
    for (std::size_t n = static_cast<std::size_t>(from * per_bit); n < pulse.size() && static_cast<double>(n) <= to * per_bit; ++n)
        out << Number(frame.X(static_cast<double>(n) / per_bit), 1) << ',' << Number(frame.Y(pulse[n]), 1) << ' ';
    out << "\"/>\n";
    WriteCrosstalkPulses(out, frame, run, first, final);
    // The cursors, one UI apart through the peak.
    for (long k = -static_cast<long>(cursors.pre.size()); ; ++k) {
        const double n = static_cast<double>(cursors.main_index) + static_cast<double>(k * per_bit);
        if (n / per_bit > to || n >= static_cast<double>(pulse.size())) break;
        if (n / per_bit < from) continue;
        const double v = pulse[static_cast<std::size_t>(n)];
        out << "<circle cx=\"" << Number(frame.X(n / per_bit), 1) << "\" cy=\"" << Number(frame.Y(v), 1) << "\" r=\""
            << (k == 0 ? 5 : 3.5) << "\" fill=\"" << (k == 0 ? "#c0392b" : "#e67e22") << "\"/>\n";
        if (k >= -2 && k <= 3) {
            const std::string name = k == 0 ? "main" : k < 0 ? "pre" + std::to_string(-k) : "post" + std::to_string(k);
            // Neighbouring labels are wider than a UI: every other one goes
            // below its point so that they never overlap.
            const double below = (k % 2 != 0) ? 20.0 : -8.0;
            out << "<text x=\"" << Number(frame.X(n / per_bit) + 6, 1) << "\" y=\"" << Number(frame.Y(v) + below, 1)
                << "\" font-family=\"sans-serif\" font-size=\"12\" fill=\"#333\">" << name << " " << Number(v, 4)
                << "</text>\n";
        }
    }
    out << "</g>\n</svg>\n";
}

}  // namespace amisim
