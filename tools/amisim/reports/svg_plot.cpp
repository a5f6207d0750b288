#include "tools/amisim/reports/svg_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace amisim::svg {

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string Number(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

double TickStep(double span, int count) {
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0, 10.0})
        if (factor * power >= raw) return factor * power;
    return 10.0 * power;
}

int Decimals(double step) { return std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9))); }

namespace {

// Sans-serif glyphs average a little over half the font size in width.
double TextWidth(const std::string& text, double size) { return 0.56 * size * static_cast<double>(text.size()); }

std::vector<std::string> Wrap(const std::string& text, double width, double size) {
    std::vector<std::string> lines;
    std::string line;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(start, end - start);
        const std::string joined = line.empty() ? word : line + " " + word;
        if (!line.empty() && TextWidth(joined, size) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = joined;
        }
        start = end + 1;
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

}  // namespace

FittedText FitText(const std::string& text, double width, double size, double min_size, int max_lines) {
    FittedText fitted;
    for (double s = size; s >= min_size - 1e-9; s -= 0.5)
        if (TextWidth(text, s) <= width) {
            fitted.lines = {text};
            fitted.size = s;
            return fitted;
        }
    fitted.size = min_size;
    fitted.lines = Wrap(text, width, min_size);
    if (static_cast<int>(fitted.lines.size()) > max_lines) {
        fitted.lines.resize(static_cast<std::size_t>(max_lines));
        std::string& last = fitted.lines.back();
        const std::size_t room = static_cast<std::size_t>(width / (0.56 * min_size));
        if (last.size() + 3 > room) last = last.substr(0, room > 3 ? room - 3 : 0);
        last += "...";
    }
    return fitted;
}

double WriteLines(std::ostream& out, const FittedText& text, double x, double y, const char* attributes) {
    for (const std::string& line : text.lines) {
        out << "<text x=\"" << Number(x, 1) << "\" y=\"" << Number(y, 1) << "\" font-family=\"sans-serif\" font-size=\""
            << Number(text.size, 1) << "\" " << attributes << ">" << Escape(line) << "</text>\n";
        y += text.size * 1.25;
    }
    return y;
}

void Frame::WriteAxes(std::ostream& out, const std::string& x_title, const std::string& y_title, bool log_y) const {
    const double x_step = TickStep(x_high_ - x_low_, 8);
    const double y_step = log_y ? std::max(1.0, std::round(TickStep(y_high_ - y_low_, 12))) : TickStep(y_high_ - y_low_, 8);
    out << "<g stroke=\"#d8d8d8\" stroke-width=\"1\">\n";
    for (double x = std::ceil(x_low_ / x_step) * x_step; x <= x_high_ + 1e-12; x += x_step)
        out << "<line x1=\"" << Number(X(x), 1) << "\" y1=\"" << top_ << "\" x2=\"" << Number(X(x), 1) << "\" y2=\""
            << bottom_ << "\"/>\n";
    for (double y = std::ceil(y_low_ / y_step) * y_step; y <= y_high_ + 1e-12; y += y_step)
        out << "<line x1=\"" << left_ << "\" y1=\"" << Number(Y(y), 1) << "\" x2=\"" << right_ << "\" y2=\""
            << Number(Y(y), 1) << "\"/>\n";
    out << "</g>\n<g font-family=\"sans-serif\" font-size=\"12\" fill=\"#333\">\n";
    const int x_decimals = Decimals(x_step);
    for (double x = std::ceil(x_low_ / x_step) * x_step; x <= x_high_ + 1e-12; x += x_step)
        out << "<text x=\"" << Number(X(x), 1) << "\" y=\"" << bottom_ + 18 << "\" text-anchor=\"middle\">"
            << Number(std::abs(x) < x_step / 2 ? 0.0 : x, x_decimals) << "</text>\n";
    const int y_decimals = Decimals(y_step);
    for (double y = std::ceil(y_low_ / y_step) * y_step; y <= y_high_ + 1e-12; y += y_step)
        out << "<text x=\"" << left_ - 8 << "\" y=\"" << Number(Y(y) + 4, 1) << "\" text-anchor=\"end\">"
            << (log_y ? "1e" + Number(y, 0) : Number(std::abs(y) < y_step / 2 ? 0.0 : y, y_decimals)) << "</text>\n";
    out << "<text x=\"" << (left_ + right_) / 2 << "\" y=\"" << bottom_ + 40
        << "\" text-anchor=\"middle\" font-size=\"14\">" << Escape(x_title) << "</text>\n";
    const double middle = (top_ + bottom_) / 2;
    out << "<text x=\"" << left_ - 62 << "\" y=\"" << middle << "\" text-anchor=\"middle\" font-size=\"14\" "
        << "transform=\"rotate(-90 " << left_ - 62 << ' ' << middle << ")\">" << Escape(y_title) << "</text>\n";
    out << "</g>\n<rect x=\"" << left_ << "\" y=\"" << top_ << "\" width=\"" << right_ - left_ << "\" height=\""
        << bottom_ - top_ << "\" fill=\"none\" stroke=\"#555\"/>\n";
}

std::string Frame::ClipPath(const std::string& id) const {
    return "<clipPath id=\"" + id + "\"><rect x=\"" + Number(left_, 1) + "\" y=\"" + Number(top_, 1) + "\" width=\"" +
           Number(right_ - left_, 1) + "\" height=\"" + Number(bottom_ - top_, 1) + "\"/></clipPath>\n";
}

double BeginPicture(std::ostream& out, double width, double height, const std::string& title,
                    const std::string& subtitle, double text_left) {
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << width << "\" height=\"" << height
        << "\" viewBox=\"0 0 " << width << ' ' << height << "\">\n"
        << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    const double room = width - text_left - 20;
    double y = WriteLines(out, FitText(title, room, 16, 11, 2), text_left, 24, "font-weight=\"bold\"");
    if (!subtitle.empty()) y = WriteLines(out, FitText(subtitle, room, 13, 10, 2), text_left, y + 2, "fill=\"#333\"");
    return y;
}

}  // namespace amisim::svg
