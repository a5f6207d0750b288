#pragma once
// Lists of texts, and the name tally that counts how often a name is used in
// a file.

// One node of a text list; lists are built by putting nodes in front.
struct STRING {
    char* text;  // owned
    STRING* next;
};

// Puts a copy of `text` in front of *list: 1, or 0 after PROGRAM BUG 2100.
int STRING_Add(STRING** list, const char* text);
// Puts copies of `count` texts in front of *list, one after the other (the
// last text ends up first): 1, or 0 when memory ran out.
int STRING_AddSeveral(STRING** list, const char* const* texts, int count);
// Puts a copy of `text` in front of *list unless the list holds it already:
// 1 when present or added, 0 when memory ran out.
int STRING_AddUnique(STRING** list, const char* text);
// The node holding exactly `text`, or null.
STRING* STRING_Find(STRING* list, const char* text);
STRING* STRING_Next(const STRING* node);
const char* STRING_Text(const STRING* node);
void STRING_FreeList(STRING* list);

// --- Name tally (process-wide) -------------------------------------------------
// Forgets every name.
void STRING_TallyClear();
// Counts one use of `name` and returns the count before it: 0 for a name
// met for the first time.
int STRING_TallyCount(const char* name);
// How often `name` was counted; a name never counted is PROGRAM BUG 2101
// and 0.
int STRING_TallyOf(const char* name);
