#include "tools/amisim/eye/stat_eye.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "tools/amisim/eye/jitter_pdf.h"

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

// A bin's mass below this cannot move any figure the eye reports (BERs go
// down to 1e-30): the far tails of the interference, thousands of bins of
// which a long pulse builds up, are dropped rather than carried through
// every later step, altogether less than 1e-35.
constexpr double kNegligibleMass = 1e-42;

// The distribution of sum b_k c_k, b_k = +-symbol equally likely, on a grid
// of bins centred on 0: each cursor moves half the mass up and half down,
// split linearly between neighbouring bins. Only the stretch that holds
// mass is visited, so the many small cursors of a long tail cost little;
// the callers add the small cursors first, while the mass is still narrow
// (a search evaluates thousands of eyes). Away from the grid's edges each
// new bin gathers its four sources, a loop that vectorises.
class IsiDistribution {
public:
    IsiDistribution(std::size_t bins, double bin_width)
        : mass_(bins, 0.0), next_(bins, 0.0), width_(bin_width), low_(static_cast<long>(bins / 2)), high_(low_) {
        mass_[bins / 2] = 1.0;  // bins / 2 is 0 V
    }
    void Add(double amplitude) {
        const double shift = std::abs(amplitude) / width_;
        if (shift == 0.0) return;
        const long whole = static_cast<long>(std::floor(shift));
        const double part = shift - static_cast<double>(whole);
        const long n = static_cast<long>(mass_.size());
        const long reach = whole + (part > 0.0 ? 1 : 0);
        const long low = low_ - reach, high = high_ + reach;
        if (low < 0 || high >= n) {
            Scatter(whole, part);
            return;
        }
        const double a = 0.5 * (1.0 - part), b = 0.5 * part;
        const double* m = mass_.data();
        double* out = next_.data();
        const auto stencil = [&](long j, auto source) {
            out[j] = b * source(j - whole - 1) + a * source(j - whole) + a * source(j + whole) +
                     b * source(j + whole + 1);
        };
        // Near the ends some sources lie outside [low_, high_] and hold
        // nothing; in between all lie inside, and the loop needs no test.
        const auto guarded = [&](long i) { return i >= low_ && i <= high_ ? m[i] : 0.0; };
        const auto direct = [&](long i) { return m[i]; };
        const long inner_low = low_ + whole + 1, inner_high = high_ - whole - 1;
        const long left_end = std::min(high, inner_low - 1);
        for (long j = low; j <= left_end; ++j) stencil(j, guarded);
        const long middle_end = std::min(high, inner_high);
        for (long j = std::max(low, inner_low); j <= middle_end; ++j) stencil(j, direct);
        for (long j = std::max(left_end, middle_end) + 1; j <= high; ++j) stencil(j, guarded);
        Swap(low, high);
    }
    const std::vector<double>& mass() const { return mass_; }
    long low() const { return low_; }
    long high() const { return high_; }

private:
    // At the grid's edges: the mass that would fall off stays in the edge
    // bins.
    void Scatter(long whole, double part) {
        const long n = static_cast<long>(mass_.size());
        const long low = std::max<long>(0, low_ - whole - 1), high = std::min(n - 1, high_ + whole + 1);
        std::fill(next_.begin() + low, next_.begin() + high + 1, 0.0);
        for (long i = low_; i <= high_; ++i) {
            const double m = mass_[static_cast<std::size_t>(i)];
            if (m == 0.0) continue;
            Put(i + whole, 0.5 * m * (1.0 - part));
            Put(i + whole + 1, 0.5 * m * part);
            Put(i - whole, 0.5 * m * (1.0 - part));
            Put(i - whole - 1, 0.5 * m * part);
        }
        Swap(low, high);
    }
    // next_ becomes the mass over [low, high]; the old mass is cleared.
    // Bins at either end too light to count are cleared and left out.
    void Swap(long low, long high) {
        std::fill(mass_.begin() + low_, mass_.begin() + high_ + 1, 0.0);
        mass_.swap(next_);
        while (low < high && mass_[static_cast<std::size_t>(low)] < kNegligibleMass)
            mass_[static_cast<std::size_t>(low++)] = 0.0;
        while (high > low && mass_[static_cast<std::size_t>(high)] < kNegligibleMass)
            mass_[static_cast<std::size_t>(high--)] = 0.0;
        low_ = low;
        high_ = high;
    }
    void Put(long index, double m) {
        // The grid spans the worst case, so nothing falls off but rounding.
        index = std::clamp<long>(index, 0, static_cast<long>(next_.size()) - 1);
        next_[static_cast<std::size_t>(index)] += m;
    }
    std::vector<double> mass_, next_;  // next_ holds nothing outside the stretch written next
    double width_;
    long low_, high_;  // the bins that may hold mass
};

// Adds `weight` times `mass` (on the grid centred on 0), moved up by
// `offset` volts, to `to`, split linearly between neighbouring bins. This
// runs for every jitter offset of every phase: away from the grid's edges
// each target bin gathers its two sources, a loop without tests that
// vectorises, unless the mass is sparse (a few large cursors leave most
// bins between their sums empty) and `filled` lists the bins holding it,
// when only those are visited; mass shifted past an edge stays in the edge
// bin.
void AddShifted(std::vector<double>& to, const std::vector<double>& mass, long low, long high, double offset,
                double bin_width, double weight, const std::vector<long>& filled) {
    const double shift = offset / bin_width;
    const long whole = static_cast<long>(std::floor(shift));
    const double part = shift - static_cast<double>(whole);
    const long n = static_cast<long>(to.size());
    const double stay = weight * (1.0 - part), move = weight * part;
    // Target j takes stay * mass[j - whole] + move * mass[j - whole - 1];
    // the mass is nothing outside [low, high].
    if (filled.empty() && low >= 1 && high + 1 < n && low + whole >= 0 && high + whole + 1 < n) {
        double* target = to.data();
        const double* source = mass.data();
        for (long j = low + whole; j <= high + whole + 1; ++j)
            target[j] += stay * source[j - whole] + move * source[j - whole - 1];
        return;
    }
    const auto put = [&](long i) {
        const double m = mass[static_cast<std::size_t>(i)];
        to[static_cast<std::size_t>(std::clamp<long>(i + whole, 0, n - 1))] += stay * m;
        to[static_cast<std::size_t>(std::clamp<long>(i + whole + 1, 0, n - 1))] += move * m;
    };
    if (!filled.empty()) {
        for (long i : filled) put(i);
        return;
    }
    for (long i = low; i <= high; ++i) put(i);
}

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

namespace {

// The cursors of one sampling phase, signed so that a one comes out high:
// the main one, the neighbouring bits' (the next bit's and the previous
// bit's, whose edges bound the sampled bit), and the distribution of all
// the others with each neighbour added back in turn.
struct PhaseIsi {
    double main = 0.0;
    double next = 0.0, previous = 0.0;
    double peak_distortion = 0.0;
    std::vector<double> without_next, without_previous;  // empty when only `full` is needed
    long low = 0, high = 0;
    // The bins holding mass, when they are few in [low, high]; else empty.
    std::vector<long> filled_next, filled_previous;
};

// Which edge of the sampled bit a phase lies nearer, and so which
// neighbour's difference decides whether an edge is there to jitter.
enum class Near { kPrevious, kNext };

// A one's distribution at each phase is a mix over the phase offsets the
// jitter gives: where the near neighbour equals the sampled bit there is
// no edge, and only the receiver's clock moves; where it differs, the edge
// moves too.
struct PhaseMix {
    CellWeights clock;             // the receiver's sampling jitter alone
    CellWeights edge_previous;     // with the previous bit's edge (into the bit)
    CellWeights edge_next;         // with the next bit's edge (out of the bit)
};

// The clock's weights on whole phase steps of `cell` UI (without an edge the
// sampled value changes slowly with the phase), the edges' on sub-phases of
// `sub_cell`.
PhaseMix MixFor(const Impairments& impairments, double fine_step, double cell, double sub_cell, bool rising_into) {
    PhaseMix mix;
    const JitterPdf clock = JitterPdfOf(impairments.rx, fine_step, EdgeSense::kAlternating);
    mix.clock = GatherCells(clock, cell);
    // An edge late by d looks like sampling d early: the edge's jitter
    // enters mirrored.
    const EdgeSense into = rising_into ? EdgeSense::kRising : EdgeSense::kFalling;
    const EdgeSense out = rising_into ? EdgeSense::kFalling : EdgeSense::kRising;
    mix.edge_previous = GatherCells(Convolve(clock, JitterPdfOf(impairments.tx, fine_step, into, true)), sub_cell);
    mix.edge_next = GatherCells(Convolve(clock, JitterPdfOf(impairments.tx, fine_step, out, true)), sub_cell);
    return mix;
}

// The phases: every sample, thinned to 32 a unit interval for long pulses,
// since a few dozen resolve any eye and more only cost. With jitter
// kJitterPhases whatever the samples per bit, between samples too: the
// jitter's offsets fall on sub-phases of these (kSubPhases to a phase), and
// a coarse grid would round an edge's displacement by up to half a sample.
struct PhaseGrid {
    double step = 1.0;  // samples
    long half = 0;      // phases in one unit interval
};
constexpr long kMostPhases = 32;
constexpr long kJitterPhases = 64;
constexpr long kSubPhases = 4;

PhaseGrid ChoosePhaseGrid(long per_bit, bool jitter) {
    if (jitter) return {static_cast<double>(per_bit) / static_cast<double>(kJitterPhases), kJitterPhases};
    if (per_bit <= kMostPhases) return {1.0, per_bit};
    // A whole unit interval either way, between samples where 32 does not
    // divide the samples per bit.
    return {static_cast<double>(per_bit) / static_cast<double>(kMostPhases), kMostPhases};
}

long Reach(const CellWeights& cells) {
    return std::max(std::abs(cells.first), std::abs(cells.first + static_cast<long>(cells.weights.size()) - 1));
}

}  // namespace

StatisticalEye ComputeStatisticalEye(const std::vector<double>& pulse, const StatEyeSettings& settings) {
    if (settings.samples_per_bit < 2) throw std::invalid_argument("at least two samples per bit");
    if (!(settings.ber > 0.0 && settings.ber < 0.5)) throw std::invalid_argument("a BER between 0 and 0.5");
    const Impairments& impairments = settings.impairments;
    const PulseCursors cursors = FindCursors(pulse, settings.samples_per_bit);
    const long per_bit = settings.samples_per_bit;
    const long main = static_cast<long>(cursors.main_index);
    const long length = static_cast<long>(pulse.size());

    StatisticalEye eye;
    eye.samples_per_bit = settings.samples_per_bit;
    eye.ber = settings.ber;
    eye.sensitivity = impairments.sensitivity;
    const bool jitter = impairments.HasTxJitter() || impairments.HasRxJitter();
    const PhaseGrid grid = ChoosePhaseGrid(per_bit, jitter);
    const double step = grid.step;
    const long half = grid.half;
    eye.phase_step = step;
    eye.phases = static_cast<std::size_t>(2 * half + 1);
    eye.contour_bers = {1e-3, 1e-6, 1e-9};
    if (settings.ber < 1e-9) eye.contour_bers.push_back(settings.ber);
    const std::size_t contours = eye.contour_bers.size();
    eye.contour_upper.assign(contours, std::vector<double>(eye.phases));
    eye.contour_lower.assign(contours, std::vector<double>(eye.phases));

    // The jitter as weights on sub-phases, kSubPhases to a phase step:
    // computed on a grid 4 times finer still and gathered. A jitter offset
    // takes the interference of the other bits from the nearest phase, but
    // the main cursor and the neighbour whose edge it moves at its own
    // sub-phase: an edge then lands within a sub-phase of where the jitter
    // puts it, whereas a whole phase step (comparable to a small Rj) would
    // blur the steep tails the eye is read from.
    const double cell = step / static_cast<double>(per_bit);  // UI
    const double sub_cell = cell / static_cast<double>(kSubPhases);
    const double fine = sub_cell / 4.0;
    const bool duty_cycle = std::any_of(impairments.tx.begin(), impairments.tx.end(), [](const JitterComponent& c) {
        return c.kind == JitterComponent::Kind::kDutyCycle;
    });
    const PhaseMix ones_mix = jitter ? MixFor(impairments, fine, cell, sub_cell, true) : PhaseMix{};
    // A zero is a one upside down whose edges run the other way; only a
    // duty-cycle distortion tells them apart.
    const bool distinct_zeros = jitter && duty_cycle;
    const PhaseMix zeros_mix = distinct_zeros ? MixFor(impairments, fine, cell, sub_cell, false) : PhaseMix{};
    // Offsets beyond a unit interval fall on the last phase computed.
    const long sub_reach =
        std::max({Reach(ones_mix.clock) * kSubPhases, Reach(ones_mix.edge_previous), Reach(ones_mix.edge_next),
                  distinct_zeros ? Reach(zeros_mix.edge_previous) : 0, distinct_zeros ? Reach(zeros_mix.edge_next) : 0});
    const long extra = jitter ? std::min(half, (sub_reach + kSubPhases - 1) / kSubPhases + 1) : 0;
    const long extended = static_cast<long>(eye.phases) + 2 * extra;

    // Which edge of the bit a phase lies nearer: measured from the middle of
    // the pulse's main lobe (at half its peak), since a flat pulse peaks at
    // its first sample.
    long lobe_start = main, lobe_end = main;
    const double half_peak = 0.5 * std::abs(cursors.main);
    while (lobe_start > 0 && std::abs(pulse[static_cast<std::size_t>(lobe_start - 1)]) >= half_peak) --lobe_start;
    while (lobe_end + 1 < length && std::abs(pulse[static_cast<std::size_t>(lobe_end + 1)]) >= half_peak) ++lobe_end;
    const double lobe_centre = 0.5 * static_cast<double>(lobe_start + lobe_end);

    // The pulse at a position between samples, interpolated linearly, as
    // the time-domain eye places its crossings; nothing beyond its ends.
    const auto sample = [&](long n) { return n >= 0 && n < length ? pulse[static_cast<std::size_t>(n)] : 0.0; };
    const auto pulse_at = [&](double position) {
        const double below = std::floor(position);
        const long n = static_cast<long>(below);
        const double part = position - below;
        return part == 0.0 ? sample(n) : (1.0 - part) * sample(n) + part * sample(n + 1);
    };
    // The cursors of every phase, the jitter's reach included.
    std::vector<PhaseIsi> phases(static_cast<std::size_t>(extended));
    std::vector<std::vector<double>> rest(static_cast<std::size_t>(extended));
    double reach = 0.0;
    for (long e = 0; e < extended; ++e) {
        PhaseIsi& phase = phases[static_cast<std::size_t>(e)];
        const double at = static_cast<double>(main) + static_cast<double>(e - extra - half) * step;
        // The pulse between samples `base` and `base + 1`, `part` of the way.
        const double floor_at = std::floor(at);
        const long base = static_cast<long>(floor_at);
        const double part = at - floor_at;
        double total = 0.0;
        // From the first cursor whose interpolation reaches into the pulse.
        for (long n = ((base % per_bit) + per_bit) % per_bit - per_bit; n < length; n += per_bit) {
            const double value = part == 0.0 ? sample(n) : (1.0 - part) * sample(n) + part * sample(n + 1);
            const double c = cursors.sign * value * settings.symbol;
            if (n == base) phase.main = c;
            else if (n == base - per_bit) phase.next = c;
            else if (n == base + per_bit) phase.previous = c;
            else rest[static_cast<std::size_t>(e)].push_back(c);
            if (n != base) phase.peak_distortion += std::abs(c);
            total += std::abs(c);
        }
        reach = std::max(reach, total);
    }
    // Crosstalk adds to every phase's reach and peak distortion alike.
    double crosstalk_reach = 0.0;
    for (double c : settings.crosstalk_cursors) crosstalk_reach += std::abs(c) * settings.symbol;
    reach += crosstalk_reach;
    for (PhaseIsi& phase : phases) phase.peak_distortion += crosstalk_reach;
    // Room for every sum and the noise's tails, and a little more for the
    // split at the edges.
    const double noise_reach = impairments.NoiseReach(kGaussianReach);
    const double half_span = std::max(reach * 1.02 + noise_reach * 1.02, 1e-12);
    const std::size_t bins = settings.bins | 1;  // odd: a bin centred on 0 V
    const double width = 2.0 * half_span / static_cast<double>(bins);
    eye.bins = bins;
    eye.v_low = -half_span;
    eye.v_high = half_span;
    eye.density.assign(eye.phases * bins, 0.0);
    eye.upper.resize(eye.phases);
    eye.lower.resize(eye.phases);
    eye.bathtub.resize(eye.phases);

    std::vector<double> crosstalk;
    for (double c : settings.crosstalk_cursors) crosstalk.push_back(c * settings.symbol);
    for (long e = 0; e < extended; ++e) {
        PhaseIsi& phase = phases[static_cast<std::size_t>(e)];
        IsiDistribution others(bins, width);
        // Smallest first: the distribution stays narrow, and each cursor
        // costs its width, until the few large cursors come.
        std::vector<double>& cursors_here = rest[static_cast<std::size_t>(e)];
        // Crosstalk's cursors are the same at every phase.
        cursors_here.insert(cursors_here.end(), crosstalk.begin(), crosstalk.end());
        std::sort(cursors_here.begin(), cursors_here.end(),
                  [](double a, double b) { return std::abs(a) < std::abs(b); });
        for (double c : cursors_here) others.Add(c);
        rest[static_cast<std::size_t>(e)] = {};
        IsiDistribution with_previous = others;
        with_previous.Add(phase.previous);
        phase.without_next = with_previous.mass();
        phase.low = with_previous.low();
        phase.high = with_previous.high();
        if (jitter) {
            others.Add(phase.next);
            phase.without_previous = others.mass();
            phase.low = std::min(phase.low, others.low());
            phase.high = std::max(phase.high, others.high());
        }
        const auto filled = [&](const std::vector<double>& mass) {
            std::vector<long> bins_filled;
            if (mass.empty()) return bins_filled;
            for (long i = phase.low; i <= phase.high; ++i)
                if (mass[static_cast<std::size_t>(i)] != 0.0) bins_filled.push_back(i);
            if (4 * static_cast<long>(bins_filled.size()) >= phase.high - phase.low + 1) bins_filled.clear();
            return bins_filled;
        };
        phase.filled_next = filled(phase.without_next);
        phase.filled_previous = filled(phase.without_previous);
    }

    // The main cursor and both neighbours at every sub-phase, for the
    // jitter's offsets.
    struct EdgeCursors {
        double main = 0.0, next = 0.0, previous = 0.0;
    };
    std::vector<EdgeCursors> sub_phases;
    if (jitter) {
        sub_phases.resize(static_cast<std::size_t>(extended * kSubPhases));
        const double sub_step = step / static_cast<double>(kSubPhases);
        for (std::size_t q = 0; q < sub_phases.size(); ++q) {
            const double at = static_cast<double>(main) +
                              (static_cast<double>(q) - static_cast<double>((extra + half) * kSubPhases)) * sub_step;
            const double scale = cursors.sign * settings.symbol;
            sub_phases[q] = {scale * pulse_at(at), scale * pulse_at(at - static_cast<double>(per_bit)),
                             scale * pulse_at(at + static_cast<double>(per_bit))};
        }
    }

    std::size_t noise_centre = 0;
    const std::vector<double> noise = impairments.HasNoise()
                                          ? NoiseKernel(impairments.noise_sigma, impairments.noise_uniform, width, noise_centre,
                                                        impairments.noise_parts)
                                          : std::vector<double>{};
    // The zeros are taken mirrored, so their noise is the noise's mirror
    // image; a Gaussian and a uniform are their own, a mean or a table not.
    const bool lopsided_noise = !impairments.noise_parts.empty();
    const std::vector<double> mirrored_noise(noise.rbegin(), noise.rend());
    // A one's distribution at display phase p, mixed over the jitter.
    const auto ones_at = [&](std::size_t p, const PhaseMix& mix, bool mirrored = false) {
        std::vector<double> out(bins, 0.0);
        const long centre = static_cast<long>(p) + extra;
        const double at = static_cast<double>(main) + static_cast<double>(static_cast<long>(p) - half) * step;
        const Near near = at >= lobe_centre ? Near::kNext : Near::kPrevious;
        const bool next = near == Near::kNext || !jitter;
        if (!jitter) {
            const PhaseIsi& phase = phases[static_cast<std::size_t>(centre)];
            AddShifted(out, phase.without_next, phase.low, phase.high, phase.main + phase.next, width, 0.5,
                       phase.filled_next);
            AddShifted(out, phase.without_next, phase.low, phase.high, phase.main - phase.next, width, 0.5,
                       phase.filled_next);
        } else {
            // Sub-phase `offset` from this phase: the nearest phase's
            // interference, the main cursor and the neighbour from the
            // sub-phase itself.
            const long last = static_cast<long>(sub_phases.size()) - 1;
            const auto locate = [&](long offset) { return std::clamp<long>(centre * kSubPhases + offset, 0, last); };
            const auto phase_of = [&](long q) { return std::min<long>((q + kSubPhases / 2) / kSubPhases, extended - 1); };
            const auto level_at = [&](long q, bool edge) {
                const EdgeCursors& here = sub_phases[static_cast<std::size_t>(q)];
                const double neighbour = next ? here.next : here.previous;
                return here.main + (edge ? -neighbour : neighbour);
            };
            const auto add = [&](long e, double level, double weight) {
                const PhaseIsi& phase = phases[static_cast<std::size_t>(e)];
                const std::vector<double>& mass = next ? phase.without_next : phase.without_previous;
                AddShifted(out, mass, phase.low, phase.high, level, width, weight,
                           next ? phase.filled_next : phase.filled_previous);
            };
            for (std::size_t k = 0; k < mix.clock.weights.size(); ++k) {
                const long q = locate((mix.clock.first + static_cast<long>(k)) * kSubPhases);
                add(phase_of(q), level_at(q, false), 0.5 * mix.clock.weights[k]);
            }
            // The sub-phases of one phase whose levels lie within a bin of
            // each other go in as one, at their mean level: most of them,
            // away from the edge itself.
            const CellWeights& edge = near == Near::kNext ? mix.edge_next : mix.edge_previous;
            for (std::size_t k = 0; k < edge.weights.size();) {
                const long e = phase_of(locate(edge.first + static_cast<long>(k)));
                std::size_t end = k;
                double total = 0.0, moment = 0.0, lowest = 0.0, highest = 0.0;
                for (; end < edge.weights.size() && phase_of(locate(edge.first + static_cast<long>(end))) == e; ++end) {
                    const double level = level_at(locate(edge.first + static_cast<long>(end)), true);
                    lowest = end == k ? level : std::min(lowest, level);
                    highest = end == k ? level : std::max(highest, level);
                    total += edge.weights[end];
                    moment += edge.weights[end] * level;
                }
                if (highest - lowest < width) {
                    if (total > 0.0) add(e, moment / total, 0.5 * total);
                } else {
                    for (std::size_t j = k; j < end; ++j)
                        add(e, level_at(locate(edge.first + static_cast<long>(j)), true), 0.5 * edge.weights[j]);
                }
                k = end;
            }
        }
        if (noise.empty()) return out;
        const std::vector<double>& spread = mirrored ? mirrored_noise : noise;
        const long spread_centre = static_cast<long>(mirrored ? noise.size() - 1 - noise_centre : noise_centre);
        std::vector<double> noisy(bins, 0.0);
        const long n = static_cast<long>(bins);
        for (long i = 0; i < n; ++i) {
            const double m = out[static_cast<std::size_t>(i)];
            if (m < kNegligibleMass) continue;
            const long from = std::max<long>(0, i - spread_centre);
            const long to = std::min<long>(n - 1, i - spread_centre + static_cast<long>(spread.size()) - 1);
            const double* kernel = spread.data() + (from - i + spread_centre);
            double* target = noisy.data() + from;
            for (long j = 0; j <= to - from; ++j) target[j] += m * kernel[j];
        }
        return noisy;
    };

    const double s = impairments.sensitivity;
    std::vector<double> worst(eye.phases), mains(eye.phases);
    std::vector<std::vector<double>> best_ones, best_zeros;  // kept for the vertical bathtub
    std::vector<double> heights(eye.phases);
    for (std::size_t p = 0; p < eye.phases; ++p) {
        const std::vector<double> ones = ones_at(p, ones_mix);
        // The zeros' distribution mirrored: P(zero > v) = P(mirrored < -v).
        const std::vector<double> zeros = distinct_zeros || lopsided_noise
                                              ? ones_at(p, distinct_zeros ? zeros_mix : ones_mix, lopsided_noise)
                                              : ones;
        const PhaseIsi& phase = phases[p + static_cast<std::size_t>(extra)];
        mains[p] = phase.main;
        worst[p] = 2.0 * (phase.main - phase.peak_distortion);
        // A one must clear the threshold by the sensitivity, a zero too.
        eye.upper[p] = LowerQuantile(ones, width, settings.ber) - s;
        eye.lower[p] = -LowerQuantile(zeros, width, settings.ber) + s;
        for (std::size_t c = 0; c < contours; ++c) {
            eye.contour_upper[c][p] = LowerQuantile(ones, width, eye.contour_bers[c]) - s;
            eye.contour_lower[c][p] = -LowerQuantile(zeros, width, eye.contour_bers[c]) + s;
        }
        eye.bathtub[p] = std::min(0.5, 0.5 * (Below(ones, width, s) + Below(zeros, width, s)));
        double* column = eye.density.data() + p * bins;
        for (std::size_t i = 0; i < bins; ++i) column[i] = 0.5 * (ones[i] + zeros[bins - 1 - i]);
        heights[p] = eye.upper[p] - eye.lower[p];
        if (best_ones.empty() || heights[p] > heights[static_cast<std::size_t>(eye.best_phase)]) {
            eye.best_phase = static_cast<int>(p);
            best_ones = {ones};
            best_zeros = {zeros};
        }
    }

    std::vector<double> margin(eye.phases);
    for (std::size_t p = 0; p < eye.phases; ++p) {
        // Positive where the BER at the threshold meets the target, in
        // decades, held within as many decades either way of the target as
        // lie between it and 0.5 (the most a threshold can err): a BER that
        // drops from 0.5 to nothing between two phases then crosses in the
        // middle of where the drop can lie, and one that drops from less
        // than 0.5 nearer the open side. (Held at 0 V instead, an ideal
        // channel's eye came out wider than a unit interval.)
        const double target = std::log10(settings.ber);
        const double ceiling = std::log10(0.5);
        margin[p] = target - std::clamp(std::log10(std::max(eye.bathtub[p], 1e-300)), 2.0 * target - ceiling, ceiling);
    }
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

    // The vertical bathtub at the best phase: the BER of a threshold at v,
    // every few bins.
    if (!best_ones.empty()) {
        const std::vector<double>& ones = best_ones.front();
        const std::vector<double>& zeros = best_zeros.front();
        std::vector<double> ones_below(bins + 1, 0.0), zeros_below(bins + 1, 0.0);
        for (std::size_t i = 0; i < bins; ++i) {
            ones_below[i + 1] = ones_below[i] + ones[i];
            zeros_below[i + 1] = zeros_below[i] + zeros[i];
        }
        const auto below = [&](const std::vector<double>& cumulative, double v) {
            const double position = std::clamp(v / width + static_cast<double>(bins / 2) + 0.5, 0.0, static_cast<double>(bins));
            const std::size_t i = std::min(static_cast<std::size_t>(position), bins - 1);
            return cumulative[i] + (cumulative[i + 1] - cumulative[i]) * (position - static_cast<double>(i));
        };
        const std::size_t points = 401;
        for (std::size_t k = 0; k < points; ++k) {
            const double v = eye.v_low + (eye.v_high - eye.v_low) * static_cast<double>(k) / (points - 1);
            const double ber = 0.5 * (below(ones_below, v + s) + below(zeros_below, -v + s));
            eye.vertical_volts.push_back(v);
            eye.vertical_ber.push_back(std::min(ber, 1.0));
        }
    }
    return eye;
}

}  // namespace amisim
