#include "tools/amisim/eye/stat_eye.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace amisim {

std::vector<double> PulseResponse(const std::vector<double>& taps, int samples_per_bit) {
    std::vector<double> pulse(taps.size() + static_cast<std::size_t>(samples_per_bit) - 1, 0.0);
    double running = 0.0;
    for (std::size_t n = 0; n < pulse.size(); ++n) {
        if (n < taps.size()) running += taps[n];
        if (n >= static_cast<std::size_t>(samples_per_bit) && n - samples_per_bit < taps.size())
            running -= taps[n - samples_per_bit];
        pulse[n] = running;
    }
    return pulse;
}

PulseCursors FindCursors(const std::vector<double>& pulse, int samples_per_bit) {
    PulseCursors cursors;
    if (pulse.empty()) return cursors;
    for (std::size_t n = 1; n < pulse.size(); ++n)
        if (std::abs(pulse[n]) > std::abs(pulse[cursors.main_index])) cursors.main_index = n;
    cursors.main = pulse[cursors.main_index];
    cursors.sign = cursors.main < 0.0 ? -1.0 : 1.0;
    const std::size_t step = static_cast<std::size_t>(samples_per_bit);
    for (std::size_t k = step; k <= cursors.main_index; k += step) cursors.pre.push_back(pulse[cursors.main_index - k]);
    for (std::size_t n = cursors.main_index + step; n < pulse.size(); n += step) cursors.post.push_back(pulse[n]);
    return cursors;
}

namespace {

// The distribution of sum b_k c_k, b_k = +-symbol equally likely, on a grid
// of bins centred on 0: each cursor moves half the mass up and half down,
// split linearly between neighbouring bins.
//
// A search evaluates thousands of eyes, so each step costs only the bins
// that hold mass: [lo_, hi_] covers every non-zero bin, and the callers add
// the small cursors first, while the mass is still narrow. Away from the
// grid's edges each new bin gathers its four sources, which vectorises.
class IsiDistribution {
public:
    IsiDistribution(std::size_t bins, double bin_width)
        : mass_(bins, 0.0), next_(bins, 0.0), width_(bin_width), lo_(static_cast<long>(bins / 2)), hi_(lo_) {
        mass_[bins / 2] = 1.0;  // bins / 2 is 0 V
    }
    void Add(double amplitude) {
        const double shift = std::abs(amplitude) / width_;
        if (shift == 0.0) return;
        const long whole = static_cast<long>(std::floor(shift));
        const double part = shift - static_cast<double>(whole);
        const long n = static_cast<long>(mass_.size());
        const long reach = whole + (part > 0.0 ? 1 : 0);
        const long lo = lo_ - reach, hi = hi_ + reach;
        if (lo < 0 || hi >= n) {
            Scatter(whole, part);
            lo_ = std::max<long>(lo, 0);
            hi_ = std::min<long>(hi, n - 1);
            return;
        }
        const double a = 0.5 * (1.0 - part), b = 0.5 * part;
        const double* m = mass_.data();
        double* out = next_.data();
        const auto stencil = [&](long j, auto source) {
            out[j] = b * source(j - whole - 1) + a * source(j - whole) + a * source(j + whole) +
                     b * source(j + whole + 1);
        };
        // Near the ends some sources lie outside [lo_, hi_] and hold nothing;
        // in between every source lies inside, and the loop needs no test.
        const auto guarded = [&](long i) { return i >= lo_ && i <= hi_ ? m[i] : 0.0; };
        const auto direct = [&](long i) { return m[i]; };
        const long inner_lo = lo_ + whole + 1, inner_hi = hi_ - whole - 1;
        const long left_end = std::min(hi, inner_lo - 1);
        for (long j = lo; j <= left_end; ++j) stencil(j, guarded);
        const long mid_end = std::min(hi, inner_hi);
        for (long j = std::max(lo, inner_lo); j <= mid_end; ++j) stencil(j, direct);
        for (long j = std::max(left_end, mid_end) + 1; j <= hi; ++j) stencil(j, guarded);
        std::fill(mass_.begin() + lo_, mass_.begin() + hi_ + 1, 0.0);
        mass_.swap(next_);
        lo_ = lo;
        hi_ = hi;
    }
    const std::vector<double>& mass() const { return mass_; }

private:
    // Near the grid's edges, the mass that would fall off is kept in the
    // edge bins.
    void Scatter(long whole, double part) {
        std::vector<double>& next = next_;
        for (long i = lo_; i <= hi_; ++i) {
            const double m = mass_[static_cast<std::size_t>(i)];
            if (m == 0.0) continue;
            Put(next, i + whole, 0.5 * m * (1.0 - part));
            Put(next, i + whole + 1, 0.5 * m * part);
            Put(next, i - whole, 0.5 * m * (1.0 - part));
            Put(next, i - whole - 1, 0.5 * m * part);
        }
        mass_.swap(next);
        std::fill(next_.begin(), next_.end(), 0.0);
    }
    static void Put(std::vector<double>& to, long index, double m) {
        // The grid spans the worst case, so nothing falls off but rounding.
        index = std::clamp<long>(index, 0, static_cast<long>(to.size()) - 1);
        to[static_cast<std::size_t>(index)] += m;
    }
    std::vector<double> mass_, next_;  // next_ is all zeros between steps
    double width_;
    long lo_, hi_;
};

// The voltage below which the interference lies with probability `p`,
// with the mass of a bin spread evenly over it.
double LowerQuantile(const std::vector<double>& mass, double bin_width, double p) {
    double below = 0.0;
    const double centre = static_cast<double>(mass.size() / 2);
    for (std::size_t i = 0; i < mass.size(); ++i) {
        if (below + mass[i] >= p) {
            const double fraction = mass[i] > 0.0 ? (p - below) / mass[i] : 0.0;
            return (static_cast<double>(i) - 0.5 + fraction - centre) * bin_width;
        }
        below += mass[i];
    }
    return (static_cast<double>(mass.size()) - 0.5 - centre) * bin_width;
}

// The probability that the interference lies below `v`.
double Below(const std::vector<double>& mass, double bin_width, double v) {
    const double centre = static_cast<double>(mass.size() / 2);
    const double position = v / bin_width + centre + 0.5;  // in bins from the grid's lower edge
    double below = 0.0;
    for (std::size_t i = 0; i < mass.size(); ++i) {
        const double start = static_cast<double>(i);
        if (position >= start + 1.0) below += mass[i];
        else {
            if (position > start) below += mass[i] * (position - start);
            break;
        }
    }
    return below;
}

// Where a quantity per phase, positive around `from`, falls to zero, in
// phases, interpolated linearly between the last positive and first
// non-positive phase.
double Edge(const std::vector<double>& margin, int from, int step) {
    int at = from;
    while (true) {
        const int next = at + step;
        if (next < 0 || next >= static_cast<int>(margin.size())) return at;
        if (margin[static_cast<std::size_t>(next)] <= 0.0) {
            const double inside = margin[static_cast<std::size_t>(at)];
            const double outside = margin[static_cast<std::size_t>(next)];
            return at + step * inside / (inside - outside);
        }
        at = next;
    }
}

}  // namespace

StatisticalEye ComputeStatisticalEye(const std::vector<double>& pulse, const StatEyeSettings& settings) {
    if (settings.samples_per_bit < 2) throw std::invalid_argument("at least two samples per bit");
    if (!(settings.ber > 0.0 && settings.ber < 0.5)) throw std::invalid_argument("a BER between 0 and 0.5");
    const PulseCursors cursors = FindCursors(pulse, settings.samples_per_bit);
    const long per_bit = settings.samples_per_bit;
    const long main = static_cast<long>(cursors.main_index);
    const long length = static_cast<long>(pulse.size());

    StatisticalEye eye;
    eye.samples_per_bit = settings.samples_per_bit;
    eye.ber = settings.ber;
    // A few dozen phases a unit interval resolve any eye; more only cost.
    const long step = std::max<long>(1, per_bit / 32);
    const long half = per_bit / step;
    eye.phase_step = static_cast<int>(step);
    eye.phases = static_cast<std::size_t>(2 * half + 1);
    eye.bins = settings.bins;
    eye.contour_bers = {1e-3, 1e-6, 1e-9};
    if (settings.ber < 1e-9) eye.contour_bers.push_back(settings.ber);
    const std::size_t contours = eye.contour_bers.size();
    eye.contour_upper.assign(contours, std::vector<double>(eye.phases));
    eye.contour_lower.assign(contours, std::vector<double>(eye.phases));

    // The cursors of each phase, signed so that a one comes out high.
    std::vector<std::vector<double>> isi(eye.phases);
    std::vector<double> mains(eye.phases, 0.0);
    double reach = 0.0;
    for (std::size_t p = 0; p < eye.phases; ++p) {
        const long at = main + (static_cast<long>(p) - half) * step;
        double total = 0.0;
        for (long n = ((at % per_bit) + per_bit) % per_bit; n < length; n += per_bit) {
            const double c = cursors.sign * pulse[static_cast<std::size_t>(n)] * settings.symbol;
            if (n == at) mains[p] = c;
            else isi[p].push_back(c);
            total += std::abs(c);
        }
        reach = std::max(reach, total);
    }
    // Room for every sum, and a little more for the split at the edges.
    const double half_span = std::max(reach * 1.02, 1e-12);
    const std::size_t bins = settings.bins | 1;  // odd: a bin centred on 0 V
    const double width = 2.0 * half_span / static_cast<double>(bins);
    eye.bins = bins;
    eye.v_low = -half_span;
    eye.v_high = half_span;
    eye.density.assign(eye.phases * bins, 0.0);
    eye.upper.resize(eye.phases);
    eye.lower.resize(eye.phases);
    eye.bathtub.resize(eye.phases);

    std::vector<double> worst(eye.phases);
    for (std::size_t p = 0; p < eye.phases; ++p) {
        IsiDistribution distribution(bins, width);
        double peak_distortion = 0.0;
        // Smallest first: the mass stays narrow for most of the cursors.
        std::vector<double> by_size = isi[p];
        std::stable_sort(by_size.begin(), by_size.end(),
                         [](double x, double y) { return std::abs(x) < std::abs(y); });
        for (double c : by_size) {
            distribution.Add(c);
            peak_distortion += std::abs(c);
        }
        const std::vector<double>& mass = distribution.mass();
        const double level = mains[p];
        // Ones sit at +level, zeros at -level, each with the interference
        // around them; the interference is symmetric about 0.
        const double q = -LowerQuantile(mass, width, settings.ber);
        eye.upper[p] = level - q;
        eye.lower[p] = -level + q;
        for (std::size_t c = 0; c < contours; ++c) {
            const double qc = -LowerQuantile(mass, width, eye.contour_bers[c]);
            eye.contour_upper[c][p] = level - qc;
            eye.contour_lower[c][p] = -level + qc;
        }
        eye.bathtub[p] = level > 0.0 ? Below(mass, width, -level) : 0.5;
        worst[p] = 2.0 * (level - peak_distortion);
        // The density: the interference's mass moved up and down by the level.
        const double shift = level / width;
        const long whole = static_cast<long>(std::floor(shift));
        const double part = shift - static_cast<double>(whole);
        double* column = eye.density.data() + p * bins;
        const long n = static_cast<long>(bins);
        const auto put = [&](long i, double m) {
            if (i >= 0 && i < n) column[i] += m;
        };
        for (long i = 0; i < n; ++i) {
            const double m = mass[static_cast<std::size_t>(i)] * 0.5;
            if (m == 0.0) continue;
            put(i + whole, m * (1.0 - part));
            put(i + whole + 1, m * part);
            put(i - whole, m * (1.0 - part));
            put(i - whole - 1, m * part);
        }
    }

    std::vector<double> heights(eye.phases), margin(eye.phases);
    for (std::size_t p = 0; p < eye.phases; ++p) {
        heights[p] = eye.upper[p] - eye.lower[p];
        // Positive where the BER at the threshold meets the target, in
        // decades, held within as many decades either way: a BER that drops
        // from 0.5 to nothing within one sample then crosses half-way.
        const double target = std::log10(settings.ber);
        margin[p] = target - std::clamp(std::log10(std::max(eye.bathtub[p], 1e-300)), 2.0 * target, 0.0);
    }
    eye.best_phase = static_cast<int>(std::max_element(heights.begin(), heights.end()) - heights.begin());
    eye.eye_height_best = heights[static_cast<std::size_t>(eye.best_phase)];
    eye.worst_case_height = worst[static_cast<std::size_t>(eye.best_phase)];
    eye.main_cursor = mains[static_cast<std::size_t>(eye.best_phase)];
    eye.centre_phase = eye.best_phase;
    eye.eye_height = eye.eye_height_best;
    // The width at the threshold, followed from the phase where the BER is
    // lowest.
    const int deepest = static_cast<int>(std::max_element(margin.begin(), margin.end()) - margin.begin());
    if (margin[static_cast<std::size_t>(deepest)] > 0.0) {
        const double start = Edge(margin, deepest, -1);
        const double end = Edge(margin, deepest, +1);
        eye.width_start = eye.PhaseUi(start);
        eye.width_end = eye.PhaseUi(end);
        eye.eye_width = eye.width_end - eye.width_start;
        eye.centre_phase = static_cast<int>(std::lround(0.5 * (start + end)));
        eye.eye_height = heights[static_cast<std::size_t>(eye.centre_phase)];
    }
    return eye;
}

}  // namespace amisim
