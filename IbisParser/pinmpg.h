#pragma once
// [Pin Mapping] of a component: the pullup, pulldown, GND clamp, POWER clamp
// and external reference buses of each pin, and their closing checks.

struct CMPNT;
struct PINMPG;

// The [Pin Mapping] keyword line: the column headers after the keyword.
void PINMPG_HeaderLine(CMPNT* component, const char* rest);
// One row.
void PINMPG_RowLine(CMPNT* component, const char* line);
void PINMPG_FreeList(PINMPG* list);
// The closing checks: supply pins with unusual references (709 to 714),
// rows without a pin (715), and buses that reach no supply pin (716 to 727).
void PINMPG_CheckComponent(const CMPNT* component);
