// The linking step: walks the flat list in document order with a stack of the
// open branches (one slot per level) and appends each entry to the branch one
// level above it.

#include <algorithm>
#include <cstdint>

#include "IbisParser/cmn.h"
#include "amiparam/parameter_tree.h"
#include "amiparam/tree_build.h"
#include "amiparam/tree_nodes.h"

namespace amiparam_detail {

namespace {

std::int32_t LinkWithStack(TreeEntry* entries, std::int32_t made, TreeEntry* stack, std::int32_t stack_size) {
    std::int32_t top = 0;  // stack[0] starts zeroed: no root yet
    std::int32_t first = 0;
    if (entries[0].kind == TREE_ENTRY_BRANCH) {
        stack[0] = entries[0];  // the root, linked to nothing
        first = 1;
    }
    for (std::int32_t e = first; e < made; ++e) {
        const TreeEntry& entry = entries[e];
        while (stack[top].level >= entry.level) {
            if (top == 0) return TREE_PARSE_SECOND_TOP_GROUP;
            --top;
        }
        const TreeEntry& parent = stack[top];
        if (parent.node == nullptr) return TREE_PARSE_NO_NODES;
        // An entry more than one level below the open branch (possible only
        // in malformed texts) stays in the flat list alone.
        if (entry.level != parent.level + 1) continue;
        if (!AppendChild(static_cast<TreeBranch*>(parent.node), entry)) return TREE_PARSE_NO_MEMORY;
        if (entry.kind == TREE_ENTRY_BRANCH) {
            if (top + 1 >= stack_size) return TREE_PARSE_NO_MEMORY;  // cannot happen: one slot per level
            stack[++top] = entry;
        }
    }
    return TREE_PARSE_OK;
}

}  // namespace

std::int32_t LinkEntries(ParameterTree* tree, std::int32_t made) {
    // Every group dropped (as in "(r x (a 1))"): there is nothing to link and
    // no node to hang anything from.
    if (made <= 0) return TREE_PARSE_NO_NODES;
    std::int32_t deepest = 0;
    for (std::int32_t e = 0; e < made; ++e) deepest = std::max(deepest, tree->entries[e].level);
    // Branches stand on the stack at their level - 1, so this many slots
    // always suffice.
    const std::int32_t stack_size = deepest + 1;
    TreeEntry* stack = nullptr;
    if (!CMN_Calloc(&stack, static_cast<std::size_t>(stack_size) * sizeof(TreeEntry))) return TREE_PARSE_NO_MEMORY;
    const std::int32_t result = LinkWithStack(tree->entries, made, stack, stack_size);
    CMN_Free(stack);
    return result;
}

}  // namespace amiparam_detail
