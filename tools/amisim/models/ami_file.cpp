#include "tools/amisim/models/ami_file.h"

#include <cmath>
#include <fstream>
#include <sstream>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/models/ami_definition.h"
#include "tools/amisim/models/ami_tree.h"

namespace amisim {

namespace {

constexpr std::size_t kMaxGroupDepth = 64;

// Walks Model_Specific depth-first in document order. An explicit stack keeps
// a deeply nested file from exhausting the call stack.
void CollectParameters(const AmiNode& model_specific, const std::string& source, AmiFile& file) {
    struct Pending {
        const AmiNode* group;
        std::string prefix;
        std::vector<std::string> nesting;
        std::size_t next_item;
    };
    std::vector<Pending> stack{{&model_specific, "", {}, 1}};
    while (!stack.empty()) {
        Pending& top = stack.back();
        if (top.next_item >= top.group->items.size()) {
            stack.pop_back();
            continue;
        }
        const AmiNode& child = top.group->items[top.next_item++];
        if (!child.is_list) continue;  // a loose word says nothing a host can pass
        const std::string* name = child.Name();
        if (name == nullptr) {
            file.warnings.push_back(source + ": a group without a name in Model_Specific is not read");
            continue;
        }
        if (*name == "Description") continue;
        std::string path = top.prefix.empty() ? *name : top.prefix + "." + *name;
        std::vector<std::string> nesting = top.nesting;
        nesting.push_back(*name);
        if (IsParameterDefinition(child)) {
            file.parameters.push_back(
                ReadParameterDefinition(child, path, source + ": parameter " + path, file.warnings));
            file.parameters.back().nesting = std::move(nesting);
        } else if (child.items.size() <= 1) {
            file.warnings.push_back(source + ": parameter " + path + " has a name only and is not read");
        } else {
            if (const std::optional<std::string> word = MiswrittenKeyword(child))
                file.warnings.push_back(source + ": " + path + ": '" + *word +
                                        "' is no keyword (the words are case-sensitive), so " + path +
                                        " is read as a group of parameters");
            // No model groups its parameters this deep; the bound keeps a
            // hostile file from costing memory by the square of its depth.
            if (stack.size() >= kMaxGroupDepth)
                throw UsageError(source + ": Model_Specific groups parameters deeper than " +
                                 std::to_string(kMaxGroupDepth) + " levels");
            stack.push_back({&child, std::move(path), std::move(nesting), 1});
        }
    }
}

void ReadReserved(const AmiNode& reserved, const std::string& source, AmiFile& file) {
    for (std::size_t i = 1; i < reserved.items.size(); ++i) {
        const AmiNode& entry = reserved.items[i];
        if (!entry.is_list) continue;
        const std::string* name = entry.Name();
        if (name == nullptr) {
            file.warnings.push_back(source + ": a group without a name in Reserved_Parameters is not read");
            continue;
        }
        if (entry.items.size() <= 1) {
            file.warnings.push_back(source + ": reserved parameter " + *name + " has a name only and is not read");
            continue;
        }
        file.reserved.push_back(
            ReadParameterDefinition(entry, *name, source + ": reserved parameter " + *name, file.warnings));
        file.reserved.back().nesting = {*name};
    }
}

std::optional<bool> ReservedBoolean(const AmiFile& file, std::string_view name) {
    const AmiParameter* parameter = file.Reserved(name);
    if (parameter == nullptr) return std::nullopt;
    const std::optional<std::string> value = parameter->EffectiveDefault();
    return value ? ParseAmiBoolean(*value) : std::nullopt;
}

std::optional<long> ReservedCount(const AmiFile& file, std::string_view name) {
    const AmiParameter* parameter = file.Reserved(name);
    if (parameter == nullptr) return std::nullopt;
    const std::optional<std::string> text = parameter->EffectiveDefault();
    const std::optional<double> value = text ? ParseAmiNumber(*text) : std::nullopt;
    if (!value || *value < 0 || *value > 1e9 || *value != std::floor(*value)) return std::nullopt;
    return static_cast<long>(*value);
}

}  // namespace

const AmiParameter* AmiFile::Find(std::string_view path) const {
    for (const AmiParameter& parameter : parameters)
        if (parameter.path == path) return &parameter;
    return nullptr;
}

const AmiParameter* AmiFile::Reserved(std::string_view name) const {
    for (const AmiParameter& parameter : reserved)
        if (parameter.path == name) return &parameter;
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
    const AmiTree tree = ReadAmiTree(JoinAmiLines(text), source);
    const std::string* root_name = tree.root.Name();
    if (root_name == nullptr) throw UsageError(source + ": no outermost group naming the model");

    AmiFile file;
    file.root_name = *root_name;
    file.warnings = tree.warnings;
    for (std::size_t i = 1; i < tree.root.items.size(); ++i) {
        const AmiNode& group = tree.root.items[i];
        const std::string* name = group.Name();
        if (name == nullptr) continue;
        if (*name == "Reserved_Parameters")
            ReadReserved(group, source, file);
        else if (*name == "Model_Specific")
            CollectParameters(group, source, file);
    }
    file.ignore_bits = ReservedCount(file, "Ignore_Bits");
    file.init_returns_impulse = ReservedBoolean(file, "Init_Returns_Impulse");
    file.getwave_exists = ReservedBoolean(file, "GetWave_Exists");
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
