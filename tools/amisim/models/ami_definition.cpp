#include "tools/amisim/models/ami_definition.h"
#include "tools/amisim/letter_case.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace amisim {

namespace {

// Formats written as a group of their own, without "Format", in older files.
constexpr std::array<std::string_view, 10> kFormatNames = {"Value", "Range",    "List",       "Corner", "Increment",
                                                           "Steps", "Table",    "Gaussian",   "Dual-Dirac", "DjRj"};

bool IsFormatName(std::string_view name) {
    return std::find(kFormatNames.begin(), kFormatNames.end(), name) != kFormatNames.end();
}

std::string FirstAtom(const AmiNode& group) {
    const std::size_t first = group.FirstValueIndex();
    if (group.items.size() <= first || group.items[first].is_list) return {};
    return group.items[first].text;
}

std::vector<std::string> Atoms(const AmiNode& list) {
    std::vector<std::string> atoms;
    for (const AmiNode& item : list.items) atoms.push_back(item.is_list ? std::string() : item.text);
    return atoms;
}

// The rows of a table: (Labels ...) names the columns, every other group
// is a row; values written straight into the table, without a row's
// parentheses, are cut into rows as wide as the labels (one row without).
void ReadTable(const AmiNode& group, std::size_t from, AmiTable& table) {
    std::vector<std::string> loose;
    for (std::size_t i = from; i < group.items.size(); ++i) {
        const AmiNode& item = group.items[i];
        if (!item.is_list) {
            loose.push_back(item.text);
            continue;
        }
        const std::string* name = item.Name();
        if (name != nullptr && *name == "Labels") {
            table.labels = Atoms(item);
            table.labels.erase(table.labels.begin());
        } else {
            table.rows.push_back(Atoms(item));
        }
    }
    if (loose.empty()) return;
    const std::size_t width = table.labels.empty() ? loose.size() : table.labels.size();
    for (std::size_t i = 0; i < loose.size(); i += width)
        table.rows.emplace_back(loose.begin() + static_cast<std::ptrdiff_t>(i),
                                loose.begin() + static_cast<std::ptrdiff_t>(std::min(loose.size(), i + width)));
}

// The format named by `name` with the items from `from` on as its values.
void ReadFormat(const AmiNode& group, const std::string& name, std::size_t from, bool keyword,
                AmiParameter& parameter) {
    parameter.format = name;
    parameter.format_keyword = keyword;
    parameter.format_values.clear();
    if (name == "Table") {
        ReadTable(group, from, parameter.table);
        return;
    }
    for (std::size_t i = from; i < group.items.size(); ++i)
        if (!group.items[i].is_list) parameter.format_values.push_back(group.items[i].text);
}

}  // namespace

std::optional<std::string> MiswrittenKeyword(const AmiNode& group) {
    for (std::size_t i = 1; i < group.items.size(); ++i) {
        const std::string* name = group.items[i].Name();
        if (name == nullptr) continue;
        for (std::string_view keyword : {"Usage", "Type", "Format", "Default"}) {
            if (EqualsIgnoringCase(*name, keyword) && *name != keyword) return *name;
        }
    }
    return std::nullopt;
}

bool IsParameterDefinition(const AmiNode& group) {
    if (group.Name() == nullptr) return false;
    if (group.items.size() > 1 && group.HoldsAtomsOnly()) return true;  // the short form
    return std::any_of(group.items.begin() + 1, group.items.end(), [](const AmiNode& item) {
        const std::string* name = item.Name();
        return name != nullptr && (*name == "Usage" || *name == "Type" || *name == "Format" || *name == "Default" ||
                                   IsFormatName(*name));
    });
}

AmiParameter ReadParameterDefinition(const AmiNode& group, const std::string& path, const std::string& where,
                                     std::vector<std::string>& warnings) {
    AmiParameter parameter;
    parameter.path = path;
    if (group.items.size() > 1 && group.HoldsAtomsOnly()) {
        parameter.short_form = true;
        parameter.format = "Value";
        for (std::size_t i = 1; i < group.items.size(); ++i) parameter.format_values.push_back(group.items[i].text);
        return parameter;
    }
    bool stray_value = false;
    bool unnamed_group = false;
    for (std::size_t i = 1; i < group.items.size(); ++i) {
        const AmiNode& item = group.items[i];
        if (!item.is_list) {
            stray_value = true;
            continue;
        }
        const std::string* name = item.Name();
        if (name == nullptr) {
            unnamed_group = true;
            continue;
        }
        if (*name == "Usage") {
            parameter.usage = FirstAtom(item);
        } else if (*name == "Type") {
            parameter.type = FirstAtom(item);
        } else if (*name == "Default") {
            const std::string value = FirstAtom(item);
            if (item.items.size() > 1 && !item.items[1].is_list)
                parameter.default_ = value;
            else
                warnings.push_back(where + ": a Default without a value is not read");
        } else if (*name == "Format") {
            const std::string format = FirstAtom(item);
            if (format.empty())
                warnings.push_back(where + ": a Format that names no format is not read");
            else
                ReadFormat(item, format, 2, true, parameter);
        } else if (IsFormatName(*name)) {
            // The keyword form wins over an older one written beside it.
            if (!parameter.format_keyword) ReadFormat(item, *name, 1, false, parameter);
        }
        // Description, Labels, List_Tip and groups a later version of the
        // language adds are for people or for other tools.
    }
    if (!parameter.usage.empty() && parameter.usage != "In" && parameter.usage != "Out" &&
        parameter.usage != "InOut" && parameter.usage != "Info")
        warnings.push_back(where + ": Usage '" + parameter.usage +
                           "' is none of In, Out, InOut, Info (the words are case-sensitive); it is not passed");
    if (stray_value) warnings.push_back(where + ": values among its sub-groups are not read");
    if (unnamed_group) warnings.push_back(where + ": a group without a name is not read");
    return parameter;
}

}  // namespace amisim
