#pragma once
// [Series Switch Groups] of a component: the groups of series switch
// functions that turn on or off together.

struct CMPNT;
struct SSWCH;

// The [Series Switch Groups] keyword line.
void SSWCH_KeywordLine(CMPNT* component, const char* rest);
// One line of groups; a group runs from "On" or "Off" to "/" and may span
// lines.
void SSWCH_GroupLine(CMPNT* component, const char* line);
void SSWCH_FreeList(SSWCH* list);
// The closing check: every group name is a function of some [Series Pin
// Mapping] row (2507).
void SSWCH_CheckComponent(const CMPNT* component);
