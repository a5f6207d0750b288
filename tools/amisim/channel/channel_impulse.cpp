#include "tools/amisim/channel/channel_impulse.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numbers>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/channel/fftw_planner.h"

namespace amisim {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
// Taps below this share of the peak are taken as nothing at either end.
constexpr double kNegligibleTap = 1e-6;
// How many periods of the taper's width a band-limited response may rise
// ahead of its delay.
constexpr double kTaperSpreads = 4.0;

std::size_t NextPowerOfTwo(std::size_t n) {
    std::size_t p = 1;
    while (p < n) p <<= 1;
    return p;
}

// Magnitude and continuous phase, which interpolate far better than real
// and imaginary parts where a long delay turns the phase quickly.
struct Polar {
    std::vector<double> magnitude;
    std::vector<double> phase;
    double dc_phase = 0.0;  // 0, or pi for a channel that inverts
};

Polar Unwrap(const FrequencyResponse& response) {
    Polar polar;
    const std::size_t n = response.values.size();
    polar.magnitude.resize(n);
    polar.phase.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        polar.magnitude[i] = std::abs(response.values[i]);
        polar.phase[i] = std::arg(response.values[i]);
        if (i > 0) {
            double step = polar.phase[i] - polar.phase[i - 1];
            step -= kTwoPi * std::round(step / kTwoPi);
            polar.phase[i] = polar.phase[i - 1] + step;
        }
    }
    // A real impulse has a real DC value: the phase line through the first
    // points is moved by whole turns so that it meets 0 or pi at DC.
    if (n >= 2 && response.frequencies[0] > 0.0) {
        const double f0 = response.frequencies[0], f1 = response.frequencies[1];
        const double slope = (polar.phase[1] - polar.phase[0]) / (f1 - f0);
        const double at_dc = polar.phase[0] - slope * f0;
        const double turns = std::round(at_dc / kTwoPi);
        for (double& p : polar.phase) p -= turns * kTwoPi;
        polar.dc_phase = std::abs(at_dc - turns * kTwoPi) > std::numbers::pi / 2 ? std::copysign(std::numbers::pi, at_dc - turns * kTwoPi) : 0.0;
    }
    return polar;
}

struct FftwDeleter {
    void operator()(void* p) const { fftw_free(p); }
};

}  // namespace

std::vector<double> TrimTail(std::vector<double> taps) {
    double peak = 0.0;
    for (double t : taps) peak = std::max(peak, std::abs(t));
    std::size_t keep = taps.size();
    while (keep > 1 && std::abs(taps[keep - 1]) <= kNegligibleTap * peak) --keep;
    taps.resize(keep);
    return taps;
}

ImpulseConversion ImpulseFromResponse(const FrequencyResponse& response, double sample_interval,
                                      const std::string& source, double record_seconds) {
    const std::vector<double>& f = response.frequencies;
    if (f.size() < 2) throw UsageError(source + ": fewer than two frequency points");
    const double nyquist = 0.5 / sample_interval;
    if (record_seconds <= 0.0) {
        // The data's coarsest spacing sets how long an impulse they describe.
        double spacing = 0.0;
        for (std::size_t i = 1; i < f.size(); ++i) spacing = std::max(spacing, f[i] - f[i - 1]);
        record_seconds = 1.0 / spacing;
    }
    const double wanted = record_seconds / sample_interval;
    if (!(wanted < static_cast<double>(kMaxChannelSamples)))
        throw UsageError(source + ": the channel's impulse spans " + std::to_string(record_seconds * 1e9) +
                         " ns, " + std::to_string(static_cast<long long>(wanted)) +
                         " samples, more than the " + std::to_string(kMaxChannelSamples) +
                         " amisim holds in memory");
    const std::size_t size = std::max<std::size_t>(NextPowerOfTwo(static_cast<std::size_t>(std::ceil(wanted))), 256);
    const std::size_t bins = size / 2 + 1;
    const double grid = 1.0 / (static_cast<double>(size) * sample_interval);

    ImpulseConversion result;
    const Polar polar = Unwrap(response);
    const double top = std::min(f.back(), nyquist);
    result.top_frequency = top;
    if (f.back() < 0.5 * nyquist) {
        char text[200];
        std::snprintf(text, sizeof text,
                      "the data end at %.4g GHz, below the %.4g GHz half the sample rate; the response "
                      "above is taken as zero",
                      f.back() / 1e9, nyquist / 1e9);
        result.warnings.push_back(source + ": " + text);
    }
    double worst_gain = 0.0, worst_frequency = 0.0;
    for (std::size_t i = 0; i < f.size(); ++i)
        if (polar.magnitude[i] > worst_gain) {
            worst_gain = polar.magnitude[i];
            worst_frequency = f[i];
        }
    if (worst_gain > 1.0 + 1e-6) {
        char text[160];
        std::snprintf(text, sizeof text, "not passive: the through gain reaches %.4f (%+.2f dB) at %.4g GHz",
                      worst_gain, 20.0 * std::log10(worst_gain), worst_frequency / 1e9);
        result.warnings.push_back(source + ": " + text);
    }

    std::unique_ptr<fftw_complex, FftwDeleter> spectrum(
        static_cast<fftw_complex*>(fftw_malloc(sizeof(fftw_complex) * bins)));
    std::unique_ptr<double, FftwDeleter> impulse(static_cast<double*>(fftw_malloc(sizeof(double) * size)));
    if (!spectrum || !impulse) throw std::bad_alloc();

    // A raised-cosine taper over the top fifth of the band keeps the cut at
    // the top from ringing through the whole impulse.
    const double taper_start = 0.8 * top;
    std::size_t at = 0;  // the data interval holding the grid frequency
    for (std::size_t k = 0; k < bins; ++k) {
        const double fk = static_cast<double>(k) * grid;
        double magnitude = 0.0, phase = 0.0;
        if (fk <= top) {
            if (fk <= f.front()) {
                // Below the first point: the magnitude held, the phase on
                // the line to its DC value.
                magnitude = polar.magnitude.front();
                phase = f.front() > 0.0
                            ? polar.dc_phase + (polar.phase.front() - polar.dc_phase) * fk / f.front()
                            : polar.phase.front();
            } else {
                while (at + 2 < f.size() && f[at + 1] < fk) ++at;
                const double t = (fk - f[at]) / (f[at + 1] - f[at]);
                magnitude = polar.magnitude[at] + t * (polar.magnitude[at + 1] - polar.magnitude[at]);
                phase = polar.phase[at] + t * (polar.phase[at + 1] - polar.phase[at]);
            }
            if (fk > taper_start && top > taper_start)
                magnitude *= 0.5 * (1.0 + std::cos(std::numbers::pi * (fk - taper_start) / (top - taper_start)));
        }
        spectrum.get()[k][0] = magnitude * std::cos(phase);
        spectrum.get()[k][1] = k == 0 || k == bins - 1 ? 0.0 : magnitude * std::sin(phase);
    }
    fftw_plan plan = nullptr;
    {
        const std::lock_guard<std::mutex> planner(FftwPlannerMutex());
        plan = fftw_plan_dft_c2r_1d(static_cast<int>(size), spectrum.get(), impulse.get(), FFTW_ESTIMATE);
    }
    fftw_execute(plan);
    {
        const std::lock_guard<std::mutex> planner(FftwPlannerMutex());
        fftw_destroy_plan(plan);
    }

    std::vector<double> taps(impulse.get(), impulse.get() + size);
    for (double& t : taps) t /= static_cast<double>(size);
    // The last eighth of the record is time before 0, where the circular
    // transform puts whatever response comes ahead of the stimulus.
    const std::size_t ahead = size / 8;
    // A band-limited response spreads a few periods of the taper's width
    // either side of its delay, so a network with little or no delay (an
    // attenuator, a short through) rises before t = 0. That lead is part of
    // its response: the impulse keeps it and comes that much later, so its
    // DC gain stays the data's. What lies further ahead is acausal data.
    const std::size_t window = std::min<std::size_t>(
        ahead, top > taper_start ? static_cast<std::size_t>(std::ceil(kTaperSpreads / ((top - taper_start) * sample_interval)))
                                 : 0);
    double peak = 0.0;
    for (double t : taps) peak = std::max(peak, std::abs(t));
    std::size_t lead = window;
    while (lead > 0 && std::abs(taps[size - lead]) <= kNegligibleTap * peak) --lead;
    double total = 0.0, early = 0.0;
    for (std::size_t n = 0; n < size; ++n) {
        total += taps[n] * taps[n];
        if (n >= size - ahead && n < size - lead) early += taps[n] * taps[n];
    }
    result.acausal_energy = total > 0.0 ? early / total : 0.0;
    if (result.acausal_energy > 0.5)
        throw UsageError(source + ": non-causal data: " + std::to_string(static_cast<int>(result.acausal_energy * 100)) +
                         "% of the impulse's energy comes before the stimulus");
    if (result.acausal_energy > 1e-3) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "not causal: %.2g%% of the impulse's energy comes before the stimulus; it is left out",
                      result.acausal_energy * 100);
        result.warnings.push_back(source + ": " + text);
    }
    std::rotate(taps.begin(), taps.end() - static_cast<std::ptrdiff_t>(lead), taps.end());
    taps.resize(size - ahead + lead);
    result.lead_samples = lead;
    result.taps = TrimTail(std::move(taps));
    return result;
}

}  // namespace amisim
