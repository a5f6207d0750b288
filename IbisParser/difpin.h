#pragma once
// [Diff Pin] of a component: differential pin pairs with their threshold and
// delays, and their closing checks.

struct CMPNT;
struct DIFPIN;

// The [Diff Pin] keyword line: the column headers after the keyword.
void DIFPIN_HeaderLine(CMPNT* component, const char* rest);
// One row.
void DIFPIN_RowLine(CMPNT* component, const char* line);
void DIFPIN_FreeList(DIFPIN* list);
// The closing checks: pins that are not [Pin] rows (810, 811) and pins used
// twice (812 to 815).
void DIFPIN_CheckComponent(const CMPNT* component);
