#pragma once
// Lookup of component rows by their exact name. A component may hold
// thousands of pins, and every table row and cross-check looks its pin up,
// so the rows of one table are indexed by name; the first row of a name is
// the one kept.

struct CMPNT_NAMES;

// Makes the index in *index on first use. Returns the record already kept
// under `name`, or null after keeping `record` there (also when memory is
// short, in which case the name stays unindexed).
void* CMPNT_NamesAdd(CMPNT_NAMES** index, const char* name, void* record);
// The record kept under `name`, or null. A null index holds nothing.
void* CMPNT_NamesFind(const CMPNT_NAMES* index, const char* name);
void CMPNT_NamesFree(CMPNT_NAMES* index);
