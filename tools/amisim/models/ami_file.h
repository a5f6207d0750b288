#pragma once
// What amisim needs from an .ami parameter file: the root name, the reserved
// parameters that tell a host how to drive the model, and the model-specific
// parameters with their defaults, from which the AMI_Init parameter string is
// built the way a channel simulator builds it.
//
// The file is read as a simulator reads it: a part that cannot be made
// sense of is passed over with a warning (in `warnings`, once each), and
// only text that is no parenthesised tree at all is refused.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/amisim/models/ami_parameter.h"

namespace amisim {

struct AmiFile {
    std::string root_name;
    // The flow's reserved parameters as read, whichever form they are
    // written in; none when missing or not readable as their type.
    std::optional<long> ignore_bits;
    std::optional<bool> init_returns_impulse;
    std::optional<bool> getwave_exists;
    std::vector<AmiParameter> reserved;    // every Reserved_Parameters entry, document order
    std::vector<AmiParameter> parameters;  // Model_Specific, document order
    std::vector<std::string> warnings;     // parts of the file that were not read

    // A model-specific parameter by its dotted path.
    const AmiParameter* Find(std::string_view path) const;
    // A reserved parameter by name (Tx_Rj, Init_Returns_Impulse, ...).
    const AmiParameter* Reserved(std::string_view name) const;
};

// The file's lines joined into one text for the tree reader, each cut at the
// comment character "|" (outside double quotes) and joined by one blank.
std::string JoinAmiLines(std::string_view file_text);

// Throws a usage-or-file AmisimError naming `source` when the text is not a
// parameter tree.
AmiFile ParseAmiText(std::string_view text, const std::string& source);
AmiFile ReadAmiFile(const std::filesystem::path& path);

}  // namespace amisim
