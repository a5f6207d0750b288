// tree_find_leaf: depth-first search for a leaf by its full dotted path.
//
// Instead of building the path text of every branch, the search keeps how
// much of the requested path the current branch's own path matches. A branch
// whose path is not a prefix of the requested one cannot hold the leaf, so
// its subtree is passed over; this gives the same first match as comparing
// every leaf's full path, with no allocation per branch. The open branches
// are kept on an explicit stack, so depth costs no call stack.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "amiparam/parameter_tree.h"

namespace {

constexpr std::size_t kNoMatch = static_cast<std::size_t>(-1);

// `path` begins with an own path of length `matched` (0: the own path is
// empty). Returns the length of the own path extended by `name` (after a "."
// unless empty) if that is still a prefix of `path`, else kNoMatch.
std::size_t ExtendMatch(const char* path, std::size_t path_length, std::size_t matched, const char* name) {
    std::size_t at = matched;
    if (matched != 0) {
        if (at >= path_length || path[at] != '.') return kNoMatch;
        ++at;
    }
    const std::size_t name_length = name == nullptr ? 0 : std::strlen(name);
    if (name_length > path_length - at) return kNoMatch;
    if (name_length != 0 && std::memcmp(path + at, name, name_length) != 0) return kNoMatch;
    return at + name_length;
}

struct OpenBranch {
    const TreeBranch* branch;
    std::int32_t next_child;
    std::size_t matched;  // length of the branch's own path
};

bool HasChildren(const TreeBranch* branch) {
    return branch != nullptr && branch->children != nullptr && branch->child_count > 0;
}

TreeLeaf* Search(const TreeBranch* top, const char* path, std::size_t path_length, std::size_t matched) {
    std::vector<OpenBranch> open;
    open.push_back(OpenBranch{top, 0, matched});
    while (!open.empty()) {
        OpenBranch& current = open.back();
        if (current.next_child >= current.branch->child_count) {
            open.pop_back();
            continue;
        }
        const TreeEntry& child = current.branch->children[current.next_child++];
        if (child.node == nullptr) continue;
        if (child.kind == TREE_ENTRY_LEAF) {
            auto* leaf = static_cast<TreeLeaf*>(child.node);
            if (ExtendMatch(path, path_length, current.matched, leaf->name) == path_length) return leaf;
            continue;
        }
        auto* branch = static_cast<const TreeBranch*>(child.node);
        if (!HasChildren(branch)) continue;
        const std::size_t own = ExtendMatch(path, path_length, current.matched, branch->name);
        if (own == kNoMatch) continue;
        open.push_back(OpenBranch{branch, 0, own});  // `current` is not used past this point
    }
    return nullptr;
}

}  // namespace

TreeLeaf* tree_find_leaf(const TreeBranch* branch, const char* path, const char* prefix) {
    if (!HasChildren(branch) || path == nullptr) return nullptr;
    const std::size_t path_length = std::strlen(path);
    const std::size_t prefix_length = prefix == nullptr ? 0 : std::strlen(prefix);
    if (prefix_length > path_length) return nullptr;
    if (prefix_length != 0 && std::memcmp(path, prefix, prefix_length) != 0) return nullptr;
    const std::size_t own = ExtendMatch(path, path_length, prefix_length, branch->name);
    if (own == kNoMatch) return nullptr;
    try {
        return Search(branch, path, path_length, own);
    } catch (const std::bad_alloc&) {
        return nullptr;  // lookups report failure, never a message
    }
}
