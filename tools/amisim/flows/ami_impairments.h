#pragma once
// The jitter and noise a model's .ami file gives: the reserved parameters
// the file writes a value for, and those it declares Usage Out, whose
// value the model returns from AMI_Init in AMI_parameters_out.

#include <string>
#include <vector>

#include "tools/amisim/flows/impairments.h"

namespace amisim {

struct AmiFile;

// The jitter and noise reserved parameters of one .ami file (the Tx ones for
// a transmitter, the Rx ones for a receiver), added to `into` where the
// command line has not set them already. Throws a usage AmisimError for an
// unknown Format, a negative sigma or a value that is not a number.
void ReadAmiImpairments(const AmiFile& file, const std::string& source, bool receiver, ImpairmentSettings& into);

// The values the model returned in `parameters_out` after AMI_Init for the
// same parameters, where the file declares them Usage Out or InOut: each
// replaces what the file wrote, never what the command line gave; `source`
// names the text in the settings' origins and the messages. Returns a
// warning for each declared parameter the model did not return (and for a
// text that is not a parameter tree). Throws a model-failure AmisimError
// for a returned value that cannot be used.
std::vector<std::string> ReadReturnedImpairments(const AmiFile& file, const std::string& parameters_out,
                                                 const std::string& source, bool receiver, ImpairmentSettings& into);

}  // namespace amisim
