#include "tools/amisim/models/ami_file.h"

#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>

#include "amiparam/parameter_tree.h"
#include "tools/amisim/amisim_error.h"

namespace amisim {

namespace {

struct TreeDeleter {
    void operator()(ParameterTree* tree) const { tree_free(tree); }
};
using TreeHandle = std::unique_ptr<ParameterTree, TreeDeleter>;

std::string ParseFailureText(std::int32_t code) {
    switch (code) {
    case TREE_PARSE_UNBALANCED: return "mismatched parentheses";
    case TREE_PARSE_NO_OPENING: return "the text does not start with '('";
    case TREE_PARSE_NO_NODES:
    case TREE_PARSE_TOO_SHALLOW: return "too few nodes in branches or leaves";
    case TREE_PARSE_BAD_ELEMENT: return "a group with a name only (at least 2 elements expected)";
    case TREE_PARSE_SECOND_TOP_GROUP: return "a second top-level group";
    case TREE_PARSE_NO_MEMORY: return "out of memory";
    default: return "not a parameter tree (code " + std::to_string(code) + ")";
    }
}

const TreeLeaf* ChildLeaf(const TreeBranch& branch, std::int32_t keyword) {
    for (std::int32_t i = 0; i < branch.child_count; ++i) {
        const TreeLeaf* leaf = tree_entry_leaf(branch.children[i]);
        if (leaf != nullptr && leaf->keyword == keyword) return leaf;
    }
    return nullptr;
}

std::string FirstValue(const TreeLeaf* leaf) {
    if (leaf == nullptr || leaf->value_count < 1 || leaf->values[0].text == nullptr) return {};
    return leaf->values[0].text;
}

// A parameter definition is a branch holding Usage, Type, Format, Default,
// Description or Labels leaves; any other branch only groups parameters.
bool IsParameterDefinition(const TreeBranch& branch) {
    for (std::int32_t i = 0; i < branch.child_count; ++i) {
        const TreeLeaf* leaf = tree_entry_leaf(branch.children[i]);
        if (leaf != nullptr && leaf->keyword != LEAF_KEYWORD_NONE) return true;
    }
    return false;
}

const TreeLeaf* FormatWithoutKeyword(const TreeBranch& branch) {
    for (std::int32_t i = 0; i < branch.child_count; ++i) {
        const TreeLeaf* leaf = tree_entry_leaf(branch.children[i]);
        if (leaf == nullptr || leaf->name == nullptr || leaf->value_count < 1) continue;
        const std::string_view name = leaf->name;
        if (name == "Value" || name == "Range" || name == "List" || name == "Corner" || name == "Increment" ||
            name == "Steps")
            return leaf;
    }
    return nullptr;
}

AmiParameter ReadParameter(const TreeBranch& branch, const std::string& path) {
    AmiParameter parameter;
    parameter.path = path;
    parameter.usage = FirstValue(ChildLeaf(branch, LEAF_KEYWORD_USAGE));
    parameter.type = FirstValue(ChildLeaf(branch, LEAF_KEYWORD_TYPE));
    if (const TreeLeaf* leaf = ChildLeaf(branch, LEAF_KEYWORD_DEFAULT); leaf && leaf->value_count > 0)
        parameter.default_ = FirstValue(leaf);
    if (const TreeLeaf* leaf = ChildLeaf(branch, LEAF_KEYWORD_FORMAT); leaf && leaf->value_count > 0) {
        parameter.format = FirstValue(leaf);
        for (std::int32_t v = 1; v < leaf->value_count; ++v)
            parameter.format_values.emplace_back(leaf->values[v].text ? leaf->values[v].text : "");
    } else if (const TreeLeaf* old = FormatWithoutKeyword(branch)) {
        // Older files write the format as a leaf of its own: (Range 27 6 27).
        parameter.format = old->name;
        for (std::int32_t v = 0; v < old->value_count; ++v)
            parameter.format_values.emplace_back(old->values[v].text ? old->values[v].text : "");
    }
    return parameter;
}

constexpr std::size_t kMaxGroupDepth = 64;

// Walks Model_Specific depth-first in document order. An explicit stack keeps
// a deeply nested file from exhausting the call stack.
void CollectParameters(const TreeBranch& model_specific, std::vector<AmiParameter>& out) {
    struct Pending {
        const TreeBranch* branch;
        std::string prefix;
        std::int32_t next_child;
    };
    std::vector<Pending> stack{{&model_specific, "", 0}};
    while (!stack.empty()) {
        Pending& top = stack.back();
        if (top.next_child >= top.branch->child_count) {
            stack.pop_back();
            continue;
        }
        const TreeBranch* child = tree_entry_branch(top.branch->children[top.next_child++]);
        if (child == nullptr || child->name == nullptr) continue;  // leaves such as a Description
        std::string path = top.prefix.empty() ? child->name : top.prefix + "." + child->name;
        if (IsParameterDefinition(*child)) {
            out.push_back(ReadParameter(*child, path));
        } else {
            // No model groups its parameters this deep; the bound keeps a
            // hostile file from costing memory by the square of its depth.
            if (stack.size() >= kMaxGroupDepth)
                throw UsageError("Model_Specific groups parameters deeper than " +
                                 std::to_string(kMaxGroupDepth) + " levels");
            stack.push_back({child, std::move(path), 0});
        }
    }
}

std::optional<std::string> ReservedDefault(const TreeEntry& entry) {
    if (const TreeBranch* branch = tree_entry_branch(entry)) {
        const TreeLeaf* leaf = ChildLeaf(*branch, LEAF_KEYWORD_DEFAULT);
        if (leaf != nullptr && leaf->value_count > 0) return FirstValue(leaf);
        return std::nullopt;
    }
    // The short form (Ignore_Bits 7) of older files.
    if (const TreeLeaf* leaf = tree_entry_leaf(entry); leaf && leaf->value_count > 0)
        return FirstValue(leaf);
    return std::nullopt;
}

const char* EntryName(const TreeEntry& entry) {
    if (const TreeBranch* branch = tree_entry_branch(entry)) return branch->name;
    if (const TreeLeaf* leaf = tree_entry_leaf(entry)) return leaf->name;
    return nullptr;
}

std::optional<bool> AsBoolean(const std::optional<std::string>& text) {
    if (text == "True") return true;
    if (text == "False") return false;
    return std::nullopt;
}

std::optional<long> AsInteger(const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    const ValueType type = tree_classify_value(text->c_str());
    if (type != VALUE_TYPE_INTEGER && type != VALUE_TYPE_REAL) return std::nullopt;
    const double value = tree_value_to_double(text->c_str());
    if (!std::isfinite(value) || value < 0 || value > 1e9) return std::nullopt;
    return static_cast<long>(value);
}

void ReadReserved(const TreeBranch& reserved, AmiFile& file) {
    for (std::int32_t i = 0; i < reserved.child_count; ++i) {
        const TreeEntry& entry = reserved.children[i];
        const char* name = EntryName(entry);
        if (name == nullptr) continue;
        const std::string_view key = name;
        if (key == "Ignore_Bits")
            file.ignore_bits = AsInteger(ReservedDefault(entry));
        else if (key == "Init_Returns_Impulse")
            file.init_returns_impulse = AsBoolean(ReservedDefault(entry));
        else if (key == "GetWave_Exists")
            file.getwave_exists = AsBoolean(ReservedDefault(entry));
        else if (key == "Max_Init_Aggressors")
            file.max_init_aggressors = AsInteger(ReservedDefault(entry));
    }
}

}  // namespace

std::optional<std::string> AmiParameter::EffectiveDefault() const {
    if (default_) return default_;
    if (!format_values.empty() &&
        (format == "Value" || format == "Range" || format == "List" || format == "Corner" ||
         format == "Increment" || format == "Steps"))
        return format_values.front();
    return std::nullopt;
}

const AmiParameter* AmiFile::Find(std::string_view path) const {
    for (const AmiParameter& parameter : parameters)
        if (parameter.path == path) return &parameter;
    return nullptr;
}

std::string JoinAmiLines(std::string_view file_text) {
    std::string joined;
    joined.reserve(file_text.size());
    bool in_quotes = false;  // a quoted value may run over several lines
    bool in_comment = false;
    for (char c : file_text) {
        if (c == '\n' || c == '\r') {
            in_comment = false;
            if (!joined.empty() && joined.back() != ' ') joined.push_back(' ');
            continue;
        }
        if (in_comment) continue;
        if (c == '"') in_quotes = !in_quotes;
        if (c == '|' && !in_quotes) {
            in_comment = true;
            continue;
        }
        joined.push_back(c == '\t' ? ' ' : c);
    }
    return joined;
}

AmiFile ParseAmiText(std::string_view text, const std::string& source) {
    const std::string joined = JoinAmiLines(text);
    ParameterTree* raw = nullptr;
    const std::int32_t code = tree_parse(joined.c_str(), &raw);
    if (code != TREE_PARSE_OK) throw UsageError(source + ": " + ParseFailureText(code));
    const TreeHandle tree(raw);
    const TreeBranch* root =
        tree->entry_count > 0 ? tree_entry_branch(tree->entries[0]) : nullptr;
    if (root == nullptr || root->name == nullptr)
        throw UsageError(source + ": no outermost branch naming the model");

    AmiFile file;
    file.root_name = root->name;
    for (std::int32_t i = 0; i < root->child_count; ++i) {
        const TreeBranch* branch = tree_entry_branch(root->children[i]);
        if (branch == nullptr || branch->name == nullptr) continue;
        const std::string_view name = branch->name;
        if (name == "Reserved_Parameters") {
            ReadReserved(*branch, file);
        } else if (name == "Model_Specific") {
            try {
                CollectParameters(*branch, file.parameters);
            } catch (const AmisimError& e) {
                throw UsageError(source + ": " + e.what());
            }
        }
    }
    return file;
}

AmiFile ReadAmiFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw UsageError(path.string() + ": cannot open the .ami file");
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) throw UsageError(path.string() + ": cannot read the .ami file");
    return ParseAmiText(text.str(), path.string());
}

}  // namespace amisim
