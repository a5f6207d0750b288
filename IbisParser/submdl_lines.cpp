// [Submodel]: the name on the keyword line, the Submodel_type line, and the
// keywords of a submodel with their data lines.

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/crv.h"
#include "IbisParser/hdr.h"
#include "IbisParser/msel_names.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse_keywords.h"
#include "IbisParser/ramp.h"
#include "IbisParser/rngp.h"
#include "IbisParser/smspec.h"
#include "IbisParser/submdl_internal.h"

namespace {

struct TypeName {
    const char* text;
    int code;
    int fromLevel;  // the version level that knows the name
};
const TypeName kTypes[] = {
    {"Dynamic_clamp", SUBMDL_TYPE_DYNAMIC_CLAMP, 0},
    {"Bus_hold", SUBMDL_TYPE_BUS_HOLD, 0},
    {"Fall_back", SUBMDL_TYPE_FALL_BACK, 4},
};

// The I-V table of a keyword: its slot and label.
CRV** TableSlot(SUBMDL* submodel, int keyword, const char** label) {
    switch (keyword) {
        case KW::PULLDOWN_SUBMDL: *label = "Pulldown"; return &submodel->pulldown;
        case KW::PULLUP_SUBMDL: *label = "Pullup"; return &submodel->pullup;
        case KW::GND_CLAMP_SUBMDL: *label = "GND Clamp"; return &submodel->gndClamp;
        case KW::POWER_CLAMP_SUBMDL: *label = "POWER Clamp"; return &submodel->powerClamp;
        default: return nullptr;
    }
}

// [Submodel Spec] belongs before the tables and waveforms.
bool HasTablesOrWaveforms(const SUBMDL* submodel) {
    return submodel->pulldown != nullptr || submodel->pullup != nullptr || submodel->gndClamp != nullptr ||
           submodel->powerClamp != nullptr || submodel->ramp != nullptr || submodel->rising.count > 0 ||
           submodel->falling.count > 0 || submodel->gndPulse != nullptr || submodel->powerPulse != nullptr;
}

// The submodel of that name among the others of the list.
bool NameTaken(const SUBMDL* submodel, const char* name) {
    if (MSEL_NamesComplete(submodel->index)) return MSEL_NamesFind(submodel->index, name) != nullptr;
    for (const SUBMDL* other = submodel->next; other != nullptr; other = other->next)
        if (std::strcmp(other->name, name) == 0) return true;
    return false;
}

}  // namespace

void SUBMDL_NameLine(SUBMDL* submodel, const char* line) {
    const char* rest = RNGP_AfterKeyword(line);
    if (rest == nullptr) {
        MSG_BugLine(2408, "SubModel", SUBMDL_MODULE, __LINE__);
        return;
    }
    RNGP_WORDS words;
    RNGP_SplitWords(rest, 1, '\0', &words);
    if (words.found == 0) {
        MSG_ErrorLine(2410);
        return;
    }
    if (words.found > 1) MSG_ErrorLine(2411, words.found, "Sub Model", 1);
    char name[RNGP_WORD_MAX + 1];
    RNGP_WordText(&words, 0, name, sizeof name);
    if (std::strlen(name) > SUBMDL_NAME_MAX) {
        MSG_ErrorLine(2412, SUBMDL_NAME_MAX);
        name[SUBMDL_NAME_MAX] = '\0';
    } else {
        if (!CMN_IsNotReserved(name)) MSG_ErrorLine(2413, name);
        if (NameTaken(submodel, name)) MSG_ErrorLine(2414, name);
    }
    std::memcpy(submodel->name, name, std::strlen(name) + 1);
    MSEL_NamesAdd(submodel->index, submodel->name, submodel);
}

void SUBMDL_SubParameterLine(SUBMDL* submodel, const char* line) {
    static const char kName[] = "Submodel_type";
    RNGP_WORDS words;
    RNGP_SplitWords(line, 2, '=', &words);
    if (words.stored == 0 || words.length[0] != sizeof kName - 1 ||
        std::memcmp(words.start[0], kName, sizeof kName - 1) != 0) {
        MSG_ErrorLine(2416);
        return;
    }
    if (submodel->submodel_type != SUBMDL_TYPE_NONE) {
        MSG_ErrorLine(2417, kName, submodel->name);
        return;
    }
    submodel->submodel_type = SUBMDL_TYPE_INVALID;
    if (words.found < 2) {
        MSG_ErrorLine(2418, kName);
        return;
    }
    if (words.found > 2) {
        if (words.length[1] == 1 && words.start[1][0] == '=')
            MSG_ErrorLine(2419, kName);
        else
            MSG_ErrorLine(2420, words.found, kName, 2);
        return;
    }
    char text[RNGP_WORD_MAX + 1];
    RNGP_WordText(&words, 1, text, sizeof text);
    const int level = HDR_GetVersionLevel();
    for (const TypeName& type : kTypes)
        if (level >= type.fromLevel && std::strcmp(type.text, text) == 0) {
            submodel->submodel_type = type.code;
            return;
        }
    for (const TypeName& type : kTypes)
        if (level >= type.fromLevel && CMN_StrEqualNoCase(type.text, text)) {
            MSG_ErrorLine(2421, kName, text, type.text);
            return;
        }
    MSG_ErrorLine(2422, kName, text);
}

void SUBMDL_KeywordLine(SUBMDL* submodel, int keyword, const char* line) {
    const char* label = nullptr;
    if (CRV** slot = TableSlot(submodel, keyword, &label)) {
        if (CRV_Start(line, slot, label)) g_submdl.openTable = *slot;
        return;
    }
    switch (keyword) {
        case KW::SUBMODEL_SPEC:
            if (HasTablesOrWaveforms(submodel)) MSG_ErrorLine(2406);
            SMSPEC_Start(line, &submodel->specRecord);
            break;
        case KW::GND_PULSE_TABLE:
            if (submodel->gndPulse != nullptr) MSG_ErrorLine(2404);
            WVFRM_StartIn(line, &submodel->gndPulse, "GND Pulse");
            break;
        case KW::POWER_PULSE_TABLE:
            if (submodel->powerPulse != nullptr) MSG_ErrorLine(2405);
            WVFRM_StartIn(line, &submodel->powerPulse, "POWER Pulse");
            break;
        case KW::RAMP_SUBMDL: RAMP_Start(line, &submodel->ramp); break;
        case KW::RISING_WAVEFORM_SUBMDL: WVFRM_Start(line, &submodel->rising, "Rising Waveform"); break;
        case KW::FALLING_WAVEFORM_SUBMDL: WVFRM_Start(line, &submodel->falling, "Falling Waveform"); break;
        default: MSG_BugLine(2407, SUBMDL_MODULE, __LINE__); break;
    }
}

void SUBMDL_DataLine(SUBMDL* submodel, int keyword, const char* line) {
    const char* label = nullptr;
    if (TableSlot(submodel, keyword, &label) != nullptr) {
        if (g_submdl.openTable != nullptr) CRV_Row(line, g_submdl.openTable, label);
        return;
    }
    switch (keyword) {
        case KW::SUBMODEL_SPEC:
            if (submodel->specRecord != nullptr) SMSPEC_DataLine(line, submodel->specRecord, submodel->name);
            break;
        case KW::GND_PULSE_TABLE: WVFRM_DataLine(line, "GND Pulse Table"); break;
        case KW::POWER_PULSE_TABLE: WVFRM_DataLine(line, "POWER Pulse Table"); break;
        case KW::RAMP_SUBMDL:
            if (submodel->ramp != nullptr) RAMP_DataLine(line, submodel->ramp, submodel->name);
            break;
        case KW::RISING_WAVEFORM_SUBMDL: WVFRM_DataLine(line, "Rising Waveform"); break;
        case KW::FALLING_WAVEFORM_SUBMDL: WVFRM_DataLine(line, "Falling Waveform"); break;
        default: MSG_BugLine(2407, SUBMDL_MODULE, __LINE__); break;
    }
}
