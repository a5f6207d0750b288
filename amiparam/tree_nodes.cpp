// Nodes of the parameter tree, and releasing a whole tree.

#include <cstdint>
#include <limits>

#include "IbisParser/cmn.h"
#include "amiparam/parameter_tree.h"
#include "amiparam/tree_nodes.h"

namespace amiparam_detail {

namespace {

// Makes room for one more item behind `count` items. The arrays keep no
// capacity field (the checker reads them as plain count + array), so the
// capacity is implied: a power of two at least as large as the count. The
// array grows by doubling when the count reaches one, which keeps a branch
// with a hundred thousand children from being copied a hundred thousand
// times.
template <class T>
bool MakeRoomForOneMore(T** array, std::int32_t count) {
    if (count == std::numeric_limits<std::int32_t>::max()) return false;
    if (*array == nullptr) return CMN_Calloc(array, sizeof(T)) != 0;  // the first item
    const auto n = static_cast<std::uint32_t>(count);
    if ((n & (n - 1)) != 0) return true;  // not a power of two: room is left
    return CMN_Realloc(array, static_cast<std::size_t>(n) * 2 * sizeof(T)) != 0;
}

}  // namespace

TreeBranch* NewBranch(const char* text, std::size_t length) {
    TreeBranch* branch = nullptr;
    if (!CMN_Calloc(&branch, sizeof(TreeBranch))) return nullptr;
    branch->name = CMN_SubStr(text, length);
    if (branch->name == nullptr) {
        CMN_Free(branch);
        return nullptr;
    }
    return branch;
}

TreeLeaf* NewLeaf(const char* text, std::size_t length) {
    TreeLeaf* leaf = nullptr;
    if (!CMN_Calloc(&leaf, sizeof(TreeLeaf))) return nullptr;
    leaf->name = CMN_SubStr(text, length);
    if (leaf->name == nullptr) {
        CMN_Free(leaf);
        return nullptr;
    }
    leaf->keyword = tree_leaf_keyword(leaf->name);
    return leaf;
}

bool AppendValue(TreeLeaf* leaf, const char* text, std::size_t length) {
    char* copy = CMN_SubStr(text, length);
    if (copy == nullptr) return false;
    if (!MakeRoomForOneMore(&leaf->values, leaf->value_count)) {
        CMN_Free(copy);
        return false;
    }
    LeafValue& value = leaf->values[leaf->value_count];
    value.text = copy;
    value.type = tree_classify_value(copy);
    value.keyword = value.type == VALUE_TYPE_STRING ? tree_value_keyword(copy) : VALUE_KEYWORD_NONE;
    ++leaf->value_count;
    return true;
}

bool AppendChild(TreeBranch* branch, const TreeEntry& child) {
    if (!MakeRoomForOneMore(&branch->children, branch->child_count)) return false;
    branch->children[branch->child_count] = child;
    ++branch->child_count;
    return true;
}

void FreeBranch(TreeBranch* branch) {
    if (branch == nullptr) return;
    if (branch->name != nullptr) CMN_Free(branch->name);
    // The children are copies; their nodes belong to the flat list.
    if (branch->children != nullptr) CMN_Free(branch->children);
    CMN_Free(branch);
}

void FreeLeaf(TreeLeaf* leaf) {
    if (leaf == nullptr) return;
    if (leaf->values != nullptr) {
        for (std::int32_t v = 0; v < leaf->value_count; ++v) {
            if (leaf->values[v].text != nullptr) CMN_Free(leaf->values[v].text);
        }
        CMN_Free(leaf->values);
    }
    if (leaf->name != nullptr) CMN_Free(leaf->name);
    CMN_Free(leaf);
}

void ClearEntry(TreeEntry& entry) {
    if (entry.node != nullptr) {
        if (entry.kind == TREE_ENTRY_LEAF) {
            FreeLeaf(static_cast<TreeLeaf*>(entry.node));
        } else {
            FreeBranch(static_cast<TreeBranch*>(entry.node));
        }
    }
    entry = TreeEntry{0, 0, nullptr};
}

}  // namespace amiparam_detail

void tree_free(ParameterTree* tree) {
    if (tree == nullptr) return;
    if (tree->entries != nullptr) {
        for (std::int32_t e = 0; e < tree->entry_count; ++e) amiparam_detail::ClearEntry(tree->entries[e]);
        CMN_Free(tree->entries);
    }
    CMN_Free(tree);
}
