#include "tools/amisim/models/ami_tree.h"

#include <algorithm>

#include "tools/amisim/amisim_error.h"

namespace amisim {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

}  // namespace

const std::string* AmiNode::Name() const {
    if (!is_list || items.empty() || items[0].is_list || items[0].quoted) return nullptr;
    return &items[0].text;
}

bool AmiNode::HoldsAtomsOnly() const {
    return std::none_of(items.begin() + static_cast<std::ptrdiff_t>(FirstValueIndex()), items.end(),
                        [](const AmiNode& item) { return item.is_list; });
}

const AmiNode* FindNamedList(const AmiNode& node, std::string_view name) {
    // Returned trees are a few levels deep at most, and ReadAmiTree has
    // bounded the nesting, so recursion is safe here.
    if (!node.is_list) return nullptr;
    if (const std::string* own = node.Name(); own != nullptr && *own == name) return &node;
    for (const AmiNode& item : node.items)
        if (const AmiNode* found = FindNamedList(item, name)) return found;
    return nullptr;
}

AmiTree ReadAmiTree(std::string_view text, const std::string& source) {
    AmiTree tree;
    // The open lists, innermost last; finished lists move into their parent
    // so that no recursion is needed however deep the text nests.
    std::vector<AmiNode> open;
    bool have_root = false;
    std::size_t extra_groups = 0;
    std::size_t p = 0;
    // Editors on Windows often start a file with a UTF-8 byte-order mark.
    if (text.starts_with("\xEF\xBB\xBF")) p = 3;
    while (p < text.size()) {
        const char c = text[p];
        if (IsBlank(c)) {
            ++p;
            continue;
        }
        if (c == '(') {
            if (open.size() >= kMaxAmiNesting)
                throw UsageError(source + ": groups nested deeper than " + std::to_string(kMaxAmiNesting) +
                                 " levels");
            open.emplace_back();
            open.back().is_list = true;
            ++p;
            continue;
        }
        if (c == ')') {
            if (open.empty()) throw UsageError(source + ": mismatched parentheses");
            AmiNode done = std::move(open.back());
            open.pop_back();
            if (!open.empty()) {
                open.back().items.push_back(std::move(done));
            } else if (!have_root) {
                tree.root = std::move(done);
                have_root = true;
            } else {
                ++extra_groups;
            }
            ++p;
            continue;
        }
        AmiNode atom;
        if (c == '"') {
            const std::size_t closing = text.find('"', p + 1);
            if (closing == std::string_view::npos) throw UsageError(source + ": a quoted text that never ends");
            atom.text = std::string(text.substr(p + 1, closing - p - 1));
            atom.quoted = true;
            p = closing + 1;
        } else {
            const std::size_t start = p;
            while (p < text.size() && !IsBlank(text[p]) && text[p] != '(' && text[p] != ')' && text[p] != '"') ++p;
            atom.text = std::string(text.substr(start, p - start));
        }
        if (open.empty()) {
            // Text outside every group says nothing a simulator needs.
            if (!have_root) throw UsageError(source + ": the text does not start with '('");
            ++extra_groups;
            continue;
        }
        open.back().items.push_back(std::move(atom));
    }
    if (!open.empty()) throw UsageError(source + ": mismatched parentheses");
    if (!have_root) throw UsageError(source + ": no outermost group naming the model");
    if (extra_groups > 0)
        tree.warnings.push_back(source + ": text after the outermost group is not read");
    return tree;
}

}  // namespace amisim
