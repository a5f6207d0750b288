#pragma once
// The two steps that build a parameter tree (private to the reader): the flat
// scan that makes one entry per group in document order, and the linking step
// that hands each entry to its parent branch. Both work with loops and
// explicit counters only, so nesting depth costs no stack.

#include <cstdint>

#include "amiparam/parameter_tree.h"

namespace amiparam_detail {

// Scans `scratch` (the text from its first "(", modifiable: the quotes around
// values are blanked out) and fills tree->entries from slot 0 in document
// order. On return *made is the number of groups made. On failure the slots
// may hold nodes (a leaf being read included); tree_free releases them.
// Returns a TREE_PARSE_ code.
std::int32_t ScanGroups(char* scratch, ParameterTree* tree, std::int32_t* made);

// Links entries 0 to made - 1 of the tree to their parent branches. Returns a
// TREE_PARSE_ code.
std::int32_t LinkEntries(ParameterTree* tree, std::int32_t made);

}  // namespace amiparam_detail
