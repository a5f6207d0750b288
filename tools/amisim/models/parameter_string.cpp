#include "tools/amisim/models/parameter_string.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>
#include <optional>

#include "tools/amisim/amisim_error.h"

namespace amisim {

namespace {

// The parameter string nests groups along the dotted paths; children keep
// the order in which their paths first appear.
struct Group {
    std::string name;
    std::string value;  // a leaf's value text; groups have children instead
    std::vector<std::unique_ptr<Group>> children;

    Group& Child(const std::string& child_name) {
        for (auto& child : children)
            if (child->name == child_name) return *child;
        children.push_back(std::make_unique<Group>());
        children.back()->name = child_name;
        return *children.back();
    }
};

// Deeper nesting than any real model uses; the bound keeps the rendering's
// recursion shallow whatever an .ami file or a user hands in.
constexpr std::size_t kMaxDepth = 64;

void AddLeaf(Group& root, const std::vector<std::string>& nesting, const std::string& value) {
    if (nesting.size() > kMaxDepth)
        throw UsageError("parameter " + nesting.front().substr(0, 80) + "...: nested deeper than " +
                         std::to_string(kMaxDepth) + " levels");
    Group* group = &root;
    for (const std::string& name : nesting) group = &group->Child(name);
    group->value = value;
}

// A user's dotted path as names: each dot steps into a group.
std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> names;
    std::size_t start = 0;
    for (std::size_t dot; (dot = path.find('.', start)) != std::string::npos; start = dot + 1)
        names.push_back(path.substr(start, dot - start));
    names.push_back(path.substr(start));
    return names;
}

// A group without children is a leaf, (name value); the root without any
// parameter comes out as (root), which is what a host passes then.
void Render(const Group& group, std::string& out, bool is_root = false) {
    out += '(';
    out += group.name;
    if (group.children.empty() && !is_root) {
        out += ' ';
        out += group.value;
    }
    for (const auto& child : group.children) {
        out += ' ';
        Render(*child, out);
    }
    out += ')';
}

std::optional<double> ParseNumber(const std::string& text) {
    if (text.empty()) return std::nullopt;
    double value = 0.0;
    const char* end = text.data() + text.size();
    // from_chars takes no leading "+", which a parameter value may carry.
    const char* start = text[0] == '+' && text.size() > 1 && text[1] != '-' ? text.data() + 1
                                                                           : text.data();
    const std::from_chars_result result = std::from_chars(start, end, value);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

bool IsNumericType(const std::string& type) {
    return type == "Integer" || type == "Float" || type == "UI" || type == "Tap";
}

// The text that goes into the parameter string for a value of this type.
std::string ValueText(const AmiParameter& parameter, const std::string& value) {
    if (parameter.type != "String") return value;
    if (value.find('"') != std::string::npos)
        throw UsageError("parameter " + parameter.path + ": a String value cannot hold '\"'");
    return '"' + value + '"';
}

// Checks a user's value against the parameter's Type (errors) and Format
// (warnings).
void CheckValue(const AmiParameter& parameter, const std::string& value,
                std::vector<std::string>& warnings) {
    const std::string& name = parameter.path;
    if (IsNumericType(parameter.type)) {
        const std::optional<double> number = ParseNumber(value);
        if (!number)
            throw UsageError("parameter " + name + " is of Type " + parameter.type + ": '" +
                             value + "' is not a number");
        if (parameter.type == "Integer" && *number != std::floor(*number))
            warnings.push_back("parameter " + name + " is of Type Integer; passing " + value +
                               " as given");
        if (parameter.format == "Range" && parameter.format_values.size() >= 3) {
            const auto low = ParseNumber(parameter.format_values[1]);
            const auto high = ParseNumber(parameter.format_values[2]);
            if (low && high && (*number < *low || *number > *high))
                warnings.push_back("parameter " + name + "=" + value + " lies outside its Range " +
                                   parameter.format_values[1] + " to " +
                                   parameter.format_values[2]);
        }
    } else if (parameter.type == "Boolean" && value != "True" && value != "False") {
        throw UsageError("parameter " + name + " is of Type Boolean: '" + value +
                         "' is neither True nor False");
    }
    if (parameter.format == "List" && !parameter.format_values.empty() &&
        std::find(parameter.format_values.begin(), parameter.format_values.end(), value) ==
            parameter.format_values.end()) {
        // Numbers compare by value, so 2.0 matches a List entry 2.
        const std::optional<double> number = ParseNumber(value);
        const bool listed = number && std::any_of(parameter.format_values.begin(),
                                                  parameter.format_values.end(),
                                                  [&](const std::string& entry) {
                                                      return ParseNumber(entry) == number;
                                                  });
        if (!listed) warnings.push_back("parameter " + name + "=" + value + " is not in its List");
    }
}

// A reserved parameter is passed only when declared In or InOut: the short
// form says nothing of its usage, which the standard fixes for each (Info
// for Ignore_Bits and the like).
bool IsReservedInput(const AmiParameter& parameter) { return parameter.usage == "In" || parameter.usage == "InOut"; }

bool IsPassed(const AmiParameter& parameter, bool reserved) {
    return reserved ? IsReservedInput(parameter) : parameter.IsInput();
}

// The input parameter an override names: a model-specific one by its dotted
// path, else a reserved one of Usage In or InOut by its name.
const AmiParameter* FindInput(const AmiFile& file, const std::string& path) {
    if (const AmiParameter* parameter = file.Find(path); parameter != nullptr && parameter->IsInput())
        return parameter;
    const AmiParameter* reserved = file.Reserved(path);
    return reserved != nullptr && IsReservedInput(*reserved) ? reserved : nullptr;
}

std::string InputNames(const AmiFile& file) {
    std::string names;
    for (const std::vector<AmiParameter>* group : {&file.reserved, &file.parameters})
        for (const AmiParameter& parameter : *group) {
            if (!IsPassed(parameter, group == &file.reserved)) continue;
            if (!names.empty()) names += ", ";
            names += parameter.path;
        }
    return names.empty() ? "none" : names;
}

}  // namespace

ParameterOverride ParseOverride(std::string_view text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos || equals == 0)
        throw UsageError("--param expects NAME=VALUE, got '" + std::string(text) + "'");
    const std::string_view name = text.substr(0, equals);
    // A name becomes group names of the parameter string: no blanks, quotes
    // or parentheses, and no empty step in a dotted path.
    const bool bad_character = name.find_first_of(" \t\n\r\v\f()\"") != std::string_view::npos;
    const bool empty_step = name.front() == '.' || name.back() == '.' ||
                            name.find("..") != std::string_view::npos;
    if (bad_character || empty_step)
        throw UsageError("--param " + std::string(name) + ": not a parameter name");
    return {std::string(name), std::string(text.substr(equals + 1))};
}

ParameterString BuildParameterString(const AmiFile& file, const std::vector<ParameterOverride>& overrides,
                                     const std::vector<ParameterOverride>& supplied) {
    ParameterString result;
    for (const ParameterOverride& override : overrides) {
        const AmiParameter* parameter = FindInput(file, override.path);
        if (parameter == nullptr)
            throw UsageError("--param " + override.path + ": the .ami file declares no input " +
                             "parameter of that name (inputs: " + InputNames(file) + ")");
        CheckValue(*parameter, override.value, result.warnings);
    }

    Group root;
    root.name = file.root_name;
    // Reserved inputs (DLL_Path, DLL_ID, ...) go first, as their group
    // comes first in the file, then the model's own.
    for (const std::vector<AmiParameter>* group : {&file.reserved, &file.parameters})
        for (const AmiParameter& parameter : *group) {
            if (!IsPassed(parameter, group == &file.reserved)) continue;
            // The last override of a name wins, as on most command lines.
            std::optional<std::string> value;
            for (const ParameterOverride& override : overrides)
                if (override.path == parameter.path) value = override.value;
            // What the host itself knows (where the library lies) comes
            // before the file's placeholder default.
            if (!value && group == &file.reserved)
                for (const ParameterOverride& known : supplied)
                    if (known.path == parameter.path) value = known.value;
            if (!value) value = parameter.EffectiveDefault();
            if (!value) {
                result.warnings.push_back("parameter " + parameter.path +
                                          " has no Default; it is not passed to the model");
                continue;
            }
            AddLeaf(root, parameter.nesting.empty() ? SplitPath(parameter.path) : parameter.nesting,
                    ValueText(parameter, *value));
        }
    if (root.children.empty())
        result.warnings.push_back("the .ami file gives no input parameters to pass");
    Render(root, result.text, true);
    return result;
}

ParameterString BuildParameterString(const std::string& root_name,
                                     const std::vector<ParameterOverride>& overrides) {
    ParameterString result;
    Group root;
    root.name = root_name;
    for (const ParameterOverride& override : overrides) AddLeaf(root, SplitPath(override.path), override.value);
    Render(root, result.text, true);
    return result;
}

}  // namespace amisim
