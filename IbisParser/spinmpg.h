#pragma once
// [Series Pin Mapping] of a component: pin pairs joined by a Series or
// Series_switch model, and their closing checks.

struct CMPNT;
struct IBIS;
struct MDL;
struct SPINMPG;

// The [Series Pin Mapping] keyword line: the column headers after the keyword.
void SPINMPG_HeaderLine(CMPNT* component, const char* rest);
// One row.
void SPINMPG_RowLine(CMPNT* component, const char* line);
void SPINMPG_FreeList(SPINMPG* list);
// The closing checks: pins (2607, 2611, 2618) and models (2617 to 2631).
void SPINMPG_CheckComponent(const CMPNT* component, MDL* models, IBIS* ibis);
