#pragma once
// Helpers shared by the parameter tree tests.

#include <memory>
#include <string>

#include "amiparam/parameter_tree.h"

struct TreeDeleter {
    void operator()(ParameterTree* tree) const { tree_free(tree); }
};
using TreePtr = std::unique_ptr<ParameterTree, TreeDeleter>;

// Parses `text`; *code receives the result. Null unless the parse succeeded.
inline TreePtr Parse(const std::string& text, std::int32_t* code) {
    ParameterTree* tree = nullptr;
    *code = tree_parse(text.c_str(), &tree);
    return TreePtr(tree);
}

inline const TreeBranch* BranchAt(const ParameterTree& tree, int index) {
    return tree_entry_branch(tree.entries[index]);
}
inline const TreeLeaf* LeafAt(const ParameterTree& tree, int index) {
    return tree_entry_leaf(tree.entries[index]);
}
inline std::string ChildName(const TreeBranch& branch, int index) {
    const TreeEntry& child = branch.children[index];
    if (child.kind == TREE_ENTRY_BRANCH) return static_cast<const TreeBranch*>(child.node)->name;
    return static_cast<const TreeLeaf*>(child.node)->name;
}
