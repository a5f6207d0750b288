#pragma once
// What amisim's pictures share: escaped text, numbers, tick steps, titles
// that fit the picture, and a plot frame with its axes.

#include <ostream>
#include <string>
#include <vector>

namespace amisim::svg {

std::string Escape(const std::string& text);
std::string Number(double value, int decimals);
// A step of 1, 2 or 5 times a power of ten giving about `count` ticks.
double TickStep(double span, int count);
int Decimals(double step);

// Text set to fit `width` pixels: the font shrinks from `size` to
// `min_size`, then the text wraps at blanks onto up to `max_lines` lines
// (the last one shortened with an ellipsis if it must be).
struct FittedText {
    std::vector<std::string> lines;
    double size = 0.0;
};
FittedText FitText(const std::string& text, double width, double size, double min_size, int max_lines);

// Writes the lines from baseline `y` down; returns the baseline after them.
double WriteLines(std::ostream& out, const FittedText& text, double x, double y, const char* attributes);

// A plot area with linear axes (the y axis may show powers of ten).
class Frame {
public:
    Frame(double left, double top, double right, double bottom, double x_low, double x_high, double y_low,
          double y_high)
        : left_(left), top_(top), right_(right), bottom_(bottom), x_low_(x_low), x_high_(x_high), y_low_(y_low),
          y_high_(y_high) {}
    double X(double x) const { return left_ + (x - x_low_) / (x_high_ - x_low_) * (right_ - left_); }
    double Y(double y) const { return bottom_ - (y - y_low_) / (y_high_ - y_low_) * (bottom_ - top_); }
    // Grid, tick labels, axis titles and the border. With `log_y` the y
    // values are exponents and the labels read 1e-12.
    void WriteAxes(std::ostream& out, const std::string& x_title, const std::string& y_title, bool log_y = false) const;
    std::string ClipPath(const std::string& id) const;
    double left() const { return left_; }
    double right() const { return right_; }
    double top() const { return top_; }
    double bottom() const { return bottom_; }

private:
    double left_, top_, right_, bottom_;
    double x_low_, x_high_, y_low_, y_high_;
};

// The SVG element, white background and heading of a picture; returns the
// baseline below the heading.
double BeginPicture(std::ostream& out, double width, double height, const std::string& title,
                    const std::string& subtitle, double text_left);

}  // namespace amisim::svg
