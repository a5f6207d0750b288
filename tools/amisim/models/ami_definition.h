#pragma once
// Turns one group of an .ami file's tree into an AmiParameter, whichever
// written form it uses (see ami_parameter.h).

#include <optional>
#include <string>
#include <vector>

#include "tools/amisim/models/ami_parameter.h"
#include "tools/amisim/models/ami_tree.h"

namespace amisim {

// Whether a named group defines a parameter (it holds Usage, Type, Format,
// Default or a format such as Range, or only values: the short form) rather
// than grouping parameters below it.
bool IsParameterDefinition(const AmiNode& group);

// A sub-group's name that is one of those keywords in other letter case
// ("usage"), which makes the group read as a branch of parameters.
std::optional<std::string> MiswrittenKeyword(const AmiNode& group);

// Reads the definition; a part that cannot be read is named in `warnings`
// (prefixed by `where`, the file and the parameter) and passed over.
AmiParameter ReadParameterDefinition(const AmiNode& group, const std::string& path, const std::string& where,
                                     std::vector<std::string>& warnings);

}  // namespace amisim
