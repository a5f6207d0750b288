#pragma once
// [Alternate Package Models] of a component: the names of the other package
// models it may be used with, up to [End Alternate Package Models].

struct APKG;
struct CMPNT;

// The [Alternate Package Models] and [End Alternate Package Models] keyword
// lines; `rest` is the text after the keyword.
void APKG_KeywordLine(CMPNT* component, const char* rest);
void APKG_EndLine(CMPNT* component, const char* rest);
// One package model name.
void APKG_NameLine(CMPNT* component, const char* line);
void APKG_FreeList(APKG* list);
