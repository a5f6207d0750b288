#pragma once
// A receiver's termination as its .ibs model writes it: resistors to the
// rails ([Rgnd], [Rpower]) or an on-die termination folded into the clamp
// tables, as many vendors write it. To the signal all of it is one
// resistance per pin: the slope of the pin's current where the pin rests.

#include <optional>
#include <string>

#include "tools/amisim/models/ibis_analog.h"

namespace amisim {

// Clamp tables flatter than this where the pin rests are diodes that only
// leak, not a termination.
inline constexpr double kUnterminatedOhms = 10e3;

struct Termination {
    double ohms = 0.0;
    std::string how;  // for the summary: what terminates the pin, and where it rests
};

// [Rgnd] and [Rpower] in parallel with the clamp tables' slope at the pin's
// resting voltage: where the current into the pin is zero between the
// clamp references (the one nearest zero when it never is). None, with
// the reason in `why`, when nothing terminates the pin.
std::optional<Termination> EstimateTermination(const IbisAnalog& analog, std::string& why);

}  // namespace amisim
