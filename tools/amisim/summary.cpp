#include "tools/amisim/summary.h"

#include <cstdarg>
#include <cstdio>

namespace amisim {

namespace {

__attribute__((format(printf, 1, 2))) std::string Printf(const char* format, ...) {
    char text[256];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    return text;
}

std::string Line(const char* label, const std::string& value) {
    return Printf("  %-13s %s\n", label, value.c_str());
}

}  // namespace

std::string FormatSummary(const EyeMetrics& eye, const RunFigures& run) {
    std::string out = Printf("Eye over %zu bits (the first %zu skipped: %s):\n", eye.bits_measured,
                             run.skip_bits, run.skip_reason.c_str());
    out += Line("eye height", Printf("%.4f V%s", eye.eye_height,
                                     eye.eye_height <= 0.0 ? " (closed)" : ""));
    out += Line("eye width", Printf("%.3f UI at 0 V%s", eye.eye_width,
                                    eye.eye_width <= 0.0 ? " (closed)" : ""));
    out += Line("upper level", Printf("%+.4f V", eye.upper_level));
    out += Line("lower level", Printf("%+.4f V", eye.lower_level));
    const long delay = eye.latency + eye.best_phase;
    out += Line("sampling", Printf("%.3f UI after a bit enters (%ld samples)",
                                   static_cast<double>(delay) / run.samples_per_bit, delay));
    if (eye.inverted) out += Line("polarity", "inverted: ones come out low");
    const double rate = run.get_wave_seconds > 0.0
                            ? static_cast<double>(run.samples) / run.get_wave_seconds
                            : 0.0;
    out += Line("throughput", Printf("%.3g samples/s (%zu samples in %.2f ms, %zu AMI_GetWave calls)",
                                     rate, run.samples, run.get_wave_seconds * 1e3,
                                     run.get_wave_calls));
    return out;
}

}  // namespace amisim
