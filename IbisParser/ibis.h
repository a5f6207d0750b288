#pragma once
// The record that ties one checked file together, the sequence that checks a
// file from its name to the summary, and the opening of files by kind.
//
// Checking one file:
//     IBIS_New();
//     int read = PARSE_ReadFile(name, kind);
//     if (read) IBIS_Finish(kind, read);
//     IBIS_End();
// Files that a board description names are checked with the same sequence
// while the board's own record waits below them on the stack.

#include <cstdio>

struct HDR;
struct CMPNT;
struct MDL;
struct CIRCUIT;
struct SUBMDL;
struct PKGMDL;
struct EBDMDL;
struct MSEL;
struct TESTDATA;
struct TESTLOAD;

// Every record the sections open while one file is read. Each list is
// singly linked with new elements in front (newest first); the record owns
// them all.
struct IBIS {
    IBIS* previous;  // the record that was current before this one
    HDR* headers;
    CMPNT* components;
    MDL* models;
    CIRCUIT* circuits;  // [External Circuit]
    SUBMDL* submodels;
    PKGMDL* packageModels;
    EBDMDL* boards;
    MSEL* selectors;
    TESTDATA* testData;
    TESTLOAD* testLoads;
};

// A new empty record becomes current: 1, or ERROR 3900 and 0.
int IBIS_New();
// 1 and the current record in *place, or 0 (and null) when there is none.
int IBIS_Current(IBIS** place);
// Unlinks `record` from the stack and releases it with all its lists.
void IBIS_Free(IBIS* record);
// The closing checks of a file of kind `kind` after it was read.
void IBIS_Finish(int kind, int readResult);
// Releases the current record and prints the summary.
void IBIS_End();

// List getters (null for an empty list) and adders (put in front).
HDR* IBIS_GetHeaders(const IBIS* ibis);
CMPNT* IBIS_GetComponents(const IBIS* ibis);
MDL* IBIS_GetModels(const IBIS* ibis);
CIRCUIT* IBIS_GetCircuits(const IBIS* ibis);
SUBMDL* IBIS_GetSubmodels(const IBIS* ibis);
PKGMDL* IBIS_GetPackageModels(const IBIS* ibis);
EBDMDL* IBIS_GetBoards(const IBIS* ibis);
MSEL* IBIS_GetSelectors(const IBIS* ibis);
TESTDATA* IBIS_GetTestData(const IBIS* ibis);
TESTLOAD* IBIS_GetTestLoads(const IBIS* ibis);
void IBIS_AddHeader(IBIS* ibis, HDR* header);
void IBIS_AddComponent(IBIS* ibis, CMPNT* component);
void IBIS_AddModel(IBIS* ibis, MDL* model);
void IBIS_AddCircuit(IBIS* ibis, CIRCUIT* circuit);
void IBIS_AddSubmodel(IBIS* ibis, SUBMDL* submodel);
void IBIS_AddPackageModel(IBIS* ibis, PKGMDL* packageModel);
void IBIS_AddBoard(IBIS* ibis, EBDMDL* board);
void IBIS_AddSelector(IBIS* ibis, MSEL* selector);
void IBIS_AddTestData(IBIS* ibis, TESTDATA* testData);
void IBIS_AddTestLoad(IBIS* ibis, TESTLOAD* testLoad);

// --- Opening files ---------------------------------------------------------------
// Longest directory prefix, file name and assembled path kept.
constexpr int IBIS_PATH_MAX = 1024;

// Opens `name` as a file of kind `kind` (PARSE_KIND_...) for reading.
// A directory part of the name (up to the last '\' or '/') becomes the
// directory prefix; a name without one is looked for in the prefix of the
// last name that had one. The extension must be the kind's (any case; a name
// without extension gets it appended). When the path does not open as given,
// it is tried in lower case and then in upper case. 1 with the open stream
// in *stream and the file name (without directory) in `fileName` (room for
// IBIS_PATH_MAX + 1 bytes); 0 after a message (1901, 1904, 1905).
int CMN_OpenIbisFile(const char* name, int kind, FILE** stream, char* fileName);
// As CMN_OpenIbisFile for a name that was opened before: the extension
// findings (1900, 1902, 1903, 1924) are not repeated.
int IBIS_ReopenFile(const char* name, int kind, FILE** stream, char* fileName);

// The directory (ending in its separator) that names without one are looked
// for in; empty at the start.
const char* IBIS_DirectoryPrefix();
// Sets the prefix (cut to IBIS_PATH_MAX characters); for a caller that checks
// unrelated files one after another.
void IBIS_SetDirectoryPrefix(const char* prefix);
