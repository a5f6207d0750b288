// Reserved_Parameters of an .ami file: the nine reserved parameters with the
// Usage, Type, Format and Default that each may have, and the two that every
// parameter file must hold.

#include <cstring>

#include "IbisParser/algmod_internal.h"
#include "IbisParser/msg.h"

namespace {

constexpr unsigned Bit(int valueKeyword) { return 1u << valueKeyword; }

enum class FormatRule {
    kNotAllowed,
    // Gaussian, Dual-Dirac or DjRj; a Table is accepted but does not count.
    kJitter,
    kValueRangeCorner,
};

enum class DefaultRule {
    kRequired,
    kRequiredBoolean,
    kRequiredInteger,
    kOptionalNumber,
};

struct ReservedRule {
    const char* name;
    unsigned usage;  // Bit() of each value keyword allowed
    unsigned type;
    FormatRule format;
    DefaultRule fallback;
};

constexpr unsigned kInfo = Bit(VALUE_KEYWORD_INFO);
constexpr unsigned kInfoOrOut = Bit(VALUE_KEYWORD_INFO) | Bit(VALUE_KEYWORD_OUT);
constexpr unsigned kFloatOrUi = Bit(VALUE_KEYWORD_FLOAT) | Bit(VALUE_KEYWORD_UI);

constexpr const char* kInitReturnsImpulse = "Init_Returns_Impulse";
constexpr const char* kGetWaveExists = "GetWave_Exists";

constexpr ReservedRule kRules[] = {
    {kInitReturnsImpulse, kInfo, Bit(VALUE_KEYWORD_BOOLEAN), FormatRule::kNotAllowed, DefaultRule::kRequired},
    {kGetWaveExists, kInfo, Bit(VALUE_KEYWORD_BOOLEAN), FormatRule::kNotAllowed, DefaultRule::kRequired},
    {"Use_Init_Output", kInfo, Bit(VALUE_KEYWORD_BOOLEAN), FormatRule::kNotAllowed, DefaultRule::kRequiredBoolean},
    {"Max_Init_Aggressors", kInfo, Bit(VALUE_KEYWORD_INTEGER), FormatRule::kNotAllowed,
     DefaultRule::kRequiredInteger},
    {"Ignore_Bits", kInfoOrOut, Bit(VALUE_KEYWORD_INTEGER), FormatRule::kNotAllowed, DefaultRule::kRequiredInteger},
    {"Tx_Jitter", kInfoOrOut, kFloatOrUi, FormatRule::kJitter, DefaultRule::kOptionalNumber},
    {"Tx_DCD", kInfoOrOut, kFloatOrUi, FormatRule::kValueRangeCorner, DefaultRule::kOptionalNumber},
    {"Rx_Clock_PDF", kInfoOrOut, kFloatOrUi, FormatRule::kJitter, DefaultRule::kOptionalNumber},
    {"Rx_Receiver_Sensitivity", kInfoOrOut, Bit(VALUE_KEYWORD_FLOAT), FormatRule::kValueRangeCorner,
     DefaultRule::kOptionalNumber},
};

const ReservedRule* FindRule(const char* name) {
    for (const ReservedRule& rule : kRules)
        if (std::strcmp(rule.name, name) == 0) return &rule;
    return nullptr;
}

bool Allows(unsigned mask, int valueKeyword) {
    return valueKeyword >= 0 && valueKeyword < 32 && (mask & Bit(valueKeyword)) != 0;
}

bool IsNumber(const LeafValue& value) {
    return value.type == VALUE_TYPE_INTEGER || value.type == VALUE_TYPE_REAL;
}

bool DefaultFits(DefaultRule rule, const LeafValue& value) {
    switch (rule) {
        case DefaultRule::kRequiredBoolean: return value.type == VALUE_TYPE_BOOLEAN;
        case DefaultRule::kRequiredInteger: return value.type == VALUE_TYPE_INTEGER;
        case DefaultRule::kOptionalNumber: return IsNumber(value);
        default: return true;
    }
}

// What one reserved parameter holds, for the checks at its end.
struct Seen {
    bool usage = false;
    bool type = false;
    bool format = false;  // a fitting format that counts
    bool formatNotAllowed = false;
    bool fallback = false;
    bool description = false;
};

// A Format leaf of a parameter whose rule asks for one: true when it counts.
bool CheckRequiredFormat(const TreeLeaf* leaf, const char* parameter, FormatRule rule, int declaredType) {
    const LeafValue& first = leaf->values[0];
    const bool jitter = first.keyword == VALUE_KEYWORD_GAUSSIAN || first.keyword == VALUE_KEYWORD_DUAL_DIRAC ||
                        first.keyword == VALUE_KEYWORD_DJRJ;
    const bool valueRangeCorner = first.keyword == VALUE_KEYWORD_VALUE || first.keyword == VALUE_KEYWORD_RANGE ||
                                  first.keyword == VALUE_KEYWORD_CORNER;
    if (rule == FormatRule::kJitter && first.keyword == VALUE_KEYWORD_TABLE) return false;
    if ((rule == FormatRule::kJitter && !jitter) || (rule == FormatRule::kValueRangeCorner && !valueRangeCorner)) {
        MSG_Error(4627, "Format", first.text, parameter);
        return false;
    }
    int expected = 0;
    if (ALGMOD_FormatFits(leaf, declaredType, &expected)) return true;
    MSG_Error(4632, first.text, parameter, expected);
    return false;
}

void CheckReservedLeaf(const TreeLeaf* leaf, const char* parameter, const ReservedRule& rule, int declaredType,
                       Seen& seen) {
    if (leaf->value_count <= 0 || leaf->values == nullptr) {
        MSG_Error(4626, leaf->name, parameter);
        return;
    }
    const LeafValue& first = leaf->values[0];
    switch (leaf->keyword) {
        case LEAF_KEYWORD_USAGE:
            seen.usage = true;
            if (!Allows(rule.usage, first.keyword)) MSG_Error(4627, "Usage", first.text, parameter);
            return;
        case LEAF_KEYWORD_TYPE:
            seen.type = true;
            if (!Allows(rule.type, first.keyword)) MSG_Error(4627, "Type", first.text, parameter);
            return;
        case LEAF_KEYWORD_FORMAT:
            if (rule.format == FormatRule::kNotAllowed)
                seen.formatNotAllowed = true;
            else if (CheckRequiredFormat(leaf, parameter, rule.format, declaredType))
                seen.format = true;
            return;
        case LEAF_KEYWORD_DEFAULT:
            seen.fallback = true;
            if (!DefaultFits(rule.fallback, first)) MSG_Error(4627, "Default", first.text, parameter);
            return;
        case LEAF_KEYWORD_DESCRIPTION: seen.description = true; return;
        default: MSG_Error(4624, leaf->name, parameter); return;
    }
}

void CheckReservedParameter(const TreeBranch* branch, const ReservedRule& rule) {
    const char* parameter = branch->name;
    const int declaredType = ALGMOD_DeclaredType(branch);
    Seen seen;
    for (int i = 0; i < branch->child_count && branch->children != nullptr; ++i) {
        const TreeEntry& child = branch->children[i];
        if (const TreeLeaf* leaf = tree_entry_leaf(child))
            CheckReservedLeaf(leaf, parameter, rule, declaredType, seen);
        else if (const TreeBranch* sub = tree_entry_branch(child))
            MSG_Error(4628, sub->name, parameter);
    }
    if (!seen.usage) MSG_Error(4630, "Usage", parameter);
    if (!seen.type) MSG_Error(4630, "Type", parameter);
    if (rule.format != FormatRule::kNotAllowed && !seen.format) MSG_Error(4630, "Format", parameter);
    if (rule.fallback != DefaultRule::kOptionalNumber && !seen.fallback) MSG_Error(4630, "Default", parameter);
    if (!seen.description) MSG_Error(4630, "Description", parameter);
    if (seen.formatNotAllowed) MSG_Error(4629, "Format", parameter);
}

}  // namespace

void ALGMOD_CheckReserved(const TreeBranch* branch) {
    MSG_REQUIRE(branch != nullptr, ALGMOD_MODULE);
    if (branch->child_count <= 0 || branch->children == nullptr) {
        MSG_Error(4625, kInitReturnsImpulse);
        MSG_Error(4625, kGetWaveExists);
        return;
    }
    bool initReturnsImpulse = false;
    bool getWaveExists = false;
    for (int i = 0; i < branch->child_count; ++i) {
        const TreeEntry& child = branch->children[i];
        if (const TreeLeaf* leaf = tree_entry_leaf(child)) {
            MSG_Error(4600, leaf->name, branch->name);
            ALGMOD_CheckLeaf(leaf, branch->name, VALUE_KEYWORD_NONE);
            continue;
        }
        const TreeBranch* parameter = tree_entry_branch(child);
        if (parameter == nullptr) continue;
        if (const ReservedRule* rule = FindRule(parameter->name)) {
            CheckReservedParameter(parameter, *rule);
            if (std::strcmp(rule->name, kInitReturnsImpulse) == 0) initReturnsImpulse = true;
            if (std::strcmp(rule->name, kGetWaveExists) == 0) getWaveExists = true;
        } else {
            MSG_Error(4624, parameter->name, branch->name);
            ALGMOD_CheckBranch(parameter);
        }
    }
    if (!initReturnsImpulse) MSG_Error(4625, kInitReturnsImpulse);
    if (!getWaveExists) MSG_Error(4625, kGetWaveExists);
}
