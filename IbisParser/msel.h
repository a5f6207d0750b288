#pragma once
// [Model Selector]: a named set of models that a pin may be switched
// between instead of naming one [Model].
//
// The file reader opens a record at [Model Selector] (MSEL_Open) and hands
// this section the keyword line and its data lines (MSEL_HandleLine), one
// listed model per line; the next keyword of any kind ends the selector
// (MSEL_KeywordChange). Once the whole file has been read, MSEL_CheckList
// judges the listed models against the file's models and decides whether
// each selector is differential; the component checks then look selectors
// up by name.

struct MSEL_NAMES;

// Longest selector and model name from version level 4 on (20 below it),
// and the room a model's name and description share on one line.
constexpr int MSEL_NAME_MAX = 40;
constexpr int MSEL_NAME_MAX_BEFORE_4 = 20;
constexpr int MSEL_LINE_TEXT_MAX = 80;

// One listed model; the entries of a selector are in file order.
struct MSEL_ENTRY {
    MSEL_ENTRY* next;
    char name[MSEL_NAME_MAX + 1];
    char description[MSEL_LINE_TEXT_MAX + 1];
};

struct MSEL {
    MSEL* next;
    char name[MSEL_NAME_MAX + 1];
    MSEL_ENTRY* models;
    MSEL_ENTRY* modelsTail;
    int modelCount;
    // 2 until the end-of-file checks; then 0 when the first listed model is
    // differential, else 1.
    int single_ended;
    // The names of the listed models (owned by this selector).
    MSEL_NAMES* modelNames;
    // The names of all selectors of the list, shared by its records and
    // owned by the last one (the oldest).
    MSEL_NAMES* index;
};

// --- The file reader's side ---------------------------------------------------------
// Makes a new record at [Model Selector], puts it in front of the current
// IBIS record's list and opens it: 1, or 0 after a message (4000, 4007).
int MSEL_Open();
// A keyword line (PARSE_LINE_KEYWORD) or data line (PARSE_LINE_DATA) under
// keyword `keyword`. Without an open selector: 4001 or 4002. Returns 1.
int MSEL_HandleLine(int lineClass, int keyword, char* line);
// The keyword `next` follows the selector: it ends, with 4005 when it
// lists no model and 4006 when it lists only one.
void MSEL_KeywordChange(int next);
// The closing checks of every selector of the current file (after the
// whole file was read, before the component checks): a [Model] of the same
// name (4021), listed models that are not defined (4024), and selectors
// that mix differential and single-ended models (4022, 4023). Sets each
// selector's single_ended.
void MSEL_CheckList(MSEL* list);
// Releases a list with everything it holds.
void MSEL_FreeList(MSEL* list);

// --- Lookups by exact name over a selector list ----------------------------------------
// 1 when a selector of that name exists.
int MSEL_Exists(const MSEL* list, const char* name);
// The selector of that name (the newest, should there be several), or null.
MSEL* MSEL_Find(const MSEL* list, const char* name);
// Whether `selector` lists the model `modelName`.
int MSEL_ListsModel(const MSEL* selector, const char* modelName);
