#include "tools/amisim/eye/crosstalk_cursors.h"

#include <algorithm>
#include <cmath>

namespace amisim {

CrosstalkCursors WorstPhaseCursors(const std::vector<double>& pulse, int samples_per_bit) {
    CrosstalkCursors worst;
    double worst_power = -1.0;
    const std::size_t step = static_cast<std::size_t>(samples_per_bit > 0 ? samples_per_bit : 1);
    for (std::size_t phase = 0; phase < step && phase < pulse.size(); ++phase) {
        double power = 0.0;
        for (std::size_t n = phase; n < pulse.size(); n += step) power += pulse[n] * pulse[n];
        // The first of equal phases, so that the choice never hangs on rounding.
        if (power > worst_power) {
            worst_power = power;
            worst.phase = static_cast<int>(phase);
        }
    }
    worst.cursors.clear();
    for (std::size_t n = static_cast<std::size_t>(worst.phase); n < pulse.size(); n += step) {
        worst.cursors.push_back(pulse[n]);
        worst.peak += std::abs(pulse[n]);
    }
    worst.rms = std::sqrt(std::max(worst_power, 0.0));
    return worst;
}

}  // namespace amisim
