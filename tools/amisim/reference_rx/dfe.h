#pragma once
// The reference receiver's decision feedback equaliser. In the statistical
// flow it is ideal: its taps take the first post-cursors off the pulse
// response at the sampling phase (each tap held for the unit interval
// around its cursor, as the feedback is in time), within +-limit. In time
// it subtracts its taps times the past decisions, the taps either those
// same zero-forcing values or adapted by sign-sign LMS, so a wrong
// decision propagates as it does in silicon.

#include <cstddef>
#include <deque>
#include <vector>

namespace amisim {

struct DfeSettings {
    int taps = 0;
    double limit = 0.5;   // volts, each tap
    bool adapt = false;   // sign-sign LMS from zero instead of zero forcing
    double step = 1e-3;   // volts a decision moves an adapting tap
};

// Tap k (from 1) in volts per +-1 decision: the symbol times post-cursor k
// of `pulse` at `main`, signed so that a decision of the sampled value's
// own sign cancels it, and held within the limit.
std::vector<double> ZeroForcingTaps(const std::vector<double>& pulse, std::size_t main, int samples_per_bit,
                                    const DfeSettings& settings, double symbol);

// Takes the taps' feedback off an impulse (1/s at `sample_interval`): the
// pulse response then loses each tap over the unit interval centred on its
// cursor. `polarity` is the sign of the main cursor.
void CancelPostCursors(double* impulse, std::size_t length, std::size_t main, int samples_per_bit,
                       const std::vector<double>& taps, double polarity, double symbol, double sample_interval);

// The feedback loop in time.
class Dfe {
public:
    Dfe() = default;
    Dfe(std::vector<double> taps, const DfeSettings& settings, double level);
    // What the past decisions feed back now.
    double Feedback() const;
    // Decides the sampled value (feedback already taken off), adapts on
    // the error against the expected level, and remembers the decision.
    double Decide(double sample);
    const std::vector<double>& taps() const { return taps_; }
    double level() const { return level_; }

private:
    std::vector<double> taps_;
    std::deque<double> decisions_;  // decisions_[0] the latest
    DfeSettings settings_;
    double level_ = 0.0;  // the expected magnitude of a decided sample
};

}  // namespace amisim
