#include "tools/amisim/models/ibis_termination.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "tools/amisim/figure_text.h"

namespace amisim {

namespace {

// A table's current with its end values held beyond it: the standard asks
// for tables from -Vcc to 2 Vcc, and a shorter one says nothing more.
double Held(const IvTable& table, double v) {
    if (table.empty()) return 0.0;
    return table.CurrentAt(std::clamp(v, table.voltage.front(), table.voltage.back())).value_or(0.0);
}

std::string Joined(const std::string& so_far, const std::string& next) {
    return so_far.empty() ? next : so_far + " parallel to " + next;
}

// Where `current(v)` is zero between `low` and `high`, or else where it
// comes nearest to zero.
template <typename Current>
double RestingVoltage(const Current& current, double low, double high) {
    constexpr int kSteps = 512;
    double previous_v = low, previous_i = current(low);
    if (previous_i == 0.0) return low;
    double rest = low, nearest = std::abs(previous_i);
    for (int k = 1; k <= kSteps; ++k) {
        const double v = low + (high - low) * k / kSteps;
        const double i = current(v);
        if ((i < 0.0) != (previous_i < 0.0) || i == 0.0)
            return previous_v + (v - previous_v) * previous_i / (previous_i - i);
        if (std::abs(i) < nearest) {
            nearest = std::abs(i);
            rest = v;
        }
        previous_v = v;
        previous_i = i;
    }
    return rest;
}

}  // namespace

std::optional<Termination> EstimateTermination(const IbisAnalog& analog, std::string& why) {
    const bool has_rgnd = analog.rgnd && *analog.rgnd > 0.0;
    const bool has_rpower = analog.rpower && *analog.rpower > 0.0;
    const bool has_clamps = !analog.gnd_clamp.empty() || !analog.power_clamp.empty();
    if (!has_rgnd && !has_rpower && !has_clamps) {
        why = "gives no [Rgnd], [Rpower] or clamp table";
        return std::nullopt;
    }
    // A resistor to each rail: to the signal they are in parallel.
    double conductance = 0.0;
    std::string how;
    if (has_rgnd) {
        conductance += 1.0 / *analog.rgnd;
        how = Joined(how, "[Rgnd]");
    }
    if (has_rpower) {
        conductance += 1.0 / *analog.rpower;
        how = Joined(how, "[Rpower]");
    }
    if (has_clamps) {
        const double ground = analog.gnd_clamp_reference.value_or(analog.pulldown_reference.value_or(0.0));
        const std::optional<double> power = analog.power_clamp_reference ? analog.power_clamp_reference
                                            : analog.pullup_reference    ? analog.pullup_reference
                                                                         : analog.voltage_range;
        if (!power || !(*power > ground)) {
            if (conductance > 0.0) return Termination{1.0 / conductance, how};
            why = "gives clamp tables but no [Voltage Range] or [POWER Clamp Reference] for the pin to rest within";
            return std::nullopt;
        }
        const auto clamps = [&](double v) {
            return Held(analog.gnd_clamp, v - ground) + Held(analog.power_clamp, *power - v);
        };
        const auto into_pin = [&](double v) {
            double i = clamps(v);
            if (has_rgnd) i += (v - ground) / *analog.rgnd;
            if (has_rpower) i -= (*power - v) / *analog.rpower;
            return i;
        };
        const double rest = RestingVoltage(into_pin, ground, *power);
        const double half = 0.025 * (*power - ground);
        const double low = std::max(rest - half, ground), high = std::min(rest + half, *power);
        const double slope = (clamps(high) - clamps(low)) / (high - low);
        const std::string tables = !analog.gnd_clamp.empty() && !analog.power_clamp.empty() ? "[GND Clamp] and [POWER Clamp]"
                                   : !analog.gnd_clamp.empty()                             ? "[GND Clamp]"
                                                                                           : "[POWER Clamp]";
        if (slope * kUnterminatedOhms > 1.0) {
            conductance += slope;
            how = Joined(how, tables + " " + Figure("%.4g", 1.0 / slope) + " ohm at " + Figure("%.3g", rest) +
                                  " V, where the pin rests");
        } else if (conductance == 0.0) {
            why = "gives no [Rgnd] or [Rpower], and its " + tables + " at " + Figure("%.3g", rest) +
                  " V, where the pin rests, " +
                  (slope <= 0.0         ? std::string("draw no current")
                   : slope * 1e6 < 1.0 ? std::string("are above 1 Mohm")
                                       : "are " + Figure("%.3g", 1.0 / slope / 1e3) + " kohm") +
                  ": no termination";
            return std::nullopt;
        }
    }
    return Termination{1.0 / conductance, how};
}

}  // namespace amisim
