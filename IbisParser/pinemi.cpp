// [Pin EMI] and [Pin Domain EMI]: their header lines, their rows, and the
// check of the rows against the component's pins once the file is read.

#include "IbisParser/pinemi.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt.h"
#include "IbisParser/cmpnt_names.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse_keywords.h"
#include "IbisParser/rngp.h"

#define PINEMI_MODULE "IbisParser\\pinemi"

namespace {

// Room for any word worth reporting; longer words are cut for the copy only.
using WordBuffer = char[RNGP_WORD_MAX + 1];

const char* Word(const RNGP_WORDS& words, int index, WordBuffer& buffer) {
    return RNGP_WordText(&words, index, buffer, sizeof buffer);
}

void PinEmiHeader(PINEMI_TABLES* tables, const char* rest) {
    if (tables->pins != nullptr) {
        MSG_ErrorLine(4729);
        return;
    }
    RNGP_WORDS words;
    RNGP_SplitWords(rest, 3, '\0', &words);
    if (words.found == 0) {
        MSG_ErrorLine(4730);
        return;
    }
    WordBuffer text;
    if (!CMN_StrEqualNoCase(Word(words, 0, text), "domain_name")) {
        MSG_ErrorLine(4731, "domain_name");
    } else if (words.found < 2 || !CMN_StrEqualNoCase(Word(words, 1, text), "clock_div")) {
        MSG_ErrorLine(4731, "clock_div");
    }
    if (words.found > 2) MSG_ErrorLine(4704, Word(words, 2, text));
}

void FreeDomains(PINEMI_TABLES* tables) {
    for (PINDOMEMI* row = tables->domains; row != nullptr;) {
        PINDOMEMI* next = row->next;
        CMN_Free(row);
        row = next;
    }
    CMPNT_NamesFree(tables->domainIndex);
    tables->domains = nullptr;
    tables->domainsTail = nullptr;
    tables->domainIndex = nullptr;
}

void PinDomainHeader(PINEMI_TABLES* tables, const char* rest) {
    if (tables->domainTable) {
        MSG_ErrorLine(4724);
        FreeDomains(tables);
    }
    tables->domainTable = 1;
    RNGP_WORDS words;
    RNGP_SplitWords(rest, 1, '\0', &words);
    WordBuffer text;
    if (words.found == 0)
        MSG_ErrorLine(4725);
    else if (std::strcmp(Word(words, 0, text), "percentage") != 0)
        MSG_ErrorLine(4726, text);
    else if (words.found > 1)
        MSG_ErrorLine(4719, words.found + 1, "Pin Domain EMI", 2);
}

void PinEmiRow(PINEMI_TABLES* tables, const char* line) {
    PINEMI* row = nullptr;
    if (!CMN_Calloc(&row, sizeof *row)) {
        MSG_Error(4910);
        MSG_ErrorLine(4900);
        MSG_ErrorLine(4732);
        return;
    }
    RNGP_WORDS words;
    RNGP_SplitWords(line, 4, '\0', &words);
    if (words.found == 0) {
        MSG_ErrorLine(4901);
        MSG_ErrorLine(4902);
        CMN_Free(row);
        return;
    }
    WordBuffer text;
    CMN_CopyField(row->pin_name, Word(words, 0, text), PINEMI_PIN_NAME_MAX, "pin_name");
    if (words.found < 2) {
        MSG_ErrorLine(4902);
    } else {
        Word(words, 1, text);
        if (!CMN_StrEqualNoCase(text, "NA")) CMN_CheckReserved(text);
        CMN_CopyField(row->domain_name, text, PINEMI_DOMAIN_NAME_MAX, "domain_name");
        if (words.found < 3) {
            MSG_ErrorLine(4903);
        } else {
            Word(words, 2, text);
            if (std::strlen(text) > PINEMI_CLOCK_DIV_MAX) MSG_ErrorLine(4904, PINEMI_CLOCK_DIV_MAX);
            CMN_GetOptionalValue(text, "Pin EMI", "clock_div", &row->clock_div, &row->clock_div_state);
            if (words.found > 3) MSG_ErrorLine(4905, Word(words, 3, text));
        }
    }
    if (tables->pinsTail != nullptr)
        tables->pinsTail->next = row;
    else
        tables->pins = row;
    tables->pinsTail = row;
    if (CMPNT_NamesAdd(&tables->pinIndex, row->pin_name, row) != nullptr) MSG_ErrorLine(4906, row->pin_name);
}

void PinDomainRow(PINEMI_TABLES* tables, const char* line) {
    RNGP_WORDS words;
    RNGP_SplitWords(line, 2, '\0', &words);
    if (words.found < 2) {
        MSG_ErrorLine(4719, words.found, "Pin Domain EMI", 2);
        return;
    }
    if (words.found > 2) MSG_ErrorLine(4719, words.found, "Pin Domain EMI", 2);

    WordBuffer name;
    Word(words, 0, name);
    // Names are indexed as stored, so a name is looked up cut as it would be.
    char stored[PINEMI_DOMAIN_NAME_MAX + 1];
    const size_t kept = strnlen(name, PINEMI_DOMAIN_NAME_MAX);
    std::memcpy(stored, name, kept);
    stored[kept] = '\0';
    if (CMPNT_NamesFind(tables->domainIndex, stored) != nullptr) {
        MSG_ErrorLine(4727, name);
        return;
    }

    PINDOMEMI* row = nullptr;
    if (!CMN_Calloc(&row, sizeof *row)) {
        MSG_BugLine(4722, PINEMI_MODULE, __LINE__);
        return;
    }
    CMN_CopyField(row->domain_name, name, PINEMI_DOMAIN_NAME_MAX, "domain_name");

    WordBuffer text;
    Word(words, 1, text);
    if (std::strlen(text) > PINEMI_PERCENTAGE_MAX)
        MSG_ErrorLine(4728, text, "Should be specified using at most 5 characters");
    if (CMN_ParseScaled(text, &row->percentage) == CMN_NUM_BAD) {
        MSG_ErrorLine(4728, text, "Invalid Number");
        CMN_Free(row);
        return;
    }
    if (!(row->percentage > 0.0 && row->percentage <= 100.0))
        MSG_ErrorLine(4728, text, "Should be greater than 0 and less than equal to 100");

    if (tables->domainsTail != nullptr)
        tables->domainsTail->next = row;
    else
        tables->domains = row;
    tables->domainsTail = row;
    CMPNT_NamesAdd(&tables->domainIndex, row->domain_name, row);
}

}  // namespace

void PINEMI_KeywordLine(PINEMI_TABLES* tables, int keyword, const char* rest) {
    MSG_REQUIRE(tables != nullptr && rest != nullptr, PINEMI_MODULE);
    if (keyword == KW::PIN_EMI)
        PinEmiHeader(tables, rest);
    else if (keyword == KW::PIN_DOMAIN_EMI)
        PinDomainHeader(tables, rest);
}

void PINEMI_DataLine(PINEMI_TABLES* tables, int keyword, const char* line) {
    MSG_REQUIRE(tables != nullptr && line != nullptr, PINEMI_MODULE);
    if (keyword == KW::PIN_EMI)
        PinEmiRow(tables, line);
    else if (keyword == KW::PIN_DOMAIN_EMI)
        PinDomainRow(tables, line);
}

int PINEMI_HasData(const PINEMI_TABLES* tables) {
    return tables != nullptr && (tables->pins != nullptr || tables->domainTable);
}

void PINEMI_CheckComponent(const CMPNT* component, const PINEMI_TABLES* tables) {
    MSG_REQUIRE(component != nullptr && tables != nullptr, PINEMI_MODULE);
    // The domains the pins use, looked up once per [Pin Domain EMI] row.
    CMPNT_NAMES* used = nullptr;
    for (PINEMI* pin = tables->pins; pin != nullptr; pin = pin->next)
        CMPNT_NamesAdd(&used, pin->domain_name, pin);
    for (const PINDOMEMI* domain = tables->domains; domain != nullptr; domain = domain->next)
        if (CMPNT_NamesFind(used, domain->domain_name) == nullptr)
            MSG_Error(4908, component->name, domain->domain_name);
    CMPNT_NamesFree(used);

    for (const PINEMI* row = tables->pins; row != nullptr; row = row->next) {
        const PIN* pin = CMPNT_FindPin(component, row->pin_name);
        if (pin == nullptr)
            MSG_Error(4909, component->name, row->pin_name);
        else if (!CMN_IsNotReserved(pin->model_name))
            MSG_Error(4911, component->name, row->pin_name, pin->model_name);
    }
}

void PINEMI_FreeTables(PINEMI_TABLES* tables) {
    if (tables == nullptr) return;
    for (PINEMI* row = tables->pins; row != nullptr;) {
        PINEMI* next = row->next;
        CMN_Free(row);
        row = next;
    }
    CMPNT_NamesFree(tables->pinIndex);
    FreeDomains(tables);
    *tables = PINEMI_TABLES{};
}
