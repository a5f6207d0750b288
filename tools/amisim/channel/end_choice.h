#pragma once
// The analog ends a run uses: what the command line gives, else what the
// models' .ibs files say (C_comp, the output resistance of the I-V tables),
// else matched to the channel's reference impedance.

#include <string>

#include "tools/amisim/channel/analog_ends.h"
#include "tools/amisim/models/link_model.h"

namespace amisim {

// As written on the command line, each empty when not given.
struct EndOptions {
    std::string tx_rs, tx_cs, rx_rt, rx_cp;
};

// A resistance or capacitance as "45", "45ohm", "1.2p", "1.2pF", "1.2e-12":
// a number with an optional scale letter (f p n u m k M G) and unit.
// Throws a usage AmisimError naming `option` for anything else, a negative
// value, or a resistance of 0 where `allow_zero` is false.
double ParseEndValue(const std::string& text, const std::string& option, bool allow_zero);

// `rx` may be null (no receiver model). Every value's origin goes into
// the result's `origins`.
AnalogEnds ChooseAnalogEnds(const EndOptions& options, const ModelChoice& tx, const ModelChoice* rx);

}  // namespace amisim
