#pragma once
// Builds the AMI_Init parameter string, (root (name value) ...), from the
// input parameters of an .ami file and the user's NAME=VALUE overrides.

#include <string>
#include <string_view>
#include <vector>

#include "tools/amisim/models/ami_file.h"

namespace amisim {

struct ParameterOverride {
    std::string path;   // dotted, relative to the root: "emphasis", "group.name"
    std::string value;  // as the user typed it
};

// Splits "NAME=VALUE"; throws a usage AmisimError when there is no "=" or no
// name.
ParameterOverride ParseOverride(std::string_view text);

struct ParameterString {
    std::string text;
    std::vector<std::string> warnings;  // values a channel simulator would question
};

// With an .ami file: every In or InOut parameter, reserved ones first, with
// its default, or the override given for it; a reserved one the host
// fills in itself (DLL_Path) takes its value from `supplied` unless
// overridden. An override naming no such parameter, or a value
// that does not fit the parameter's Type, is a usage error; a value outside
// its Range or List is only a warning, since probing a model with odd values
// is part of what amisim is for. A parameter with neither default nor
// override is left out with a warning, and the model decides.
ParameterString BuildParameterString(const AmiFile& file, const std::vector<ParameterOverride>& overrides,
                                     const std::vector<ParameterOverride>& supplied = {});

// Without an .ami file: the overrides alone, as given, under `root_name`.
ParameterString BuildParameterString(const std::string& root_name,
                                     const std::vector<ParameterOverride>& overrides);

}  // namespace amisim
