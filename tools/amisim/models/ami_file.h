#pragma once
// What amisim needs from an .ami parameter file: the root name, the reserved
// parameters that tell a host how to drive the model, and the model-specific
// parameters with their defaults, from which the AMI_Init parameter string is
// built the way a channel simulator builds it.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace amisim {

// One model-specific parameter, named by its dotted path below Model_Specific
// ("emphasis", or "group.name" for a parameter inside a sub-branch).
struct AmiParameter {
    std::string path;
    std::string usage;                    // In, Out, Info, InOut; empty when not given
    std::string type;                     // Integer, Float, String, Boolean, Tap, UI
    std::optional<std::string> default_;  // the Default leaf's first value
    std::string format;                   // Value, Range, List, Corner, ...
    std::vector<std::string> format_values;  // the values after the format name

    // Whether a host passes the parameter to AMI_Init.
    bool IsInput() const { return usage == "In" || usage == "InOut"; }
    // The value a host uses when the user gives none: Default, else the
    // value the Format implies (Value's value, the typ of Range, Corner,
    // Increment and Steps, the first entry of a List).
    std::optional<std::string> EffectiveDefault() const;
};

struct AmiFile {
    std::string root_name;
    std::optional<long> ignore_bits;
    std::optional<bool> init_returns_impulse;
    std::optional<bool> getwave_exists;
    // How many aggressor columns of the impulse matrix the model takes.
    std::optional<long> max_init_aggressors;
    std::vector<AmiParameter> parameters;  // document order

    const AmiParameter* Find(std::string_view path) const;
};

// The file's lines joined into one text for the tree reader, each cut at the
// comment character "|" (outside double quotes) and joined by one blank.
std::string JoinAmiLines(std::string_view file_text);

// Throws a usage-or-file AmisimError naming `source` when the text is not a
// parameter tree.
AmiFile ParseAmiText(std::string_view text, const std::string& source);
AmiFile ReadAmiFile(const std::filesystem::path& path);

}  // namespace amisim
