#pragma once
// Making and releasing the nodes of a parameter tree (private to the reader).
//
// Every allocation goes through the checker's checked helpers, so running out
// of memory is reported as a message; each maker returns null / false then and
// leaves nothing behind.

#include <cstddef>

#include "amiparam/parameter_tree.h"

namespace amiparam_detail {

// A branch named by text[0, length), without children.
TreeBranch* NewBranch(const char* text, std::size_t length);
// A leaf named by text[0, length), without values, with its leaf keyword.
TreeLeaf* NewLeaf(const char* text, std::size_t length);

// Appends the value text[0, length), classified and keyword-coded.
bool AppendValue(TreeLeaf* leaf, const char* text, std::size_t length);
// Appends a copy of `child` to the branch's children.
bool AppendChild(TreeBranch* branch, const TreeEntry& child);

void FreeBranch(TreeBranch* branch);
void FreeLeaf(TreeLeaf* leaf);
// Releases the node of an entry of either kind and empties the entry.
void ClearEntry(TreeEntry& entry);

}  // namespace amiparam_detail
