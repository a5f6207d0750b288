#pragma once
// The reference receiver's continuous-time linear equaliser: one zero, two
// poles and a DC gain,
//   H(s) = G_dc * (s + w_z) * w_p1 * w_p2 / (w_z * (s + w_p1) * (s + w_p2)),
// set by its corner frequencies and DC gain, or by where and how high it
// peaks (above DC, the peak at the given gain: 0 dB unless told).
//
// At the sample interval it is the zero-order-hold equivalent of H: each
// tap is the analytic impulse response integrated over its sample, so a
// waveform held between samples (as amisim's stimulus is) comes out exact
// at every sample. The same taps run as a two-pole recursion, so filtering
// costs a few operations a sample however long the response rings.

#include <complex>
#include <cstddef>
#include <string>
#include <vector>

namespace amisim {

struct CtleSettings {
    enum class Mode { kOff, kPoles, kPeaking };
    Mode mode = Mode::kPeaking;
    double zero_hz = 1e9, pole1_hz = 5e9, pole2_hz = 20e9;  // the pole form
    double peak_hz = 5e9, peaking_db = 0.0, bandwidth_hz = 20e9;  // the peaking form
    // The gain at DC in the pole form; in the peaking form the gain at the
    // peak, DC lying peaking_db below it.
    double dc_gain_db = 0.0;
};

// The equaliser in angular frequencies (rad/s).
struct CtleDesign {
    bool bypass = false;
    double gain = 1.0;  // G_dc as a ratio
    double zero = 0.0, pole1 = 0.0, pole2 = 0.0;

    std::complex<double> Response(double hz) const;
    // The impulse response at t >= 0, 1/s.
    double Impulse(double t) const;
};

// Throws std::invalid_argument, saying which setting, when the settings
// describe no equaliser (a frequency not positive, a peak that no zero and
// pole below the bandwidth can place).
CtleDesign DesignCtle(const CtleSettings& settings);

// The dimensionless taps at `sample_interval` (output[n] = sum taps[k]
// input[n - k]), `length` of them; a bypassed equaliser is the single tap 1.
std::vector<double> CtleTaps(const CtleDesign& design, double sample_interval, std::size_t length);

// The taps as a running filter, from rest.
class CtleFilter {
public:
    CtleFilter() = default;
    CtleFilter(const CtleDesign& design, double sample_interval);
    double Step(double x) {
        if (bypass_) return x;
        const double y = b0_ * x + b1_ * x1_ + c1_ * y1_ - c2_ * y2_;
        x1_ = x;
        y2_ = y1_;
        y1_ = y;
        return y;
    }
    void Process(double* samples, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) samples[i] = Step(samples[i]);
    }

private:
    bool bypass_ = true;
    double b0_ = 1.0, b1_ = 0.0, c1_ = 0.0, c2_ = 0.0;
    double x1_ = 0.0, y1_ = 0.0, y2_ = 0.0;
};

}  // namespace amisim
