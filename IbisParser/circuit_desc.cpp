// The lines of an external description: Language, Corner, Ports, D_to_A,
// A_to_D, Parameters and Port_type.

#include <cstring>
#include <initializer_list>

#include "IbisParser/circuit_internal.h"
#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt_names.h"
#include "IbisParser/msg.h"

namespace {

// Releases a text that may never have been made.
void FreeText(char* text) {
    if (text != nullptr) CMN_Free(text);
}

constexpr int kMostWords = 30;

const char* const kReservedAnalog[] = {"A_signal", "A_signal_pos", "A_signal_neg", "A_pos",   "A_neg",  "A_gnd",
                                       "A_puref",  "A_pcref",      "A_pdref",      "A_gcref", "A_extref"};
const char* const kReservedDigital[] = {"D_drive", "D_enable", "D_receive", "D_switch"};

struct Language {
    const char* name;
    int code;
};
const Language kLanguages[] = {{"SPICE", CIRCUIT_LANGUAGE_SPICE},
                               {"VHDL-AMS", CIRCUIT_LANGUAGE_VHDL_AMS},
                               {"VHDL-A(MS)", CIRCUIT_LANGUAGE_SPICE},
                               {"Verilog-AMS", CIRCUIT_LANGUAGE_VERILOG_AMS},
                               {"Verilog-A(MS)", CIRCUIT_LANGUAGE_SPICE}};

bool Is(const char* text, const char* name) { return std::strcmp(text, name) == 0; }

// Typ, Min, Max as a corner index; -1 for anything else.
int CornerIndex(const char* text) {
    if (Is(text, "Typ")) return CIRCUIT_TYP;
    if (Is(text, "Min")) return CIRCUIT_MIN;
    if (Is(text, "Max")) return CIRCUIT_MAX;
    return -1;
}

void LanguageLine(CIRCUIT_DESC* desc, const TOKENLIST& words) {
    if (desc->languageSeen) {
        MSG_ErrorLine(135);
        return;
    }
    desc->languageSeen = 1;
    const char* value = words.stored > 1 ? words.tokens[1] : "";
    for (const Language& language : kLanguages)
        if (Is(value, language.name)) {
            desc->language = language.code;
            return;
        }
    MSG_ErrorLine(136, "Language", value, "SPICE, VHDL-AMS, VHDL-A(MS), Verilog-AMS, Verilog-A(MS)");
}

void CornerLine(CIRCUIT_DESC* desc, const TOKENLIST& words) {
    if (words.found != 4) {
        MSG_ErrorLine(137, words.found, "Corner", 3);
        return;
    }
    if (desc->language == CIRCUIT_LANGUAGE_NONE) MSG_ErrorLine(138);
    const int index = CornerIndex(words.tokens[1]);
    if (index < 0) {
        MSG_ErrorLine(136, "Corner", words.tokens[1], "Typ,Min,Max");
        return;
    }
    CIRCUIT_CORNER& corner = desc->corners[index];
    if (corner.present && corner.file != nullptr) {
        static const int kDuplicate[] = {139, 141, 140};
        MSG_ErrorLine(kDuplicate[index]);
        return;
    }
    corner.present = 1;
    corner.file = CMN_StrDup(words.tokens[2]);
    corner.circuit = CMN_StrDup(words.tokens[3]);
}

bool IsDOther(const char* port) { return Is(port, "D_drive") || Is(port, "D_receive") || Is(port, "D_enable"); }

void PortsLine(CIRCUIT_DESC* desc, const TOKENLIST& words) {
    for (int i = 1; i < words.stored; ++i) {
        const char* port = words.tokens[i];
        // A reserved digital port in a SPICE list is an error, and it stays a
        // port: a later use of it as an analog port is named, and it counts.
        if (desc->language == CIRCUIT_LANGUAGE_SPICE && CIRCUIT_IsReservedDigital(port)) MSG_ErrorLine(103, port);
        if (Is(port, "D_switch")) {
            if (desc->dOtherSeen) MSG_ErrorLine(104);
            desc->dSwitchSeen = 1;
        } else if (IsDOther(port)) {
            if (desc->dSwitchSeen) MSG_ErrorLine(105, port);
            desc->dOtherSeen = 1;
        }
        // A port listed twice is kept once.
        if (CMPNT_NamesAdd(&desc->portIndex, port, desc) != nullptr) continue;
        if (CIRCUIT_AddWord(&desc->ports, &desc->portsTail, port)) ++desc->portCount;
    }
}

void ParametersLine(CIRCUIT_DESC* desc, const TOKENLIST& words) {
    for (int i = 1; i < words.stored; ++i) CIRCUIT_AddWord(&desc->parameters, &desc->parametersTail, words.tokens[i]);
}

// The corner a converter line names (the last word, or Typ when it is left
// out); null after a message.
CIRCUIT_CORNER* ConverterCorner(CIRCUIT_DESC* desc, const char* word, int typMissingMessage) {
    const int index = CornerIndex(word);
    if (index < 0) {
        MSG_ErrorLine(149, "Corner", word);
        return nullptr;
    }
    CIRCUIT_CORNER* corner = &desc->corners[index];
    if (index == CIRCUIT_TYP && !corner->present) {
        MSG_ErrorLine(typMissingMessage);
        return nullptr;
    }
    corner->present = 1;
    return corner;
}

// Both analog ports listed; otherwise the line is dropped.
bool AnalogPortsListed(const CIRCUIT_DESC* desc, const char* first, const char* second) {
    for (const char* port : {first, second})
        if (!CIRCUIT_HasPort(desc, port)) {
            MSG_ErrorLine(153, port);
            return false;
        }
    return true;
}

// The checks of a circuit's own digital port and of analog ports that are
// reserved digital names.
void CircuitPortChecks(const char* digital, const char* first, const char* second) {
    if (CIRCUIT_IsReservedAnalog(digital)) MSG_ErrorLine(237, digital);
    for (const char* port : {first, second})
        if (CIRCUIT_IsReservedDigital(port)) MSG_ErrorLine(106, port);
}

bool ReadNumber(const char* label, const char* text, double* value) {
    if (CMN_ParseScaled(text, value) == CMN_NUM_BAD) {
        MSG_ErrorLine(149, label, text);
        return false;
    }
    return true;
}

void AddConverter(CIRCUIT_CONV** head, CIRCUIT_CONV** tail, const TOKENLIST& words) {
    CIRCUIT_CONV* conv = nullptr;
    if (!CMN_Calloc(&conv, sizeof *conv)) {
        MSG_BugLine(100, CIRCUIT_MODULE, __LINE__);
        return;
    }
    conv->line = MSG_GetCurrentLine();
    conv->digital = CMN_StrDup(words.tokens[1]);
    conv->analog1 = CMN_StrDup(words.tokens[2]);
    conv->analog2 = CMN_StrDup(words.tokens[3]);
    if (conv->digital == nullptr || conv->analog1 == nullptr || conv->analog2 == nullptr) {
        FreeText(conv->digital);
        FreeText(conv->analog1);
        FreeText(conv->analog2);
        CMN_Free(conv);
        return;
    }
    if (*tail == nullptr)
        *head = conv;
    else
        (*tail)->next = conv;
    *tail = conv;
}

void DToALine(CIRCUIT_DESC* desc, bool isModel, const TOKENLIST& words) {
    if (desc->language == CIRCUIT_LANGUAGE_NONE) {
        MSG_ErrorLine(144);
        return;
    }
    if (desc->language != CIRCUIT_LANGUAGE_SPICE) {
        MSG_ErrorLine(145);
        return;
    }
    if (words.found != 9 && words.found != 8) {
        MSG_ErrorLine(137, words.found, "D_to_A", 9);
        return;
    }
    CIRCUIT_CORNER* corner = ConverterCorner(desc, words.found == 9 ? words.tokens[8] : "Typ", 146);
    if (corner == nullptr) return;
    const char* digital = words.tokens[1];
    if (!AnalogPortsListed(desc, words.tokens[2], words.tokens[3])) return;
    if (isModel) {
        if (!Is(digital, "D_drive") && !Is(digital, "D_enable") && !Is(digital, "D_switch"))
            MSG_ErrorLine(239, digital);
    } else {
        if (Is(digital, "D_receive")) MSG_ErrorLine(239, digital);
        CircuitPortChecks(digital, words.tokens[2], words.tokens[3]);
    }
    double vlow = 0, vhigh = 0, trise = 0, tfall = 0;
    const bool lowRead = ReadNumber("vlow", words.tokens[4], &vlow);
    const bool highRead = ReadNumber("vhigh", words.tokens[5], &vhigh);
    if (ReadNumber("trise", words.tokens[6], &trise) && !(trise > 0)) MSG_ErrorLine(150, words.tokens[6]);
    if (ReadNumber("tfall", words.tokens[7], &tfall) && !(tfall > 0)) MSG_ErrorLine(151, words.tokens[7]);
    if (lowRead && highRead && !(vlow < vhigh)) MSG_ErrorLine(152, words.tokens[4], words.tokens[5]);
    AddConverter(&corner->d2a, &corner->d2aTail, words);
}

void AToDLine(CIRCUIT_DESC* desc, bool isModel, const TOKENLIST& words) {
    if (desc->language == CIRCUIT_LANGUAGE_NONE) {
        MSG_ErrorLine(154);
        return;
    }
    if (desc->language != CIRCUIT_LANGUAGE_SPICE) {
        MSG_ErrorLine(256);
        return;
    }
    if (words.found != 7 && words.found != 6) {
        MSG_ErrorLine(137, words.found, "A_to_D", 7);
        return;
    }
    CIRCUIT_CORNER* corner = ConverterCorner(desc, words.found == 7 ? words.tokens[6] : "Typ", 155);
    if (corner == nullptr) return;
    const char* digital = words.tokens[1];
    if (!AnalogPortsListed(desc, words.tokens[2], words.tokens[3])) return;
    if (isModel) {
        if (!Is(digital, "D_receive")) MSG_ErrorLine(240, digital);
    } else {
        if (Is(digital, "D_switch") || Is(digital, "D_drive") || Is(digital, "D_enable"))
            MSG_ErrorLine(241, digital);
        CircuitPortChecks(digital, words.tokens[2], words.tokens[3]);
    }
    if (CMPNT_NamesAdd(&corner->a2dDigital, digital, corner) != nullptr) MSG_ErrorLine(133, digital);
    double vlow = 0, vhigh = 0;
    const bool lowRead = ReadNumber("vlow", words.tokens[4], &vlow);
    const bool highRead = ReadNumber("vhigh", words.tokens[5], &vhigh);
    if (lowRead && highRead && vlow > vhigh) MSG_ErrorLine(242, words.tokens[4], words.tokens[5]);
    AddConverter(&corner->a2d, &corner->a2dTail, words);
}

void PortTypeLine(const TOKENLIST& words) {
    // Port types are only read by the extended checks, which this checker
    // does not offer.
    MSG_ErrorLine(143);
    (void)words;
}

}  // namespace

bool CIRCUIT_IsReservedAnalog(const char* name) {
    for (const char* reserved : kReservedAnalog)
        if (Is(name, reserved)) return true;
    return false;
}

bool CIRCUIT_IsReservedDigital(const char* name) {
    for (const char* reserved : kReservedDigital)
        if (Is(name, reserved)) return true;
    return false;
}

bool CIRCUIT_HasPort(const CIRCUIT_DESC* desc, const char* port) {
    return CMPNT_NamesFind(desc->portIndex, port) != nullptr;
}

void CIRCUIT_DescLine(CIRCUIT_DESC* desc, bool isModel, const char* line) {
    TOKENLIST words;
    if (!CMN_SplitLine(line, kMostWords, &words)) {
        CMN_FreeTokens(&words);
        MSG_BugLine(134, "External Model Sub-Parameter", CIRCUIT_MODULE, __LINE__);
        return;
    }
    if (words.stored == 0) {
        CMN_FreeTokens(&words);
        return;
    }
    const char* first = words.tokens[0];
    if (CMN_StrEqualNoCase(first, "Language"))
        LanguageLine(desc, words);
    else if (CMN_StrEqualNoCase(first, "Corner"))
        CornerLine(desc, words);
    else if (CMN_StrEqualNoCase(first, "Ports"))
        PortsLine(desc, words);
    else if (CMN_StrEqualNoCase(first, "D_to_A"))
        DToALine(desc, isModel, words);
    else if (CMN_StrEqualNoCase(first, "A_to_D"))
        AToDLine(desc, isModel, words);
    else if (CMN_StrEqualNoCase(first, "Parameters"))
        ParametersLine(desc, words);
    else if (CMN_StrEqualNoCase(first, "Port_type"))
        PortTypeLine(words);
    else
        MSG_ErrorLine(158, "[External Model] subparameter", first);
    CMN_FreeTokens(&words);
}

int CIRCUIT_AddWord(CIRCUIT_WORD** head, CIRCUIT_WORD** tail, const char* text) {
    CIRCUIT_WORD* word = nullptr;
    if (!CMN_Calloc(&word, sizeof *word)) {
        MSG_BugLine(100, CIRCUIT_MODULE, __LINE__);
        return 0;
    }
    word->text = CMN_StrDup(text);
    if (word->text == nullptr) {
        CMN_Free(word);
        return 0;
    }
    if (*tail == nullptr)
        *head = word;
    else
        (*tail)->next = word;
    *tail = word;
    return 1;
}

void CIRCUIT_FreeWords(CIRCUIT_WORD* list) {
    while (list != nullptr) {
        CIRCUIT_WORD* next = list->next;
        FreeText(list->text);
        CMN_Free(list);
        list = next;
    }
}

namespace {
void FreeConverters(CIRCUIT_CONV* list) {
    while (list != nullptr) {
        CIRCUIT_CONV* next = list->next;
        FreeText(list->digital);
        FreeText(list->analog1);
        FreeText(list->analog2);
        CMN_Free(list);
        list = next;
    }
}
}  // namespace

void CIRCUIT_DescFree(CIRCUIT_DESC* desc) {
    for (CIRCUIT_CORNER& corner : desc->corners) {
        FreeText(corner.file);
        FreeText(corner.circuit);
        FreeConverters(corner.d2a);
        FreeConverters(corner.a2d);
        CMPNT_NamesFree(corner.a2dDigital);
    }
    CIRCUIT_FreeWords(desc->ports);
    CIRCUIT_FreeWords(desc->parameters);
    CMPNT_NamesFree(desc->portIndex);
    *desc = CIRCUIT_DESC{};
}
