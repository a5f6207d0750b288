// AmiParameterReader: parse once, then look leaves up by dotted path.

#include "amiparam/ami_parameter_reader.h"

#include <cmath>
#include <new>
#include <utility>

namespace {

// Case-insensitive comparison in ASCII, whatever the process locale.
bool EqualsIgnoringCase(const char* text, const char* lower_word) {
    for (; *text != '\0' && *lower_word != '\0'; ++text, ++lower_word) {
        char c = *text;
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != *lower_word) return false;
    }
    return *text == *lower_word;
}

}  // namespace

AmiParameterReader::AmiParameterReader(const char* parameters) {
    // tree_parse works on its own copy of the text and leaves the caller's
    // alone, so the string is handed over as it is.
    if (parameters == nullptr) return;
    ParameterTree* tree = nullptr;
    if (tree_parse(parameters, &tree) == TREE_PARSE_OK) {
        tree_ = tree;
        valid_ = true;
    }
}

AmiParameterReader::~AmiParameterReader() {
    if (tree_ != nullptr) tree_free(tree_);
}

AmiParameterReader::AmiParameterReader(AmiParameterReader&& other) noexcept
    : valid_(std::exchange(other.valid_, false)), tree_(std::exchange(other.tree_, nullptr)) {}

AmiParameterReader& AmiParameterReader::operator=(AmiParameterReader&& other) noexcept {
    if (this != &other) {
        if (tree_ != nullptr) tree_free(tree_);
        valid_ = std::exchange(other.valid_, false);
        tree_ = std::exchange(other.tree_, nullptr);
    }
    return *this;
}

const TreeLeaf* AmiParameterReader::GetLeaf(const char* path) const {
    if (!valid_ || tree_ == nullptr || tree_->entries == nullptr || tree_->entry_count <= 0) return nullptr;
    const TreeEntry& root = tree_->entries[0];
    if (root.node == nullptr) return nullptr;
    // A leaf as the outermost group never makes a valid tree; should one
    // appear, it has no children to search.
    const TreeBranch* branch = tree_entry_branch(root);
    if (branch == nullptr) return nullptr;
    return tree_find_leaf(branch, path, "");
}

const LeafValue* AmiParameterReader::FirstValue(const char* path, ValueType accepted,
                                                ValueType also_accepted) const {
    const TreeLeaf* leaf = GetLeaf(path);
    if (leaf == nullptr || leaf->values == nullptr || leaf->value_count <= 0) return nullptr;
    const LeafValue& first = leaf->values[0];
    if (first.text == nullptr) return nullptr;
    if (first.type != accepted && first.type != also_accepted) return nullptr;
    return &first;
}

bool AmiParameterReader::GetValue(bool& value, const char* path) const {
    const LeafValue* first = FirstValue(path, VALUE_TYPE_BOOLEAN, VALUE_TYPE_BOOLEAN);
    if (first == nullptr) return false;
    value = EqualsIgnoringCase(first->text, "true");
    return true;
}

bool AmiParameterReader::GetValue(double& value, const char* path) const {
    const LeafValue* first = FirstValue(path, VALUE_TYPE_INTEGER, VALUE_TYPE_REAL);
    if (first == nullptr) return false;
    value = tree_value_to_double(first->text);
    return true;
}

bool AmiParameterReader::GetValue(std::int32_t& value, const char* path) const {
    double real = 0.0;
    if (!GetValue(real, path)) return false;
    const double truncated = std::trunc(real);
    // Converting a value outside the 32-bit range (or not a number) is
    // undefined; such a parameter cannot be delivered as an integer.
    if (!(truncated >= -2147483648.0 && truncated <= 2147483647.0)) return false;
    value = static_cast<std::int32_t>(truncated);
    return true;
}

bool AmiParameterReader::GetValue(std::string& value, const char* path) const {
    const LeafValue* first = FirstValue(path, VALUE_TYPE_STRING, VALUE_TYPE_STRING);
    if (first == nullptr) return false;
    try {
        value = first->text;
    } catch (const std::bad_alloc&) {
        return false;  // lookups fail quietly; the assignment left `value` as it was
    }
    return true;
}
