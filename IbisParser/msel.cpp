// [Model Selector]: opening records, the keyword line with the selector's
// name, the data lines that list its models, the end of the section, the
// lookups by name and the release of the list.

#include "IbisParser/msel.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/hdr.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msel_names.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"
#include "IbisParser/parse_keywords.h"
#include "IbisParser/rngp.h"

#define MSEL_MODULE "IbisParser\\msel"

namespace {

// The selector whose lines are being read; null outside the section.
MSEL* g_open = nullptr;

size_t NameLimit() { return HDR_GetVersionLevel() < 4 ? MSEL_NAME_MAX_BEFORE_4 : MSEL_NAME_MAX; }

// Copies word `index` of `words` into `dest` (room for MSEL_NAME_MAX + 1),
// cut to the version's limit; true when it had to be cut.
bool CopyName(const RNGP_WORDS& words, int index, char* dest) {
    char text[RNGP_WORD_MAX + 1];
    RNGP_WordText(&words, index, text, sizeof text);
    const size_t limit = NameLimit();
    const bool cut = std::strlen(text) > limit;
    if (cut) text[limit] = '\0';
    std::memcpy(dest, text, std::strlen(text) + 1);
    return cut;
}

// The selector of that name among the others of the list, newest first.
MSEL* FindOther(const MSEL* list, const char* name, const MSEL* except) {
    if (list == nullptr) return nullptr;
    // A record is added to the lookup only after it was compared with the
    // others, so the lookup never answers with `except` itself.
    if (MSEL_NamesComplete(list->index)) {
        auto* found = static_cast<MSEL*>(MSEL_NamesFind(list->index, name));
        return found != except ? found : nullptr;
    }
    for (const MSEL* selector = list; selector != nullptr; selector = selector->next)
        if (selector != except && std::strcmp(selector->name, name) == 0) return const_cast<MSEL*>(selector);
    return nullptr;
}

void NameLine(MSEL* selector, const char* line) {
    const char* rest = RNGP_AfterKeyword(line);
    RNGP_WORDS words;
    RNGP_SplitWords(rest != nullptr ? rest : "", 1, '\0', &words);
    if (words.found == 0) {
        MSG_ErrorLine(4010);
        return;
    }
    if (words.found > 1) MSG_ErrorLine(4011, words.found, "Model Selector", 1);
    if (CopyName(words, 0, selector->name)) MSG_ErrorLine(4012, static_cast<int>(NameLimit()));
    if (!CMN_IsNotReserved(selector->name)) MSG_ErrorLine(4013, selector->name);
    if (FindOther(selector->next, selector->name, selector) != nullptr) MSG_ErrorLine(4014, selector->name);
    MSEL_NamesAdd(selector->index, selector->name, selector);
}

bool AlreadyListed(const MSEL* selector, const char* name) {
    if (MSEL_NamesComplete(selector->modelNames)) return MSEL_NamesFind(selector->modelNames, name) != nullptr;
    for (const MSEL_ENTRY* entry = selector->models; entry != nullptr; entry = entry->next)
        if (std::strcmp(entry->name, name) == 0) return true;
    return false;
}

void ModelLine(MSEL* selector, const char* line) {
    RNGP_WORDS words;
    RNGP_SplitWords(line, 2, '\0', &words);
    if (words.found == 0) {
        MSG_ErrorLine(4016);
        return;
    }
    if (words.found == 1) MSG_ErrorLine(4011, 1, "Model Selector", 2);

    MSEL_ENTRY* entry = nullptr;
    if (!CMN_Calloc(&entry, sizeof *entry)) {
        MSG_ErrorLine(4008);
        return;
    }
    if (CopyName(words, 0, entry->name)) MSG_ErrorLine(4017, static_cast<int>(NameLimit()));
    if (CMN_StrEqualNoCase(entry->name, "NA")) MSG_ErrorLine(4018);

    // The description shares the line's room with the name.
    const char* description = RNGP_SkipBlanks(words.start[0] + words.length[0]);
    const size_t room = MSEL_LINE_TEXT_MAX - std::strlen(entry->name);
    size_t length = std::strlen(description);
    if (length > room) {
        MSG_ErrorLine(4019, description, static_cast<unsigned>(room));
        length = room;
    }
    std::memcpy(entry->description, description, length);
    entry->description[length] = '\0';

    if (AlreadyListed(selector, entry->name)) MSG_ErrorLine(4025, entry->name);
    if (selector->modelsTail == nullptr)
        selector->models = entry;
    else
        selector->modelsTail->next = entry;
    selector->modelsTail = entry;
    ++selector->modelCount;
    if (selector->modelNames == nullptr) selector->modelNames = MSEL_NamesNew();
    if (MSEL_NamesFind(selector->modelNames, entry->name) == nullptr)
        MSEL_NamesAdd(selector->modelNames, entry->name, entry);
}

void FreeEntries(MSEL_ENTRY* entry) {
    while (entry != nullptr) {
        MSEL_ENTRY* next = entry->next;
        CMN_Free(entry);
        entry = next;
    }
}

}  // namespace

int MSEL_Open() {
    g_open = nullptr;
    IBIS* ibis = nullptr;
    if (!IBIS_Current(&ibis)) {
        MSG_Bug(4000, MSEL_MODULE, __LINE__);
        return 0;
    }
    MSEL* record = nullptr;
    if (!CMN_Calloc(&record, sizeof *record)) {
        MSG_ErrorLine(4007);
        return 0;
    }
    record->single_ended = 2;
    MSEL* head = IBIS_GetSelectors(ibis);
    record->index = head != nullptr ? head->index : MSEL_NamesNew();
    IBIS_AddSelector(ibis, record);
    g_open = record;
    return 1;
}

int MSEL_HandleLine(int lineClass, int keyword, char* line) {
    MSG_REQUIRE(line != nullptr, MSEL_MODULE);
    if (lineClass == PARSE_LINE_KEYWORD) {
        if (g_open == nullptr)
            MSG_ErrorLine(4001);
        else if (keyword != KW::MODEL_SELECTOR)
            MSG_BugLine(4003, MSEL_MODULE, __LINE__);
        else
            NameLine(g_open, line);
        return 1;
    }
    if (lineClass != PARSE_LINE_DATA) {
        MSG_BugLine(4004, MSEL_MODULE, __LINE__);
        return 1;
    }
    if (g_open == nullptr || keyword != KW::MODEL_SELECTOR) {
        MSG_ErrorLine(4002);
        return 1;
    }
    ModelLine(g_open, line);
    return 1;
}

void MSEL_KeywordChange(int) {
    MSEL* selector = g_open;
    if (selector == nullptr) return;
    g_open = nullptr;
    if (selector->modelCount == 0)
        MSG_Error(4005, selector->name);
    else if (selector->modelCount == 1)
        MSG_Warning(4006, selector->name);
}

void MSEL_FreeList(MSEL* list) {
    if (list == nullptr) return;
    MSEL_NamesFree(list->index);
    while (list != nullptr) {
        MSEL* next = list->next;
        if (list == g_open) g_open = nullptr;
        FreeEntries(list->models);
        MSEL_NamesFree(list->modelNames);
        CMN_Free(list);
        list = next;
    }
}

int MSEL_Exists(const MSEL* list, const char* name) { return MSEL_Find(list, name) != nullptr; }

MSEL* MSEL_Find(const MSEL* list, const char* name) {
    MSG_REQUIRE(name != nullptr, MSEL_MODULE);
    return FindOther(list, name, nullptr);
}

int MSEL_ListsModel(const MSEL* selector, const char* modelName) {
    MSG_REQUIRE(selector != nullptr && modelName != nullptr, MSEL_MODULE);
    return AlreadyListed(selector, modelName) ? 1 : 0;
}
