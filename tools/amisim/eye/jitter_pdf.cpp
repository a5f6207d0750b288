#include "tools/amisim/eye/jitter_pdf.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace amisim {

namespace {

// P(X > x) for a standard normal X, accurate far into either tail.
double UpperTail(double x) { return 0.5 * std::erfc(x / std::numbers::sqrt2); }

// P(a < X < b) for a standard normal X. Taken from the tail on the cell's
// own side: a difference of two cumulative values near one would keep
// nothing below about 1e-16, and the eye is asked for far rarer errors.
double GaussianCellMass(double a, double b) {
    if (a >= 0.0) return UpperTail(a) - UpperTail(b);
    if (b <= 0.0) return UpperTail(-b) - UpperTail(-a);
    return 1.0 - UpperTail(b) - UpperTail(-a);
}

// The mass of each point's cell [(i - 0.5) step, (i + 0.5) step] as
// `cell_mass(low, high)` gives it, for points from `from` to `to`.
template <typename CellMass>
JitterPdf FromCellMasses(double step, long from, long to, CellMass cell_mass) {
    JitterPdf pdf;
    pdf.step = step;
    pdf.first = from;
    pdf.mass.assign(static_cast<std::size_t>(to - from + 1), 0.0);
    for (long i = from; i <= to; ++i)
        pdf.mass[static_cast<std::size_t>(i - from)] =
            std::max(0.0, cell_mass((static_cast<double>(i) - 0.5) * step, (static_cast<double>(i) + 0.5) * step));
    return pdf;
}

// Point masses split linearly between the two grid points around them, so
// that the mean stays where it was written.
JitterPdf FromPoints(const std::vector<std::pair<double, double>>& points, double step) {
    double low = 0.0, high = 0.0;
    bool any = false;
    for (const auto& [at, p] : points) {
        if (p <= 0.0) continue;
        low = any ? std::min(low, at) : at;
        high = any ? std::max(high, at) : at;
        any = true;
    }
    JitterPdf pdf;
    pdf.step = step;
    if (!any) return pdf;
    pdf.first = static_cast<long>(std::floor(low / step));
    pdf.mass.assign(static_cast<std::size_t>(static_cast<long>(std::floor(high / step)) + 2 - pdf.first), 0.0);
    for (const auto& [at, p] : points) {
        if (p <= 0.0) continue;
        const double position = at / step;
        const long below = static_cast<long>(std::floor(position));
        const double part = position - static_cast<double>(below);
        pdf.mass[static_cast<std::size_t>(below - pdf.first)] += p * (1.0 - part);
        pdf.mass[static_cast<std::size_t>(below + 1 - pdf.first)] += p * part;
    }
    return pdf;
}

}  // namespace

double JitterPdf::Mean() const {
    double sum = 0.0, total = 0.0;
    for (std::size_t i = 0; i < mass.size(); ++i) {
        sum += mass[i] * Position(i);
        total += mass[i];
    }
    return total > 0.0 ? sum / total : 0.0;
}

double JitterPdf::Rms() const {
    const double mean = Mean();
    double sum = 0.0, total = 0.0;
    for (std::size_t i = 0; i < mass.size(); ++i) {
        sum += mass[i] * (Position(i) - mean) * (Position(i) - mean);
        total += mass[i];
    }
    return total > 0.0 ? std::sqrt(sum / total) : 0.0;
}

JitterPdf ComponentPdf(const JitterComponent& component, double step, EdgeSense sense) {
    const double size = component.size;
    const auto reach = [&](double extent) { return static_cast<long>(std::ceil(extent / step)) + 1; };
    switch (component.kind) {
    case JitterComponent::Kind::kGaussian: {
        const long n = reach(kGaussianReach * size);
        return FromCellMasses(step, -n, n, [size](double a, double b) { return GaussianCellMass(a / size, b / size); });
    }
    case JitterComponent::Kind::kUniform: {
        // The cell's overlap with the span, so that the partial cells at
        // its ends keep their small masses exactly.
        const long n = reach(size);
        return FromCellMasses(step, -n, n, [size](double a, double b) {
            return std::max(0.0, std::min(b, size) - std::max(a, -size)) / (2.0 * size);
        });
    }
    case JitterComponent::Kind::kSinusoid: {
        // A sinusoid sampled at random times spends longest near its peaks.
        const long n = reach(size);
        return FromCellMasses(step, -n, n, [size](double a, double b) {
            return (std::asin(std::clamp(b / size, -1.0, 1.0)) - std::asin(std::clamp(a / size, -1.0, 1.0))) /
                   std::numbers::pi;
        });
    }
    case JitterComponent::Kind::kDutyCycle:
        if (sense == EdgeSense::kRising) return FromPoints({{size, 1.0}}, step);
        if (sense == EdgeSense::kFalling) return FromPoints({{-size, 1.0}}, step);
        return FromPoints({{size, 0.5}, {-size, 0.5}}, step);
    case JitterComponent::Kind::kPoints:
        return FromPoints(component.points, step);
    }
    return JitterPdf{};
}

JitterPdf Convolve(const JitterPdf& a, const JitterPdf& b) {
    JitterPdf out;
    out.step = a.step;
    out.first = a.first + b.first;
    out.mass.assign(a.mass.size() + b.mass.size() - 1, 0.0);
    for (std::size_t i = 0; i < a.mass.size(); ++i) {
        const double m = a.mass[i];
        if (m == 0.0) continue;
        double* to = out.mass.data() + i;
        for (std::size_t j = 0; j < b.mass.size(); ++j) to[j] += m * b.mass[j];
    }
    return out;
}

JitterPdf JitterPdfOf(const Jitter& jitter, double step, EdgeSense sense, bool negate) {
    JitterPdf total;
    total.step = step;
    for (const JitterComponent& component : jitter) total = Convolve(total, ComponentPdf(component, step, sense));
    if (negate) {
        std::reverse(total.mass.begin(), total.mass.end());
        total.first = -(total.first + static_cast<long>(total.mass.size()) - 1);
    }
    return total;
}

CellWeights GatherCells(const JitterPdf& pdf, double cell) {
    CellWeights cells;
    const double ratio = cell / pdf.step;  // points per cell
    const auto cell_of = [&](double position) { return position / ratio; };
    // One cell more below: a first point on a border also feeds the cell
    // under it. Empty cells are trimmed below.
    const long low = static_cast<long>(std::floor(cell_of(static_cast<double>(pdf.first)) + 0.5)) - 1;
    const long high =
        static_cast<long>(std::floor(cell_of(static_cast<double>(pdf.first + static_cast<long>(pdf.mass.size()) - 1)) + 0.5)) + 1;
    cells.first = low;
    cells.weights.assign(static_cast<std::size_t>(high - low + 1), 0.0);
    for (std::size_t i = 0; i < pdf.mass.size(); ++i) {
        if (pdf.mass[i] == 0.0) continue;
        const double at = cell_of(static_cast<double>(pdf.first + static_cast<long>(i)));
        const double nearest = std::floor(at + 0.5);
        const long k = static_cast<long>(nearest);
        if (std::abs(at + 0.5 - nearest) < 1e-9) {  // on the border of cells k - 1 and k
            cells.weights[static_cast<std::size_t>(k - 1 - low)] += 0.5 * pdf.mass[i];
            cells.weights[static_cast<std::size_t>(k - low)] += 0.5 * pdf.mass[i];
        } else {
            cells.weights[static_cast<std::size_t>(k - low)] += pdf.mass[i];
        }
    }
    // Trim empty cells at both ends.
    std::size_t begin = 0, end = cells.weights.size();
    while (begin < end && cells.weights[begin] == 0.0) ++begin;
    while (end > begin && cells.weights[end - 1] == 0.0) --end;
    cells.first += static_cast<long>(begin);
    cells.weights.assign(cells.weights.begin() + static_cast<std::ptrdiff_t>(begin),
                         cells.weights.begin() + static_cast<std::ptrdiff_t>(end));
    return cells;
}

std::vector<double> NoiseKernel(double sigma, double half_width, double bin, std::size_t& centre,
                                const Jitter& parts) {
    JitterComponent gaussian{JitterComponent::Kind::kGaussian, sigma, 0.0, {}};
    JitterComponent uniform{JitterComponent::Kind::kUniform, half_width, 0.0, {}};
    JitterPdf kernel;
    kernel.step = bin;
    if (sigma > 0.0) kernel = Convolve(kernel, ComponentPdf(gaussian, bin, EdgeSense::kRising));
    if (half_width > 0.0) kernel = Convolve(kernel, ComponentPdf(uniform, bin, EdgeSense::kRising));
    // The noise's kinds are the jitter's, in volts; points keep their mean
    // by splitting between bins.
    for (const JitterComponent& part : parts) kernel = Convolve(kernel, ComponentPdf(part, bin, EdgeSense::kRising));
    // The kernel must hold bin 0 V for the centre to index it.
    if (kernel.first > 0) {
        kernel.mass.insert(kernel.mass.begin(), static_cast<std::size_t>(kernel.first), 0.0);
        kernel.first = 0;
    }
    const long end = kernel.first + static_cast<long>(kernel.mass.size());
    if (end <= 0) kernel.mass.resize(kernel.mass.size() + static_cast<std::size_t>(1 - end), 0.0);
    centre = static_cast<std::size_t>(-kernel.first);
    return kernel.mass;
}

}  // namespace amisim
