#pragma once
// The reference receiver's clock recovery: a first-order loop that moves
// the sampling phase a fixed step on each decision of its phase detector.
// Bang-bang (Alexander): at a transition, the edge sample half a unit
// interval before the data sample shows whether the clock is early (the
// edge still has the old bit's sign) or late. Mueller-Muller: the sign of
// x[n] d[n-1] - x[n-1] d[n], which balances the first pre- and post-cursor.
// None: the phase stays where the receiver put it.

namespace amisim {

enum class CdrMode { kBangBang, kMuellerMuller, kNone };

class Cdr {
public:
    Cdr() = default;
    Cdr(CdrMode mode, double gain_ui) : mode_(mode), gain_(gain_ui) {}
    CdrMode mode() const { return mode_; }
    // The phase step in unit intervals (positive: sample later) once a data
    // sample is decided as `decision` (+-1). `edge` is the sample half a unit
    // interval before it; `unequalised` the data sample before decision
    // feedback, which Mueller-Muller weighs (the feedback would hide the
    // post-cursor it balances).
    double Update(double decision, double edge, double unequalised);

private:
    CdrMode mode_ = CdrMode::kNone;
    double gain_ = 0.0;
    double last_decision_ = 0.0;
    double last_unequalised_ = 0.0;
};

}  // namespace amisim
