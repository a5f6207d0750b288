// The flat scan: one pass per group, each pass reading a group's name and
// deciding whether it starts a branch (a "(" follows the name) or a leaf
// (other text follows it), and for a leaf reading its values up to the
// closing ")".
//
// Depth is counted in half-levels: one when a group's "(" is consumed, one
// more when its name turns out to start a branch or a leaf, minus two when its
// ")" is consumed; the level of a group is half the depth at the moment it is
// made. A branch's ")" is met by the name scan of a later pass, which also
// gives that pass back (a branch spends no pass of its own on closing).

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "amiparam/parameter_tree.h"
#include "amiparam/tree_build.h"
#include "amiparam/tree_nodes.h"
#include "amiparam/tree_text.h"

namespace amiparam_detail {

namespace {

// How a pass ended.
enum class PassEnd {
    kNext,       // at a group boundary; the next pass starts where it stopped
    kEndOfText,  // the text ran out
    kStop,       // the text ran out inside quotes or a dropped group: no more passes
};

class GroupScanner {
public:
    GroupScanner(char* scratch, ParameterTree* tree) : s_(scratch), tree_(tree) {}

    std::int32_t Run();
    std::int32_t Made() const { return made_; }

private:
    // One pass; *end tells how it ended. Returns a TREE_PARSE_ code.
    std::int32_t ScanName(PassEnd* end);
    std::int32_t ScanValues(PassEnd* end);
    // Passes over the rest of a dropped leaf's group. False when the text
    // ends first.
    bool SkipEnclosingGroup();
    std::int32_t Level() const { return static_cast<std::int32_t>(depth_ / 2); }
    bool SlotsFull() const { return made_ == tree_->entry_count; }

    char* s_;
    ParameterTree* tree_;
    std::size_t p_ = 0;
    std::int64_t depth_ = 0;   // half-levels
    std::int64_t passes_ = 0;  // passes run, less the branch closings given back
    std::int32_t made_ = 0;
    // Where the next pass starts should the current one run out of text after
    // closing a branch.
    bool has_restart_ = false;
    std::size_t restart_ = 0;
};

std::int32_t GroupScanner::Run() {
    while (passes_ < tree_->entry_count) {
        has_restart_ = false;
        PassEnd end = PassEnd::kNext;
        std::int32_t result = ScanName(&end);
        if (result != TREE_PARSE_OK) return result;
        ++passes_;
        if (end == PassEnd::kStop) break;
        if (end == PassEnd::kEndOfText && has_restart_) p_ = restart_;
    }
    return TREE_PARSE_OK;
}

std::int32_t GroupScanner::ScanName(PassEnd* end) {
    if (s_[p_] == '(') {
        ++depth_;
        p_ = SkipTreeSpace(s_, p_ + 1);
    }
    std::size_t name_start = p_;
    // The first whitespace after the name; kept across a closing ")" so that
    // a name followed by blanks and then ")" is caught as a misplaced element.
    bool gap_set = false;
    std::size_t gap = 0;
    for (;;) {
        const char c = s_[p_];
        if (c == '\0') {
            *end = PassEnd::kEndOfText;
            return TREE_PARSE_OK;
        }
        if (c == '(') {
            const std::size_t name_end = gap_set ? gap : p_;
            ++depth_;
            if (SlotsFull()) return TREE_PARSE_TOO_MANY_GROUPS;
            if (gap_set && gap < name_start) return TREE_PARSE_BAD_ELEMENT;
            TreeBranch* branch = NewBranch(s_ + name_start, TrimmedLength(s_, name_start, name_end));
            if (branch == nullptr) return TREE_PARSE_NO_MEMORY;
            tree_->entries[made_++] = TreeEntry{TREE_ENTRY_BRANCH, Level(), branch};
            *end = PassEnd::kNext;  // the next pass starts at this "("
            return TREE_PARSE_OK;
        }
        if (c == ')') {
            // The closing of a branch (or of a group with a name only).
            p_ = SkipTreeSpace(s_, p_ + 1);
            if (depth_ <= 1) return TREE_PARSE_TOO_SHALLOW;
            depth_ -= 2;
            if (passes_ <= 0) return TREE_PARSE_TOO_SHALLOW;
            --passes_;
            has_restart_ = true;
            restart_ = p_;
            if (s_[p_] == '(') {
                ++p_;
                ++depth_;
            }
            p_ = SkipTreeSpace(s_, p_);
            name_start = p_;
            continue;
        }
        if (IsTreeSpace(c)) {
            if (!gap_set) {
                gap_set = true;
                gap = p_;
            }
            ++p_;
            continue;
        }
        if (gap_set) {
            // Text after the name: the group is a leaf and this is its first value.
            ++depth_;
            if (SlotsFull()) return TREE_PARSE_TOO_MANY_GROUPS;
            if (gap < name_start) return TREE_PARSE_BAD_ELEMENT;
            TreeLeaf* leaf = NewLeaf(s_ + name_start, TrimmedLength(s_, name_start, gap));
            if (leaf == nullptr) return TREE_PARSE_NO_MEMORY;
            // The slot holds the leaf from now on, so a failure below releases it.
            tree_->entries[made_] = TreeEntry{TREE_ENTRY_LEAF, Level(), leaf};
            return ScanValues(end);
        }
        ++p_;
    }
}

std::int32_t GroupScanner::ScanValues(PassEnd* end) {
    TreeEntry& entry = tree_->entries[made_];
    auto* leaf = static_cast<TreeLeaf*>(entry.node);
    std::size_t v = p_;  // start of the pending value
    bool end_set = false;
    std::size_t end_mark = 0;  // where the pending value ends, once known
    for (;;) {
        const char c = s_[p_];
        if (c == '\0') {
            // The leaf keeps the values it has; one still open is dropped.
            ++made_;
            *end = PassEnd::kEndOfText;
            return TREE_PARSE_OK;
        }
        if (c == '(') {
            // A sub-group after values: the leaf is dropped together with the
            // rest of its group.
            ClearEntry(entry);
            if (!SkipEnclosingGroup()) {
                *end = PassEnd::kStop;
                return TREE_PARSE_OK;
            }
            p_ = SkipTreeSpace(s_, p_);
            if (depth_ <= 1) return TREE_PARSE_TOO_SHALLOW;
            depth_ -= 2;
            *end = PassEnd::kNext;
            return TREE_PARSE_OK;
        }
        if (c == ')') {
            if (!AppendValue(leaf, s_ + v, TrimmedLength(s_, v, p_))) return TREE_PARSE_NO_MEMORY;
            p_ = SkipTreeSpace(s_, p_ + 1);
            if (depth_ <= 1) return TREE_PARSE_TOO_SHALLOW;
            depth_ -= 2;
            ++made_;
            *end = PassEnd::kNext;
            return TREE_PARSE_OK;
        }
        if (IsTreeSpace(c)) {
            if (!end_set) {
                end_set = true;
                end_mark = p_;
            }
            ++p_;
            continue;
        }
        if (end_set) {
            // A new value begins: the pending one is complete.
            if (!AppendValue(leaf, s_ + v, TrimmedLength(s_, v, end_mark))) return TREE_PARSE_NO_MEMORY;
            v = p_;
            end_set = false;
            continue;
        }
        if (c == '"' && p_ == v) {
            // A quoted value: blanks and parentheses inside belong to it. The
            // quotes are blanked out so that the value's text lies between them.
            s_[p_] = ' ';
            v = p_ + 1;
            char* closing = std::strchr(s_ + v, '"');
            if (closing == nullptr) {
                // Unterminated: the value runs to the end of the text, where
                // the scan stops; the open value is dropped.
                ++made_;
                *end = PassEnd::kStop;
                return TREE_PARSE_OK;
            }
            *closing = ' ';
            p_ = static_cast<std::size_t>(closing - s_);
            end_set = true;
            end_mark = p_;
        }
        ++p_;
    }
}

bool GroupScanner::SkipEnclosingGroup() {
    // The leaf's own group is open (1); the "(" at the cursor opens the next.
    std::int64_t open = 1;
    for (;;) {
        const char c = s_[p_];
        if (c == '\0') return false;
        if (c == '"') {
            const char* closing = std::strchr(s_ + p_ + 1, '"');
            if (closing == nullptr) {
                p_ += std::strlen(s_ + p_);
                return false;
            }
            p_ = static_cast<std::size_t>(closing - s_) + 1;
            continue;
        }
        ++p_;
        if (c == '(') {
            ++open;
        } else if (c == ')' && --open == 0) {
            return true;
        }
    }
}

}  // namespace

std::int32_t ScanGroups(char* scratch, ParameterTree* tree, std::int32_t* made) {
    GroupScanner scanner(scratch, tree);
    const std::int32_t result = scanner.Run();
    *made = scanner.Made();
    return result;
}

}  // namespace amiparam_detail
