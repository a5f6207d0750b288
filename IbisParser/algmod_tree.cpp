// The parameter tree of an .ami file: the outermost group's branches, the
// walk over Model_Specific and unknown parameters, and the check of one
// leaf of a parameter that has no reserved rule.

#include <cstring>

#include "IbisParser/algmod_internal.h"
#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"

namespace {

bool IsUsage(int keyword) { return keyword >= VALUE_KEYWORD_IN && keyword <= VALUE_KEYWORD_INOUT; }
bool IsType(int keyword) { return keyword >= VALUE_KEYWORD_FLOAT && keyword <= VALUE_KEYWORD_UI; }

// One branch of the walk and the next of its children to visit.
struct WalkFrame {
    const TreeBranch* branch;
    int declaredType;
    int next;
};

// A stack of frames on the checked heap, so that a file nested a million
// deep is walked without deep recursion.
class WalkStack {
public:
    ~WalkStack() {
        if (frames_ != nullptr) CMN_Free(frames_);
    }
    bool Push(const TreeBranch* branch) {
        if (size_ == capacity_) {
            const size_t capacity = capacity_ == 0 ? 16 : capacity_ * 2;
            if (!CMN_Realloc(&frames_, capacity * sizeof(WalkFrame))) return false;
            capacity_ = capacity;
        }
        frames_[size_++] = WalkFrame{branch, ALGMOD_DeclaredType(branch), 0};
        return true;
    }
    void Pop() { --size_; }
    bool Empty() const { return size_ == 0; }
    WalkFrame& Top() { return frames_[size_ - 1]; }

private:
    WalkFrame* frames_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

}  // namespace

void ALGMOD_CheckLeaf(const TreeLeaf* leaf, const char* parameter, int declaredType) {
    MSG_REQUIRE(leaf != nullptr && parameter != nullptr, ALGMOD_MODULE);
    if (leaf->value_count <= 0 || leaf->values == nullptr) {
        MSG_Error(4626, leaf->name, parameter);
        return;
    }
    const LeafValue& first = leaf->values[0];
    switch (leaf->keyword) {
        case LEAF_KEYWORD_USAGE:
            if (!IsUsage(first.keyword)) MSG_Error(4627, "Usage", first.text, parameter);
            break;
        case LEAF_KEYWORD_TYPE:
            if (!IsType(first.keyword)) MSG_Error(4627, "Type", first.text, parameter);
            break;
        case LEAF_KEYWORD_FORMAT: {
            int expected = 0;
            if (!ALGMOD_IsFormat(first.keyword))
                MSG_Error(4627, "Format", first.text, parameter);
            else if (!ALGMOD_FormatFits(leaf, declaredType, &expected))
                MSG_Error(4632, first.text, parameter, expected);
            break;
        }
        default: break;  // any other leaf is the model's own business
    }
}

void ALGMOD_CheckBranch(const TreeBranch* branch) {
    MSG_REQUIRE(branch != nullptr, ALGMOD_MODULE);
    WalkStack stack;
    if (!stack.Push(branch)) return;
    while (!stack.Empty()) {
        WalkFrame& frame = stack.Top();
        if (frame.next >= frame.branch->child_count || frame.branch->children == nullptr) {
            stack.Pop();
            continue;
        }
        const TreeEntry& child = frame.branch->children[frame.next++];
        if (const TreeLeaf* leaf = tree_entry_leaf(child)) {
            ALGMOD_CheckLeaf(leaf, frame.branch->name, frame.declaredType);
        } else if (const TreeBranch* sub = tree_entry_branch(child)) {
            if (!stack.Push(sub)) return;  // memory is short (reported)
        }
    }
}

void ALGMOD_CheckTree(const ParameterTree* tree) {
    const TreeBranch* root = nullptr;
    if (tree != nullptr && tree->entries != nullptr && tree->entry_count > 0)
        root = tree_entry_branch(tree->entries[0]);
    bool reservedFound = false;
    if (root != nullptr && root->child_count > 0 && root->children != nullptr) {
        const int rootType = ALGMOD_DeclaredType(root);
        for (int i = 0; i < root->child_count; ++i) {
            const TreeEntry& child = root->children[i];
            if (const TreeLeaf* leaf = tree_entry_leaf(child)) {
                ALGMOD_CheckLeaf(leaf, root->name, rootType);
            } else if (const TreeBranch* branch = tree_entry_branch(child)) {
                if (std::strcmp(branch->name, "Reserved_Parameters") == 0) {
                    reservedFound = true;
                    ALGMOD_CheckReserved(branch);
                } else if (std::strcmp(branch->name, "Model_Specific") == 0) {
                    ALGMOD_CheckBranch(branch);
                } else {
                    MSG_Error(4623, branch->name);
                }
            }
        }
    }
    if (!reservedFound) MSG_Error(4622);
}
