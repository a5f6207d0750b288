// [Series Switch Groups]: groups of series switch functions, each running
// from its state ("On" or "Off") to a "/" and possibly over several lines.

#include "IbisParser/sswch.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt_internal.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"
#include "IbisParser/spinmpg.h"

namespace {

// One word of a line: where it starts and how long it is.
struct Word {
    const char* start;
    size_t length;
};

bool NextWord(const char** cursor, Word* word) {
    const char* start = CMPNT_SkipBlanks(*cursor);
    if (*start == '\0') return false;
    const char* end = CMPNT_SkipWord(start);
    word->start = start;
    word->length = static_cast<size_t>(end - start);
    *cursor = end;
    return true;
}

bool WordIs(const Word& word, const char* text) {
    return word.length == std::strlen(text) && std::strncmp(word.start, text, word.length) == 0;
}

SSWCH* StartGroup(CMPNT* component, const char* state) {
    SSWCH* group = nullptr;
    if (!CMN_Calloc(&group, sizeof *group)) {
        MSG_ErrorLine(2508);
        MSG_ErrorLine(2501);
        MSG_ErrorLine(533, "Series_Switch_Group");
        return nullptr;
    }
    std::strcpy(group->state, state);
    if (component->seriesSwitchGroupsTail != nullptr)
        component->seriesSwitchGroupsTail->next = group;
    else
        component->series_switch_groups = group;
    component->seriesSwitchGroupsTail = group;
    return group;
}

void AddName(SSWCH* group, const Word& word) {
    const size_t bytes = static_cast<size_t>(group->group_count + 1) * sizeof group->group_names[0];
    if (!CMN_Realloc(&group->group_names, bytes)) {
        MSG_ErrorLine(2503);
        return;
    }
    char* name = group->group_names[group->group_count];
    char* whole = CMN_SubStr(word.start, word.length);
    if (whole == nullptr) {
        MSG_ErrorLine(2503);
        return;
    }
    ++group->group_count;
    if (word.length > CMPNT_GROUP_NAME_MAX) MSG_ErrorLine(2504, whole, CMPNT_GROUP_NAME_MAX);
    const size_t kept = word.length > CMPNT_GROUP_NAME_MAX ? CMPNT_GROUP_NAME_MAX : word.length;
    std::memcpy(name, whole, kept);
    name[kept] = '\0';
    CMN_Free(whole);

    if (std::strcmp(name, "On") == 0 || std::strcmp(name, "Off") == 0) MSG_ErrorLine(2505);
    for (int i = 0; i + 1 < group->group_count; ++i)
        if (std::strcmp(group->group_names[i], name) == 0) {
            MSG_ErrorLine(2506, name);
            break;
        }
    CMN_CheckReserved(name);
}

}  // namespace

void SSWCH_KeywordLine(CMPNT* component, const char* rest) {
    if (component->series_switch_groups != nullptr) MSG_ErrorLine(546);
    int words = 0;
    Word word;
    for (const char* cursor = rest; NextWord(&cursor, &word);) ++words;
    if (words > 0) MSG_ErrorLine(539, words + 1, "Series_Switch_Groups", 1);
    g_cmpnt.group = nullptr;
    g_cmpnt.groupClosed = 1;
}

void SSWCH_GroupLine(CMPNT* component, const char* line) {
    const char* cursor = line;
    Word word = {"", 0};
    if (g_cmpnt.groupClosed || g_cmpnt.group == nullptr) {
        const bool any = NextWord(&cursor, &word);
        char state[4] = {};
        if (any && WordIs(word, "On")) std::strcpy(state, "On");
        if (any && WordIs(word, "Off")) std::strcpy(state, "Off");
        if (state[0] == '\0') {
            char* text = CMN_SubStr(word.start, word.length);
            MSG_ErrorLine(2500, text != nullptr ? text : "");
            if (text != nullptr) CMN_Free(text);
            return;
        }
        g_cmpnt.group = StartGroup(component, state);
        if (g_cmpnt.group == nullptr) return;
        g_cmpnt.groupClosed = 0;
        if (*CMPNT_SkipBlanks(cursor) == '\0') MSG_ErrorLine(2502);
    }
    while (NextWord(&cursor, &word)) {
        if (WordIs(word, "/")) {
            g_cmpnt.groupClosed = 1;
            break;
        }
        AddName(g_cmpnt.group, word);
    }
    // A group still open when the next keyword comes was never ended.
    PARSE_SetKeywordNotTerminated(!g_cmpnt.groupClosed);
}

void SSWCH_FreeList(SSWCH* list) {
    while (list != nullptr) {
        SSWCH* next = list->next;
        if (list->group_names != nullptr) CMN_Free(list->group_names);
        CMN_Free(list);
        list = next;
    }
}

void SSWCH_CheckComponent(const CMPNT* component) {
    for (const SSWCH* group = component->series_switch_groups; group != nullptr; group = group->next) {
        for (int i = 0; i < group->group_count; ++i) {
            const char* name = group->group_names[i];
            bool used = false;
            for (const SPINMPG* row = component->series_pin_mappings; row != nullptr && !used; row = row->next)
                used = std::strcmp(row->function_table_group, name) == 0;
            if (!used) MSG_Warning(2507, component->name, name);
        }
    }
}
