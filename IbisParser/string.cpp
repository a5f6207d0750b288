// Text lists and the name tally.

#include "IbisParser/string.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"

#define STRING_MODULE "IbisParser\\string"

namespace {

// The tally: a list of names with their counts, newest first.
struct TallyEntry {
    char* name;
    int count;
    TallyEntry* next;
};
TallyEntry* g_tally = nullptr;

TallyEntry* FindTally(const char* name) {
    for (TallyEntry* entry = g_tally; entry != nullptr; entry = entry->next)
        if (std::strcmp(entry->name, name) == 0) return entry;
    return nullptr;
}

char* CopyText(const char* text) {
    const size_t size = std::strlen(text) + 1;
    char* copy = nullptr;
    if (!CMN_Calloc(&copy, size)) return nullptr;
    std::memcpy(copy, text, size);
    return copy;
}

}  // namespace

int STRING_Add(STRING** list, const char* text) {
    MSG_REQUIRE(list != nullptr && text != nullptr, STRING_MODULE);
    STRING* node = nullptr;
    if (!CMN_Calloc(&node, sizeof *node)) {
        MSG_Bug(2100, STRING_MODULE, __LINE__);
        return 0;
    }
    node->text = CopyText(text);
    if (node->text == nullptr) {
        MSG_Bug(2100, STRING_MODULE, __LINE__);
        CMN_Free(node);
        return 0;
    }
    node->next = *list;
    *list = node;
    return 1;
}

int STRING_AddSeveral(STRING** list, const char* const* texts, int count) {
    MSG_REQUIRE(list != nullptr && (texts != nullptr || count == 0), STRING_MODULE);
    for (int i = 0; i < count; ++i)
        if (!STRING_Add(list, texts[i])) return 0;
    return 1;
}

int STRING_AddUnique(STRING** list, const char* text) {
    MSG_REQUIRE(list != nullptr && text != nullptr, STRING_MODULE);
    if (STRING_Find(*list, text) != nullptr) return 1;
    return STRING_Add(list, text);
}

STRING* STRING_Find(STRING* list, const char* text) {
    MSG_REQUIRE(text != nullptr, STRING_MODULE);
    for (STRING* node = list; node != nullptr; node = node->next)
        if (std::strcmp(node->text, text) == 0) return node;
    return nullptr;
}

STRING* STRING_Next(const STRING* node) { return node != nullptr ? node->next : nullptr; }

const char* STRING_Text(const STRING* node) { return node != nullptr ? node->text : nullptr; }

void STRING_FreeList(STRING* list) {
    while (list != nullptr) {
        STRING* next = list->next;
        CMN_Free(list->text);
        CMN_Free(list);
        list = next;
    }
}

void STRING_TallyClear() {
    while (g_tally != nullptr) {
        TallyEntry* next = g_tally->next;
        CMN_Free(g_tally->name);
        CMN_Free(g_tally);
        g_tally = next;
    }
}

int STRING_TallyCount(const char* name) {
    MSG_REQUIRE(name != nullptr, STRING_MODULE);
    if (TallyEntry* entry = FindTally(name)) return entry->count++;
    TallyEntry* entry = nullptr;
    if (!CMN_Calloc(&entry, sizeof *entry)) {
        MSG_Bug(2100, STRING_MODULE, __LINE__);
        return 0;
    }
    entry->name = CopyText(name);
    if (entry->name == nullptr) {
        MSG_Bug(2100, STRING_MODULE, __LINE__);
        CMN_Free(entry);
        return 0;
    }
    entry->count = 1;
    entry->next = g_tally;
    g_tally = entry;
    return 0;
}

int STRING_TallyOf(const char* name) {
    MSG_REQUIRE(name != nullptr, STRING_MODULE);
    if (const TallyEntry* entry = FindTally(name)) return entry->count;
    MSG_Bug(2101, STRING_MODULE, __LINE__);
    return 0;
}
