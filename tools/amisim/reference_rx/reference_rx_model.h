#pragma once
// The reference receiver as amisim drives any receiver model: an .ami
// description of its parameters (so --rx-param, sweeps and searches treat
// it as they treat a model's) and the three entry points with the
// standard's signatures, built in. It declares Init_Returns_Impulse and
// GetWave_Exists True.

#include <string>

#include "tools/amisim/models/link_model.h"

namespace amisim {

// The name that chooses it in place of a receiver's file: --rx ref.
inline constexpr const char* kReferenceRxName = "ref";

bool NamesReferenceReceiver(const ModelChoice& choice);

// The receiver with the choice's parameter overrides; a usage AmisimError
// for options that name files (an .ami file or a [Model]).
LinkModel LoadReferenceReceiver(const ModelChoice& choice);

// Its .ami text, and the --help section listing the parameters.
const char* ReferenceRxAmiText();
std::string ReferenceRxHelp();

}  // namespace amisim
