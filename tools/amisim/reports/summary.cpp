#include "tools/amisim/reports/summary.h"

#include <cstdarg>
#include <cstdio>

namespace amisim {

namespace {

__attribute__((format(printf, 1, 2))) std::string Printf(const char* format, ...) {
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    return text;
}

std::string Line(const char* label, const std::string& value) {
    return Printf("  %-13s %s\n", label, value.c_str());
}

const char* Closed(double value) { return value <= 0.0 ? " (closed)" : ""; }

}  // namespace

double CentreHeight(const EyeMetrics& eye, const std::optional<ClockEye>& clock) {
    if (clock && clock->measured > 0) return clock->Height();
    return eye.centre_height;
}

std::string FormatSummary(const EyeMetrics& eye, const RunFigures& run) {
    std::string out = Printf("%s over %zu bits (the first %zu skipped: %s):\n",
                             run.link ? "Time-domain eye" : "Eye", eye.bits_measured, run.skip_bits,
                             run.skip_reason.c_str());
    std::string height = Printf("%.4f V%s", eye.eye_height, Closed(eye.eye_height));
    if (run.clock && run.clock->measured > 0)
        height += Printf(" at the best phase; %.4f V at the Rx clock times (%zu ticks)", run.clock->Height(),
                         run.clock->ticks);
    else if (run.link || eye.centre_phase != eye.best_phase)
        height += Printf(" at the best phase; %.4f V at the centre", eye.centre_height);
    out += Line("eye height", height);
    out += Line("eye width", Printf("%.3f UI at 0 V%s", eye.eye_width, Closed(eye.eye_width)));
    if (run.crossing && run.crossing->crossings > 0)
        out += Line("jitter", Printf("%.4f UI rms, %.4f UI peak to peak at 0 V (%zu crossings)", run.crossing->rms_ui,
                                     run.crossing->peak_to_peak_ui, run.crossing->crossings));
    out += Line("upper level", Printf("%+.4f V", eye.upper_level));
    out += Line("lower level", Printf("%+.4f V", eye.lower_level));
    const long delay = eye.latency + eye.best_phase;
    out += Line("sampling", Printf("%.3f UI after a bit enters (%ld samples)",
                                   static_cast<double>(delay) / run.samples_per_bit, delay));
    if (eye.inverted) out += Line("polarity", "inverted: ones come out low");
    const double rate = run.get_wave_seconds > 0.0
                            ? static_cast<double>(run.samples) / run.get_wave_seconds
                            : 0.0;
    if (run.get_wave_calls == 0)
        out += Line("throughput", "no Tx AMI_GetWave: the transmitter is reached through its AMI_Init");
    else
        out += Line("throughput", Printf("%.3g samples/s (%zu samples in %.2f ms, %zu AMI_GetWave calls)",
                                         rate, run.samples, run.get_wave_seconds * 1e3, run.get_wave_calls));
    if (run.link)
        out += Line("stage times", Printf("Tx %.2f ms, channel %.2f ms, Rx %.2f ms", run.get_wave_seconds * 1e3,
                                          run.channel_seconds * 1e3, run.rx_seconds * 1e3));
    return out;
}

std::string FormatStatisticalSummary(const StatisticalEye& eye, const std::vector<double>& pulse,
                                     int samples_per_bit) {
    std::string out = Printf("Statistical eye at BER %.0e (%zu-sample pulse response):\n", eye.ber, pulse.size());
    out += Line("eye height", Printf("%.4f V at the centre%s; %.4f V at the best phase", eye.eye_height,
                                     Closed(eye.eye_height), eye.eye_height_best));
    out += Line("eye width", Printf("%.3f UI at 0 V%s", eye.eye_width, Closed(eye.eye_width)));
    out += Line("worst case", Printf("%.4f V eye height by peak distortion", eye.worst_case_height));
    const PulseCursors cursors = FindCursors(pulse, samples_per_bit);
    std::string taps = Printf("main %.4f V", cursors.main);
    for (std::size_t k = 0; k < 2 && k < cursors.pre.size(); ++k) taps += Printf(", pre%zu %+.4f", k + 1, cursors.pre[k]);
    for (std::size_t k = 0; k < 3 && k < cursors.post.size(); ++k)
        taps += Printf(", post%zu %+.4f", k + 1, cursors.post[k]);
    out += Line("cursors", taps + " (unit pulse)");
    out += Line("levels", Printf("%+.4f / %+.4f V at the best phase", eye.main_cursor, -eye.main_cursor));
    const double centre_ber = eye.bathtub[static_cast<std::size_t>(eye.centre_phase)];
    out += Line("BER at 0 V", Printf("%.2e at the centre", centre_ber));
    return out;
}

}  // namespace amisim
