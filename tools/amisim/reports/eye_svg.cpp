#include "tools/amisim/reports/eye_svg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/amisim/reports/svg_plot.h"

namespace amisim {

namespace {

constexpr double kWidth = 960.0;
constexpr double kHeight = 600.0;
constexpr double kLeft = 90.0;  // plot area inside the picture
constexpr double kRight = 930.0;
constexpr double kTop = 70.0;
constexpr double kBottom = 540.0;

using svg::Decimals;
using svg::Number;
using svg::TickStep;

class Axes {
public:
    Axes(double low, double high) : low_(low), high_(high) {}
    double X(double ui) const { return kLeft + ui / 2.0 * (kRight - kLeft); }
    double Y(double volts) const { return kBottom - (volts - low_) / (high_ - low_) * (kBottom - kTop); }
    double low() const { return low_; }
    double high() const { return high_; }

private:
    double low_;
    double high_;
};

void WriteFrame(std::ostream& out, const Axes& axes) {
    out << "<g stroke=\"#d8d8d8\" stroke-width=\"1\">\n";
    for (int tenth = 0; tenth <= 20; tenth += 5)
        out << "<line x1=\"" << Number(axes.X(tenth / 10.0), 1) << "\" y1=\"" << kTop << "\" x2=\""
            << Number(axes.X(tenth / 10.0), 1) << "\" y2=\"" << kBottom << "\"/>\n";
    const double step = TickStep(axes.high() - axes.low(), 8);
    for (double v = std::ceil(axes.low() / step) * step; v <= axes.high() + 1e-12; v += step)
        out << "<line x1=\"" << kLeft << "\" y1=\"" << Number(axes.Y(v), 1) << "\" x2=\"" << kRight
            << "\" y2=\"" << Number(axes.Y(v), 1) << "\"/>\n";
    out << "</g>\n";

    out << "<g font-family=\"sans-serif\" font-size=\"13\" fill=\"#333\">\n";
    for (int tenth = 0; tenth <= 20; tenth += 5)
        out << "<text x=\"" << Number(axes.X(tenth / 10.0), 1) << "\" y=\"" << kBottom + 20
            << "\" text-anchor=\"middle\">" << Number(tenth / 10.0, 1) << "</text>\n";
    const int decimals = Decimals(step);
    for (double v = std::ceil(axes.low() / step) * step; v <= axes.high() + 1e-12; v += step)
        out << "<text x=\"" << kLeft - 8 << "\" y=\"" << Number(axes.Y(v) + 4, 1)
            << "\" text-anchor=\"end\">" << Number(std::abs(v) < step / 2 ? 0.0 : v, decimals)
            << "</text>\n";
    out << "<text x=\"" << (kLeft + kRight) / 2 << "\" y=\"" << kHeight - 18
        << "\" text-anchor=\"middle\" font-size=\"14\">Time (UI)</text>\n";
    out << "<text x=\"24\" y=\"" << (kTop + kBottom) / 2 << "\" text-anchor=\"middle\" "
        << "font-size=\"14\" transform=\"rotate(-90 24 " << (kTop + kBottom) / 2
        << ")\">Voltage (V)</text>\n";
    out << "</g>\n";
    out << "<rect x=\"" << kLeft << "\" y=\"" << kTop << "\" width=\"" << kRight - kLeft
        << "\" height=\"" << kBottom - kTop << "\" fill=\"none\" stroke=\"#555\"/>\n";
}

}  // namespace

std::size_t WriteEyeSvg(std::ostream& out, const std::vector<double>& output,
                        const EyeMetrics& eye, const EyePicture& picture) {
    const long per_bit = picture.samples_per_bit;
    const double n = static_cast<double>(per_bit);
    const long count = static_cast<long>(output.size());
    const long first = static_cast<long>(picture.skip_bits) * per_bit;

    // The picture is centred on the middle of the opening at the threshold
    // (on the best phase when the eye is shut), so the eye sits in the
    // middle with a crossing on either side; `centre` counts samples from a
    // bit's start at the output and may fall between samples.
    const double opening_middle =
        eye.eye_width > 0.0 ? (eye.width_start + eye.width_end) / 2.0 : 0.0;
    const double centre = eye.best_phase + opening_middle * n;
    const auto x_of = [&](double samples_from_centre) { return 1.0 + samples_from_centre / n; };

    // Each trace spans two unit intervals around one bit's centre.
    struct Trace {
        long base;  // first sample of the bit at the output
        long from, to;
        double shift = 0.0;  // the sampling clock's displacement, in samples
    };
    const auto shift_of = [&](long base) {
        if (picture.clock_shifts == nullptr) return 0.0;
        const long nominal = base + eye.best_phase - picture.clock_delay;
        const long bit = nominal < 0 ? 0 : nominal / per_bit;
        return bit < static_cast<long>(picture.clock_shifts->size()) ? (*picture.clock_shifts)[static_cast<std::size_t>(bit)]
                                                                    : 0.0;
    };
    // The output at sample i of a trace, between samples when displaced.
    const auto value = [&](const Trace& trace, long i) {
        if (trace.shift == 0.0) return output[static_cast<std::size_t>(i)];
        const double at = std::clamp(static_cast<double>(i) + trace.shift, 0.0, static_cast<double>(count - 1));
        const long below = std::min(static_cast<long>(at), count - 2);
        const double part = at - static_cast<double>(below);
        const double a = output[static_cast<std::size_t>(below)];
        return a + (output[static_cast<std::size_t>(below + 1)] - a) * part;
    };
    std::vector<Trace> traces;
    std::size_t left_out = 0;
    double low = picture.threshold;
    double high = picture.threshold;
    for (long bit = 0; per_bit > 0; ++bit) {
        const long base = bit * per_bit + eye.latency;
        const long from = base + static_cast<long>(std::floor(centre - n));
        const long to = base + static_cast<long>(std::ceil(centre + n));
        if (to >= count) break;
        if (from < first) continue;
        if (traces.size() == picture.max_traces) {
            ++left_out;
            continue;
        }
        traces.push_back({base, from, to, shift_of(base)});
        for (long i = from; i <= to; ++i) {
            low = std::min(low, value(traces.back(), i));
            high = std::max(high, value(traces.back(), i));
        }
    }
    const double margin = std::max(0.08 * (high - low), 1e-6);
    const Axes axes(low - margin, high + margin);

    // The heading shrinks, then wraps, to stay inside the picture.
    svg::BeginPicture(out, kWidth, kHeight, picture.title, picture.subtitle, kLeft);
    out << "<clipPath id=\"plot\"><rect x=\"" << kLeft << "\" y=\"" << kTop << "\" width=\""
        << kRight - kLeft << "\" height=\"" << kBottom - kTop << "\"/></clipPath>\n";
    WriteFrame(out, axes);

    // Faint strokes add up where traces crowd, so the picture shows density.
    out << "<g clip-path=\"url(#plot)\" fill=\"none\" stroke=\"#1f5fbf\" stroke-opacity=\"0.12\" "
        << "stroke-width=\"1\">\n";
    for (const Trace& trace : traces) {
        out << "<polyline points=\"";
        for (long i = trace.from; i <= trace.to; ++i) {
            const double x = x_of(static_cast<double>(i - trace.base) - centre);
            out << Number(axes.X(x), 1) << ',' << Number(axes.Y(value(trace, i)), 1)
                << (i < trace.to ? " " : "");
        }
        out << "\"/>\n";
    }
    out << "</g>\n";

    // The threshold, the best phase, and the measured opening.
    const double threshold_y = axes.Y(picture.threshold);
    const double phase_x = axes.X(x_of(eye.best_phase - centre));
    out << "<line x1=\"" << kLeft << "\" y1=\"" << Number(threshold_y, 1) << "\" x2=\"" << kRight
        << "\" y2=\"" << Number(threshold_y, 1) << "\" stroke=\"#777\" stroke-dasharray=\"6 4\"/>\n";
    out << "<line x1=\"" << Number(phase_x, 1) << "\" y1=\"" << kTop << "\" x2=\"" << Number(phase_x, 1)
        << "\" y2=\"" << kBottom << "\" stroke=\"#c0392b\" stroke-dasharray=\"3 3\"/>\n";
    if (eye.eye_height > 0.0) {
        out << "<line x1=\"" << Number(phase_x, 1) << "\" y1=\"" << Number(axes.Y(eye.lowest_one), 1)
            << "\" x2=\"" << Number(phase_x, 1) << "\" y2=\"" << Number(axes.Y(eye.highest_zero), 1)
            << "\" stroke=\"#c0392b\" stroke-width=\"3\"/>\n";
        // The label goes on the side of the marker that faces the eye's middle.
        const bool right_half = phase_x > axes.X(1.0);
        out << "<text x=\"" << Number(phase_x + (right_half ? -6 : 6), 1) << "\" y=\""
            << Number((axes.Y(eye.lowest_one) + threshold_y) / 2, 1) << "\" text-anchor=\""
            << (right_half ? "end" : "start")
            << "\" font-family=\"sans-serif\" font-size=\"13\" fill=\"#c0392b\">height "
            << Number(eye.eye_height, 3) << " V</text>\n";
    }
    if (eye.eye_width > 0.0) {
        const double start = axes.X(x_of(eye.best_phase + eye.width_start * n - centre));
        const double end = axes.X(x_of(eye.best_phase + eye.width_end * n - centre));
        out << "<line x1=\"" << Number(start, 1) << "\" y1=\"" << Number(threshold_y, 1) << "\" x2=\""
            << Number(end, 1) << "\" y2=\"" << Number(threshold_y, 1)
            << "\" stroke=\"#1e8449\" stroke-width=\"3\"/>\n";
        out << "<text x=\"" << Number((start + end) / 2, 1) << "\" y=\""
            << Number((axes.Y(eye.highest_zero) + threshold_y) / 2 + 4, 1)
            << "\" text-anchor=\"middle\" font-family=\"sans-serif\" font-size=\"13\" "
            << "fill=\"#1e8449\">width " << Number(eye.eye_width, 3) << " UI</text>\n";
    }
    if (left_out > 0)
        out << "<text x=\"" << kRight << "\" y=\"" << kHeight - 18 << "\" text-anchor=\"end\" font-family=\"sans-serif\" "
            << "font-size=\"11\" fill=\"#777\">first " << traces.size() << " traces drawn, " << left_out
            << " more left out</text>\n";
    out << "</svg>\n";
    return traces.size();
}

}  // namespace amisim
