// [Begin EMI Component] and [End EMI Component]: opening and ending the
// block, its sub-parameters, and the routing of the pin tables.

#include "IbisParser/cmpntemi.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"
#include "IbisParser/parse_keywords.h"
#include "IbisParser/rngp.h"

#define CMPNTEMI_MODULE "IbisParser\\cmpntemi"

namespace {

// The block being read; null outside one.
CMPNTEMI* g_open = nullptr;

struct DomainName {
    const char* name;
    int code;
};
const DomainName kDomains[] = {
    {"Analog", CMPNTEMI_DOMAIN_ANALOG},
    {"Digital", CMPNTEMI_DOMAIN_DIGITAL},
    {"Digital_Analog", CMPNTEMI_DOMAIN_DIGITAL_ANALOG},
};

const RNGP_NAMEVALUE kNameValueMessages = {4719, nullptr, 4723, 4721, 0, nullptr};

bool IsEmpty(const CMPNTEMI* record) {
    return record->domain == CMPNTEMI_DOMAIN_NONE && !record->cpd.given && !record->c_heatsink_gnd.given &&
           !record->c_heatsink_float.given && !PINEMI_HasData(&record->tables);
}

void EndBlock() {
    if (g_open != nullptr && IsEmpty(g_open)) MSG_WarningLine(4712);
    g_open = nullptr;
}

void BeginLine(CMPNT* component, const char* rest) {
    if (component->emi != nullptr) {
        MSG_ErrorLine(4703);
        CMPNTEMI_Free(component->emi);
        component->emi = nullptr;
    }
    g_open = nullptr;
    if (!CMN_Calloc(&component->emi, sizeof *component->emi)) {
        MSG_ErrorLine(4713);
        return;
    }
    g_open = component->emi;
    if (*rest != '\0') MSG_ErrorLine(4704, rest);
}

void DomainLine(CMPNTEMI* record, const char* line) {
    if (record->domain != CMPNTEMI_DOMAIN_NONE) MSG_ErrorLine(4701, "Domain");
    RNGP_WORDS words;
    RNGP_SplitWords(line, 2, '\0', &words);
    if (words.found == 1) {
        MSG_ErrorLine(4718, "Domain");
        return;
    }
    if (words.found != 2) {
        MSG_ErrorLine(4719, words.found, "Domain", 2);
        return;
    }
    char value[RNGP_WORD_MAX + 1];
    RNGP_WordText(&words, 1, value, sizeof value);
    for (const DomainName& domain : kDomains) {
        if (std::strcmp(value, domain.name) == 0) {
            record->domain = domain.code;
            return;
        }
        if (CMN_StrEqualNoCase(value, domain.name)) {
            MSG_ErrorLine(4720, "Domain", value, domain.name);
            return;
        }
    }
    MSG_ErrorLine(4721, "Domain", value);
}

void ValueLine(CMPNTEMI* record, const char* name, CMPNTEMI_VALUE* slot, const char* line) {
    if (slot == &record->c_heatsink_gnd && record->c_heatsink_float.given) MSG_ErrorLine(4714);
    if (slot == &record->c_heatsink_float && record->c_heatsink_gnd.given) MSG_ErrorLine(4715);
    if (slot->given) {
        MSG_ErrorLine(4701, name);
        return;
    }
    if (RNGP_ReadNameValue(line, name, kNameValueMessages, &slot->value)) slot->given = 1;
}

void SubParameterLine(CMPNTEMI* record, const char* line) {
    // Split at blanks alone: "Cpd=2p" names no sub-parameter here.
    RNGP_WORDS first;
    RNGP_SplitWords(line, 1, '\0', &first);
    char name[RNGP_WORD_MAX + 1];
    RNGP_WordText(&first, 0, name, sizeof name);
    if (std::strcmp(name, "Domain") == 0)
        DomainLine(record, line);
    else if (std::strcmp(name, "Cpd") == 0)
        ValueLine(record, "Cpd", &record->cpd, line);
    else if (std::strcmp(name, "C_Heatsink_gnd") == 0)
        ValueLine(record, "C_Heatsink_gnd", &record->c_heatsink_gnd, line);
    else if (std::strcmp(name, "C_Heatsink_float") == 0)
        ValueLine(record, "C_Heatsink_float", &record->c_heatsink_float, line);
    else
        MSG_ErrorLine(4716);
}

const char* AfterKeyword(const char* line) {
    const char* rest = RNGP_AfterKeyword(line);
    return rest != nullptr ? rest : "";
}

void KeywordLine(int keyword, const char* line, CMPNT* component) {
    if (keyword == KW::BEGIN_EMI_COMPONENT) {
        BeginLine(component, AfterKeyword(line));
        return;
    }
    if (g_open == nullptr) {
        MSG_ErrorLine(4705);
        return;
    }
    switch (keyword) {
        case KW::END_EMI_COMPONENT: {
            const char* rest = AfterKeyword(line);
            if (*rest != '\0') MSG_ErrorLine(4704, rest);
            EndBlock();
            break;
        }
        case KW::PIN_EMI:
        case KW::PIN_DOMAIN_EMI: PINEMI_KeywordLine(&g_open->tables, keyword, AfterKeyword(line)); break;
        default: MSG_BugLine(4707, CMPNTEMI_MODULE, __LINE__); break;
    }
}

void DataLine(int keyword, const char* line) {
    if (g_open == nullptr) {
        MSG_ErrorLine(4706);
        return;
    }
    switch (keyword) {
        case KW::BEGIN_EMI_COMPONENT: SubParameterLine(g_open, line); break;
        case KW::PIN_EMI:
        case KW::PIN_DOMAIN_EMI: PINEMI_DataLine(&g_open->tables, keyword, line); break;
        // The block ends at its end keyword, so data cannot reach it open.
        case KW::END_EMI_COMPONENT: MSG_Bug(4708, CMPNTEMI_MODULE, __LINE__); break;
        default: MSG_BugLine(4709, CMPNTEMI_MODULE, __LINE__); break;
    }
}

}  // namespace

int CMPNTEMI_HandleLine(int lineClass, int keyword, char* line, CMPNT* component) {
    MSG_REQUIRE(line != nullptr && component != nullptr, CMPNTEMI_MODULE);
    if (lineClass == PARSE_LINE_KEYWORD)
        KeywordLine(keyword, line, component);
    else if (lineClass == PARSE_LINE_DATA)
        DataLine(keyword, line);
    else
        MSG_BugLine(4710, CMPNTEMI_MODULE, __LINE__);
    return 1;
}

int CMPNTEMI_IsOpen() { return g_open != nullptr; }

void CMPNTEMI_ComponentCloses() {
    if (g_open == nullptr) return;
    MSG_ErrorLine(4711);
    EndBlock();
}

void CMPNTEMI_CheckComponent(const CMPNT* component) {
    MSG_REQUIRE(component != nullptr, CMPNTEMI_MODULE);
    if (component->emi == nullptr) return;
    IBIS* ibis = nullptr;
    if (!IBIS_Current(&ibis)) {
        MSG_Bug(4907, CMPNTEMI_MODULE, __LINE__);
        return;
    }
    PINEMI_CheckComponent(component, &component->emi->tables);
}

void CMPNTEMI_Free(CMPNTEMI* record) {
    if (record == nullptr) return;
    if (record == g_open) g_open = nullptr;
    PINEMI_FreeTables(&record->tables);
    CMN_Free(record);
}
