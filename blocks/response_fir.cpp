#include "blocks/response_fir.h"

#include <new>
#include <sstream>
#include <string>
#include <utility>

namespace Vantrel {

namespace {

constexpr std::int32_t kImpulseResponse = 0;
constexpr std::int32_t kStepResponse = 1;

// Value at t of the cubic through (x[0], y[0]) ... (x[3], y[3]), in Lagrange
// form. Each basis polynomial is a product of three ratios
// (t - x[k]) / (x[j] - x[k]); the differences of nearby stamps are exact or
// nearly so, every ratio carries one rounding, and the form cannot overflow
// or underflow for stamps of any scale. The result is the interpolating cubic
// itself, which is also the cubic spline through four points with the
// third-derivative end conditions.
double CubicThrough(const double* x, const double* y, double t) {
    double value = 0.0;
    for (int j = 0; j < 4; ++j) {
        double basis = 1.0;
        for (int k = 0; k < 4; ++k) {
            if (k != j) basis *= (t - x[k]) / (x[j] - x[k]);
        }
        value += y[j] * basis;
    }
    return value;
}

// Derivative at t of the quadratic through (x[0], y[0]) ... (x[2], y[2]).
double QuadraticSlope(const double* x, const double* y, double t) {
    return y[0] * (2.0 * t - x[1] - x[2]) / ((x[0] - x[2]) * (x[0] - x[1])) +
           y[1] * (2.0 * t - x[0] - x[2]) / ((x[1] - x[2]) * (x[1] - x[0])) +
           y[2] * (2.0 * t - x[0] - x[1]) / ((x[2] - x[1]) * (x[2] - x[0]));
}

}  // namespace

TimeResponseFIR::~TimeResponseFIR() = default;

bool TimeResponseFIR::Setup() {
    const std::int32_t n = NumberOfResponseValues;
    bool tooFew = false;
    if (n < 4) {
        if (ResponseType == kImpulseResponse) {
            ReportError(this, "At least 4 response coefficients are required for input impulse response");
            tooFew = true;
        } else if (ResponseType == kStepResponse) {
            ReportError(this, "At least 4 response coefficients are required for input step response");
            tooFew = true;
        }
    }
    if (ResponseType != kImpulseResponse && ResponseType != kStepResponse) {
        ReportError(this, "Inavlid ResponseType is specified, it can be either Impulse Response or Step Response");
        return false;
    }
    if (tooFew) return false;
    if (NumberOfTimeStamps != n) {
        ReportError(this, "Number of coefficients in response must be same as the number of values in time stamps");
        return false;
    }
    if (!(SampleRate > 0.0)) {
        ReportError(this, "SampleRate must be > 0.0");
        return false;
    }
    if (!ShiftTimeStamps()) return false;

    // One tap per sample period over the span of the stamps. A span that
    // would need more taps than a 32-bit count holds cannot be converted.
    const double lastSample = ResponseTimeStamps[n - 1] * SampleRate;
    if (!(lastSample < 2147483647.0)) {
        ReportError(this, "The response spans too many samples at this SampleRate");
        return false;
    }
    const std::int32_t count = static_cast<std::int32_t>(lastSample) + 1;
    std::unique_ptr<double[]> taps(new (std::nothrow) double[static_cast<std::size_t>(count)]);
    if (!taps) {
        ReportError(this, "Not enough memory for the taps of the response");
        return false;
    }
    ResampleResponse(taps.get(), count);
    for (std::int32_t i = 0; i < count; ++i) taps[i] /= SampleRate;

    derivedTaps = std::move(taps);
    Taps = derivedTaps.get();
    NumberOfTaps = count;
    return FIR<double, 0>::Setup();
}

bool TimeResponseFIR::ShiftTimeStamps() {
    double* s = ResponseTimeStamps;
    const double t0 = s[0];
    s[0] = 0.0;
    for (std::int32_t i = 1; i < NumberOfResponseValues; ++i) {
        s[i] = s[i] - t0;
        // Written so that a NaN stamp fails too.
        if (!(s[i - 1] < s[i])) {
            std::ostringstream message;
            message << "ResponseTimeStamps[" << static_cast<std::uint32_t>(i + 1) << "] = " << s[i] + t0
                    << "  <= ResponseTimeStamps[" << static_cast<std::uint32_t>(i) << "] = " << s[i - 1] + t0
                    << ". Time stamps must be in non-repeating ascending order.";
            ReportError(this, message.str());
            return false;
        }
    }
    return true;
}

void TimeResponseFIR::ResampleResponse(double* taps, std::int32_t count) const {
    const double* s = ResponseTimeStamps;
    const double* r = Response;
    const std::int32_t n = NumberOfResponseValues;
    // The first stamp not before t; t only grows, so the search resumes
    // where the previous tap left it.
    std::int32_t next = 0;
    for (std::int32_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / SampleRate;
        while (next < n - 1 && s[next] < t) ++next;
        if (ResponseType == kImpulseResponse && s[next] == t) {
            taps[i] = r[next];
            continue;
        }
        // The window of stamps around t, kept inside the table: at the ends
        // the polynomial extrapolates from the nearest full window.
        std::int32_t l = next;
        if (l < 1) l = 1;
        if (l > n - 3) l = n - 3;
        if (ResponseType == kImpulseResponse) {
            taps[i] = CubicThrough(s + l - 1, r + l - 1, t);
        } else {
            taps[i] = QuadraticSlope(s + l - 1, r + l - 1, t);
        }
    }
}

}  // namespace Vantrel
