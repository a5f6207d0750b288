#pragma once
// A forgiving reader of the .ami file's parenthesised text, for a simulator
// rather than a checker: every group becomes a node whatever it holds, so a
// group that starts with a list, or holds rows of values like a Table, or
// mixes values and sub-groups, is kept as written and left for the reader
// of the parameters to make sense of. Only text whose parentheses do not
// pair up, or that nests deeper than any model does, is refused.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace amisim {

struct AmiNode {
    // An atom's text (quotes removed); a list's head atom is items[0].
    std::string text;
    bool quoted = false;
    bool is_list = false;
    std::vector<AmiNode> items;

    // The list's name: its first item when that is an unquoted atom.
    const std::string* Name() const;
    // A list's items after its name, or all its items when it has none.
    std::size_t FirstValueIndex() const { return Name() != nullptr ? 1 : 0; }
    // Whether every item after the name is an atom.
    bool HoldsAtomsOnly() const;
};

struct AmiTree {
    AmiNode root;                        // the first top-level group
    std::vector<std::string> warnings;   // what was passed over, once each
};

inline constexpr std::size_t kMaxAmiNesting = 256;

// The first list named `name` at or below `node`, depth first: a value a
// model returns in AMI_parameters_out may sit at any depth below the root.
const AmiNode* FindNamedList(const AmiNode& node, std::string_view name);

// The text with comments already cut (JoinAmiLines). Throws a
// usage-or-file AmisimError led by `source` when the parentheses do not
// pair up, a quoted text never ends, or the nesting exceeds kMaxAmiNesting.
AmiTree ReadAmiTree(std::string_view text, const std::string& source);

}  // namespace amisim
