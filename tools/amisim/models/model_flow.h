#pragma once
// How one model takes part in the flows, from the reserved parameters of its
// .ami file and what its library exports: whether AMI_Init returns an
// impulse, whether there is an AMI_GetWave to drive, and the counts a host
// reads (Ignore_Bits, Max_Init_Aggressors, Use_Init_Output), each with where
// its value came from.

#include <optional>
#include <string>
#include <vector>

#include "tools/amisim/models/ami_file.h"

namespace amisim {

template <typename T>
struct FlowValue {
    std::optional<T> value;  // none: not in the file, nothing assumed
    // How the file writes it ("Value", "Format Value", "Default", "short
    // form", "Range", ...), or "assumed", "missing", "unreadable".
    std::string from;
};

struct ModelFlow {
    FlowValue<bool> init_returns_impulse;  // always has a value
    FlowValue<bool> getwave_exists;        // always has a value
    FlowValue<long> ignore_bits;
    FlowValue<long> max_init_aggressors;
    FlowValue<bool> use_init_output;
    bool exports_get_wave = true;
    // Each assumption and each value that could not be read, once.
    std::vector<std::string> warnings;

    bool ReturnsImpulse() const { return init_returns_impulse.value.value_or(false); }
    bool HasGetWave() const { return getwave_exists.value.value_or(true); }
};

// `ami` is null for a library run without an .ami file: the flow is then
// what the library exports, assumed without a warning (the summary says
// so). Throws a usage-or-file AmisimError (exit 2) when the file declares
// GetWave_Exists True and the library exports no AMI_GetWave, or the
// reverse, and when the model would give neither an impulse nor a
// waveform. `role` ("Tx", "Rx") and `library` name the model in messages.
ModelFlow ResolveModelFlow(const AmiFile* ami, bool exports_get_wave, const std::string& role,
                           const std::string& library);

// The modulation the model runs with, as its .ami file's Modulation gives
// it; none when the file does not declare it (NRZ).
std::optional<std::string> ModelModulation(const AmiFile* ami);

// The Ignore_Bits the model returned from AMI_Init in `parameters_out`,
// when its .ami file declares Ignore_Bits Usage Out or InOut and the text
// holds a count there; none otherwise.
std::optional<long> ReturnedIgnoreBits(const AmiFile* ami, const std::string& parameters_out);

}  // namespace amisim
