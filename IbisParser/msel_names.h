#pragma once
// A lookup from names to records, shared by the selector and submodel
// sections: a file may hold thousands of selectors or submodels, each name
// of which is compared with all the others, and every pin that names a
// selector looks it up.
//
// The names are not copied: each must stay in place (inside its record)
// for as long as the lookup lives. When memory runs out, Add reports it and
// the lookup becomes incomplete; callers then search their lists instead.

struct MSEL_NAMES;

// A new empty lookup, or null when memory is short.
MSEL_NAMES* MSEL_NamesNew();
// Maps `name` to `record` (a later record of the same name replaces the
// earlier one). Returns the record the name mapped to before, or null.
void* MSEL_NamesAdd(MSEL_NAMES* names, const char* name, void* record);
// The record `name` maps to, or null.
void* MSEL_NamesFind(const MSEL_NAMES* names, const char* name);
// Whether every Add so far succeeded (false for a null lookup).
bool MSEL_NamesComplete(const MSEL_NAMES* names);
void MSEL_NamesFree(MSEL_NAMES* names);
