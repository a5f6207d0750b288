// tree_parse: checks the parentheses, makes the root and its slots, scans a
// private copy of the text into the flat list and links it.

#include <cstddef>
#include <cstdint>
#include <limits>

#include "IbisParser/cmn.h"
#include "amiparam/parameter_tree.h"
#include "amiparam/tree_build.h"
#include "amiparam/tree_text.h"

namespace {

// The most groups a text may have. Depths and levels are kept in 32 bits and
// a pass may add up to three half-levels per group, so the count stays well
// below the limit; a text with more groups (hundreds of millions) is treated
// as one the reader has no memory for.
constexpr std::uint64_t kMostGroups = std::numeric_limits<std::int32_t>::max() / 4;

// Counts "(" and ")" outside double quotes (every quote toggles, wherever it
// stands). Returns the number of "(" when the counts agree, else -1.
std::int64_t CountBalancedGroups(const char* text) {
    std::uint64_t opening = 0;
    std::uint64_t closing = 0;
    bool quoted = false;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '"') {
            quoted = !quoted;
        } else if (!quoted) {
            if (*p == '(') ++opening;
            if (*p == ')') ++closing;
        }
    }
    if (opening != closing) return -1;
    if (opening > kMostGroups) return static_cast<std::int64_t>(kMostGroups) + 1;
    return static_cast<std::int64_t>(opening);
}

ParameterTree* NewTree(std::int32_t slots) {
    ParameterTree* tree = nullptr;
    if (!CMN_Calloc(&tree, sizeof(ParameterTree))) return nullptr;
    if (!CMN_Calloc(&tree->entries, static_cast<std::size_t>(slots) * sizeof(TreeEntry))) {
        CMN_Free(tree);
        return nullptr;
    }
    tree->entry_count = slots;
    return tree;
}

}  // namespace

std::int32_t tree_parse(const char* text, ParameterTree** result) {
    if (text == nullptr || result == nullptr) return TREE_PARSE_NO_NODES;
    const char* start = text + amiparam_detail::SkipTreeSpace(text, 0);
    if (*start != '(') return TREE_PARSE_NO_OPENING;
    const std::int64_t groups = CountBalancedGroups(start);
    if (groups < 0) return TREE_PARSE_UNBALANCED;
    if (groups > static_cast<std::int64_t>(kMostGroups)) return TREE_PARSE_NO_MEMORY;

    ParameterTree* tree = NewTree(static_cast<std::int32_t>(groups));
    if (tree == nullptr) return TREE_PARSE_NO_MEMORY;

    // The scan blanks out the quotes of values, so it works on a copy. Without
    // one (1908 has been issued) the tree stays empty: every lookup fails.
    char* scratch = CMN_StrDup(start);
    if (scratch == nullptr) {
        *result = tree;
        return TREE_PARSE_OK;
    }
    std::int32_t made = 0;
    std::int32_t code = amiparam_detail::ScanGroups(scratch, tree, &made);
    CMN_Free(scratch);
    if (code == TREE_PARSE_OK) code = amiparam_detail::LinkEntries(tree, made);
    if (code != TREE_PARSE_OK) {
        tree_free(tree);
        return code;
    }
    *result = tree;
    return TREE_PARSE_OK;
}
