// [Model]: the sub-parameter lines after the keyword line. Each takes one
// of three forms: a name and a word from a list (Model_type, Polarity,
// Enable), "name = value", or a name and typ, min, max values.

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/hdr.h"
#include "IbisParser/mdl_internal.h"
#include "IbisParser/msg.h"
#include "IbisParser/rng.h"
#include "IbisParser/rngp.h"

namespace {

enum class Form { Choice, Value, Range };

// Whether a model of a type may take a sub-parameter; a refusal reports its
// own message (or none) and drops the line.
using Condition = bool (*)(const MDL& model);

struct SubParameter {
    const char* name;
    Form form;
    int MDL::*choice;
    MDL_VALUE MDL::*value;
    RNG* MDL::*range;
    Condition condition;
};

bool ReceiverOnly(const MDL& model, int warning) {
    // Before a valid Model_type the line is dropped without a word.
    if (!MDL_IsKnownType(model.model_type)) return false;
    if (MDL_IsReceiverType(model.model_type)) return true;
    MSG_WarningLine(warning, MDL_TypeName(model.model_type));
    return false;
}

// Timing test load values: kept until the type says they have no use.
bool TimingLoad(const MDL& model, int warning) {
    if (!MDL_IsNoTimingLoadType(model.model_type)) return true;
    MSG_WarningLine(warning, MDL_TypeName(model.model_type));
    return false;
}

bool DiffLoad(const MDL& model, int versionError, int typeWarning) {
    if (HDR_GetVersionLevel() < 4) {
        MSG_ErrorLine(versionError);
        return false;
    }
    if (MDL_IsDiffLoadDriverType(model.model_type)) return true;
    MSG_WarningLine(typeWarning, MDL_TypeName(model.model_type));
    return false;
}

bool FromVersion4(int error) {
    if (HDR_GetVersionLevel() >= 4) return true;
    MSG_ErrorLine(error);
    return false;
}

const SubParameter kSubParameters[] = {
    {"Model_type", Form::Choice, &MDL::model_type, nullptr, nullptr, nullptr},
    {"Polarity", Form::Choice, &MDL::polarity, nullptr, nullptr, nullptr},
    {"Enable", Form::Choice, &MDL::enable, nullptr, nullptr, nullptr},
    {"Vinl", Form::Value, nullptr, &MDL::vinl, nullptr, [](const MDL& m) { return ReceiverOnly(m, 159); }},
    {"Vinh", Form::Value, nullptr, &MDL::vinh, nullptr, [](const MDL& m) { return ReceiverOnly(m, 161); }},
    {"Vmeas", Form::Value, nullptr, &MDL::vmeas, nullptr, [](const MDL& m) { return TimingLoad(m, 166); }},
    {"Cref", Form::Value, nullptr, &MDL::cref, nullptr, [](const MDL& m) { return TimingLoad(m, 167); }},
    {"Rref", Form::Value, nullptr, &MDL::rref, nullptr, [](const MDL& m) { return TimingLoad(m, 168); }},
    {"Vref", Form::Value, nullptr, &MDL::vref, nullptr, [](const MDL& m) { return TimingLoad(m, 169); }},
    {"Rref_diff", Form::Value, nullptr, &MDL::rrefDiff, nullptr, [](const MDL& m) { return DiffLoad(m, 164, 165); }},
    {"Cref_diff", Form::Value, nullptr, &MDL::crefDiff, nullptr, [](const MDL& m) { return DiffLoad(m, 162, 163); }},
    {"C_comp", Form::Range, nullptr, nullptr, &MDL::cComp, nullptr},
    {"C_comp_pullup", Form::Range, nullptr, nullptr, &MDL::cCompPullup, [](const MDL&) { return FromVersion4(170); }},
    {"C_comp_pulldown", Form::Range, nullptr, nullptr, &MDL::cCompPulldown,
     [](const MDL&) { return FromVersion4(171); }},
    {"C_comp_power_clamp", Form::Range, nullptr, nullptr, &MDL::cCompPowerClamp,
     [](const MDL&) { return FromVersion4(172); }},
    {"C_comp_gnd_clamp", Form::Range, nullptr, nullptr, &MDL::cCompGndClamp,
     [](const MDL&) { return FromVersion4(173); }},
};

const RNGP_NAMEVALUE kValueMessages = {137, nullptr, 176, 149, 0, nullptr};

// The words a Choice sub-parameter may take, with their codes.
struct Choice {
    const char* text;
    int code;
};
const Choice kPolarities[] = {{"Non-Inverting", MDL_NON_INVERTING}, {"Inverting", MDL_INVERTING}};
const Choice kEnables[] = {{"Active-High", MDL_ACTIVE_HIGH}, {"Active-Low", MDL_ACTIVE_LOW}};

// The code of an exact match; for a match that ignores case, minus the code
// and the right spelling; 0 for none.
int LookupChoice(const char* name, const char* text, const char** spelling) {
    if (std::strcmp(name, "Model_type") == 0) {
        const int code = MDL_LookupTypeName(text, MDL_KnownTypeCount(HDR_GetVersionLevel()));
        if (code < 0) *spelling = MDL_TypeName(-code);
        return code;
    }
    const bool polarity = std::strcmp(name, "Polarity") == 0;
    const Choice* choices = polarity ? kPolarities : kEnables;
    for (int i = 0; i < 2; ++i)
        if (std::strcmp(choices[i].text, text) == 0) return choices[i].code;
    for (int i = 0; i < 2; ++i)
        if (CMN_StrEqualNoCase(choices[i].text, text)) {
            *spelling = choices[i].text;
            return -choices[i].code;
        }
    return 0;
}

void ReadChoice(MDL* model, const SubParameter& sub, const char* line) {
    int& field = model->*sub.choice;
    if (field != 0) {
        MSG_ErrorLine(119, sub.name, model->name);
        return;
    }
    field = 1;
    RNGP_WORDS words;
    RNGP_SplitWords(line, 2, '=', &words);
    if (words.found < 2) {
        MSG_ErrorLine(175, sub.name);
        return;
    }
    if (words.found > 2) {
        if (words.length[1] == 1 && words.start[1][0] == '=')
            MSG_ErrorLine(176, sub.name);
        else
            MSG_ErrorLine(137, words.found, sub.name, 2);
        return;
    }
    char text[RNGP_WORD_MAX + 1];
    RNGP_WordText(&words, 1, text, sizeof text);
    const char* spelling = nullptr;
    const int code = LookupChoice(sub.name, text, &spelling);
    if (code > 0)
        field = code;
    else if (code < 0)
        MSG_ErrorLine(136, sub.name, text, spelling);
    else
        MSG_ErrorLine(158, sub.name, text);
}

void ReadValue(MDL* model, const SubParameter& sub, const char* line) {
    MDL_VALUE& slot = model->*sub.value;
    if (slot.given) {
        MSG_ErrorLine(119, sub.name, model->name);
        return;
    }
    double value = 0.0;
    if (RNGP_ReadNameValue(line, sub.name, kValueMessages, &value)) {
        slot.value = value;
        slot.given = 1;
    }
}

void ReadRange(MDL* model, const SubParameter& sub, const char* rest) {
    RNG*& slot = model->*sub.range;
    if (slot != nullptr) {
        MSG_ErrorLine(119, sub.name, model->name);
        return;
    }
    RNG_ParseLine(rest, sub.name, &slot);
    const RNG* range = slot;
    if (range == nullptr) return;
    if (range->state[RNG_TYP] == CMN_OPT_NA) MSG_ErrorLine(178);
    const bool typGiven = range->state[RNG_TYP] == CMN_OPT_GIVEN;
    const bool minGiven = range->state[RNG_MIN] == CMN_OPT_GIVEN;
    const bool maxGiven = range->state[RNG_MAX] == CMN_OPT_GIVEN;
    const double typ = range->value[RNG_TYP];
    const double min = range->value[RNG_MIN];
    const double max = range->value[RNG_MAX];
    if (minGiven && ((typGiven && typ < min) || (maxGiven && min > max))) MSG_WarningLine(177, model->name, sub.name);
    if (maxGiven && ((typGiven && typ > max) || (minGiven && max < min))) MSG_WarningLine(179, model->name, sub.name);
}

}  // namespace

void MDL_SubParameterLine(MDL* model, const char* line) {
    RNGP_WORDS first;
    RNGP_SplitWords(line, 1, '=', &first);
    const SubParameter* sub = nullptr;
    if (first.stored == 1) {
        for (const SubParameter& candidate : kSubParameters) {
            const size_t length = std::strlen(candidate.name);
            if (first.length[0] == length && std::strncmp(first.start[0], candidate.name, length) == 0) {
                sub = &candidate;
                break;
            }
        }
    }
    if (sub == nullptr) {
        MSG_ErrorLine(174);
        return;
    }
    if (sub->condition != nullptr && !sub->condition(*model)) return;
    switch (sub->form) {
        case Form::Choice: ReadChoice(model, *sub, line); break;
        case Form::Value: ReadValue(model, *sub, line); break;
        case Form::Range: ReadRange(model, *sub, first.start[0] + first.length[0]); break;
    }
}
