#include "tools/amisim/reference_rx/cdr.h"

namespace amisim {

double Cdr::Update(double decision, double edge, double unequalised) {
    double step = 0.0;
    if (last_decision_ != 0.0) {
        if (mode_ == CdrMode::kBangBang && decision != last_decision_) {
            // Still the old bit at the edge: the crossing comes later than the
            // clock thinks, so sample later.
            const double edge_sign = edge >= 0.0 ? 1.0 : -1.0;
            step = edge_sign == last_decision_ ? gain_ : -gain_;
        } else if (mode_ == CdrMode::kMuellerMuller) {
            // Post-cursor minus pre-cursor: negative when sampling late.
            const double error = unequalised * last_decision_ - last_unequalised_ * decision;
            step = error > 0.0 ? gain_ : (error < 0.0 ? -gain_ : 0.0);
        }
    }
    last_decision_ = decision;
    last_unequalised_ = unequalised;
    return step;
}

}  // namespace amisim
