#pragma once
// Checking one file from its name to its verdict.

// The kind of file a name is checked as (PARSE_KIND_...): by its extension,
// in any case; any other name is checked as an .ibs file.
int IbischeckKindOf(const char* name);

// Checks `name` as a file of kind `kind` and prints its report on standard
// output. Each file starts as in a fresh process: its counts, version level
// and directory are its own. True when the file Passed.
bool IbischeckFile(const char* name, int kind);
