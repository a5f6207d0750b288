// [Component]: the component's own fields (its name, Si_location and
// Timing_location, its circuit calls) and the small helpers the table
// readers share.

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt_internal.h"
#include "IbisParser/hdr.h"
#include "IbisParser/msg.h"

void CMPNT_NameLine(CMPNT* component, const char* rest);
void CMPNT_SubParameterLine(CMPNT* component, const char* line);
void CMPNT_CircuitCallLine(CMPNT* component, const char* rest);

namespace {

struct LocationName {
    const char* name;
    int code;
};
const LocationName kLocations[] = {{"Pin", CMPNT_LOCATION_PIN}, {"Die", CMPNT_LOCATION_DIE}};

void ReadLocation(int* field, const char* name, const char* value) {
    for (const LocationName& location : kLocations)
        if (std::strcmp(location.name, value) == 0) {
            *field = location.code;
            return;
        }
    for (const LocationName& location : kLocations)
        if (CMN_StrEqualNoCase(location.name, value)) {
            MSG_ErrorLine(540, name, value, location.name);
            return;
        }
    MSG_ErrorLine(541, name, value);
}

}  // namespace

size_t CMPNT_SignalLimit() {
    return HDR_GetVersionLevel() < 4 ? CMPNT_SIGNAL_MAX_BEFORE_4 : CMPNT_SIGNAL_MAX;
}

const char* CMPNT_AfterKeyword(const char* line) {
    const char* bracket = std::strchr(line, ']');
    if (bracket == nullptr) return "";
    return CMPNT_SkipBlanks(bracket + 1);
}

// Lines may be longer than the cursor helpers' guard allows (the overlong
// line is reported, and still read), so the section walks them itself.
const char* CMPNT_SkipBlanks(const char* text) {
    while (*text != '\0' && CMN_IsSpace(static_cast<unsigned char>(*text))) ++text;
    return text;
}

const char* CMPNT_SkipWord(const char* text) {
    while (*text != '\0' && *text != ' ' && *text != '\t') ++text;
    return text;
}

int CMPNT_HeaderWords(const char* rest, const char* keywordLabel, TOKENLIST* words) {
    *words = TOKENLIST{};
    if (*rest == '\0') {
        MSG_ErrorLine(528, keywordLabel);
        return 0;
    }
    // A header line is shorter than a checker line, so its words are few.
    if (!CMN_SplitLine(rest, 64, words)) {
        CMN_FreeTokens(words);
        return 0;
    }
    return 1;
}

bool CMPNT_IsNC(const char* text) { return CMN_StrEqualNoCase(text, "NC") != 0; }

bool CMPNT_IsConnected(const char* text) { return text[0] != '\0' && !CMPNT_IsNC(text); }

void CMPNT_NameLine(CMPNT* component, const char* rest) {
    if (!CMN_SetFieldOnce(component->name, rest, CMPNT_NAME_MAX, "Component")) return;
    if (std::strpbrk(component->name, " \t") != nullptr) MSG_WarningLine(513, component->name);
    CMN_CheckReserved(component->name);
}

void CMPNT_SubParameterLine(CMPNT* component, const char* line) {
    TOKENLIST first;
    if (!CMN_SplitLine(line, 1, &first) || first.stored == 0) {
        MSG_BugLine(534, "Component Sub-Parameter", CMPNT_MODULE, __LINE__);
        CMN_FreeTokens(&first);
        return;
    }
    int* field = nullptr;
    const char* name = nullptr;
    if (std::strcmp(first.tokens[0], "Si_location") == 0) {
        field = &component->si_location;
        name = "Si_location";
    } else if (std::strcmp(first.tokens[0], "Timing_location") == 0) {
        field = &component->timing_location;
        name = "Timing_location";
    }
    CMN_FreeTokens(&first);
    if (field == nullptr) {
        MSG_ErrorLine(535);
        return;
    }
    if (*field != CMPNT_LOCATION_NONE) MSG_ErrorLine(537, name, component->name);
    *field = CMPNT_LOCATION_INVALID;

    TOKENLIST words;
    if (!CMN_SplitLine(line, 2, &words)) {
        CMN_FreeTokens(&words);
        return;
    }
    if (words.found == 1)
        MSG_ErrorLine(538, name);
    else if (words.found != 2)
        MSG_ErrorLine(539, words.found, name, 2);
    else
        ReadLocation(field, name, words.tokens[1]);
    CMN_FreeTokens(&words);
}

void CMPNT_CircuitCallLine(CMPNT* component, const char* rest) {
    CMPNT_CALL* call = nullptr;
    if (!CMN_Calloc(&call, sizeof *call)) {
        MSG_ErrorLine(550);
        return;
    }
    call->line = MSG_GetCurrentLine();
    // The call's name is the first word; a longer one is reported and cut.
    char* name = CMN_SubStr(rest, CMN_TokenLength('\0', rest));
    CMN_CopyField(call->name, name != nullptr ? name : "", CMPNT_NAME_MAX, "Circuit Call");
    if (name != nullptr) CMN_Free(name);
    call->next = component->circuit_calls;
    component->circuit_calls = call;
}
