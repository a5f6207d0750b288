#pragma once
// [Pin] of a component: its header, its rows (pin name, signal name, model
// name and the optional R_pin, L_pin and C_pin columns) and the closing
// checks of the pins against the file's models.

struct CMPNT;
struct IBIS;
struct MDL;
struct PIN;

// The [Pin] keyword line: the column headers after the keyword.
void PIN_HeaderLine(CMPNT* component, const char* rest);
// One row.
void PIN_RowLine(CMPNT* component, const char* line);
void PIN_FreeList(PIN* list);

// Positions (0, 1, 2) of R_pin, L_pin and C_pin among the optional columns,
// as the last [Pin] header set them.
void PIN_GetColumnOrder(int order[3]);

// The closing checks of each pin: its model (608, 609, 610, 611) and its
// mapping (612).
void PIN_CheckComponent(CMPNT* component, MDL* models, IBIS* ibis);
// Pins whose model is differential but not used as a [Diff Pin] (544, 545).
void PIN_CheckDiffModels(const CMPNT* component, MDL* models);
