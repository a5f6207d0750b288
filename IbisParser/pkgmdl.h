#pragma once
// [Define Package Model] and its keywords up to [End Package Model]:
// [Manufacturer], [OEM], [Description], [Number Of Sections], [Number Of Pins],
// [Pin Numbers] (plain, or with R/L/C sections and Forks) and the matrices of
// [Model Data].
//
// The file reader opens a record at [Define Package Model] and hands this
// section every line that falls under its keywords. Components look their
// package models up here, and a model the file does not define is searched
// for in the .pkg files beside it.

struct IBIS;
struct MTX;
struct SECT;

constexpr unsigned PKGMDL_NAME_MAX = 40;         // name, manufacturer, OEM
constexpr unsigned PKGMDL_DESCRIPTION_MAX = 60;
constexpr unsigned PKGMDL_PIN_NAME_MAX = 5;      // Pin_Numbers and [Row] names

// One entry of a pin's R/L/C description: a section, or a Fork holding a
// branch of further entries.
struct PKGMDL_NODE {
    PKGMDL_NODE* next;
    PKGMDL_NODE* parent;  // the Fork this entry sits in; null at the pin level
    SECT* section;        // null for a Fork
    PKGMDL_NODE* branch;  // the entries of a Fork
    PKGMDL_NODE* branchTail;
};

// One pin of Pin_Numbers.
struct PKGMDL_PIN {
    char name[PKGMDL_PIN_NAME_MAX + 1];
    unsigned sectionCount;  // sections in the whole tree, Forks included
    PKGMDL_NODE* sections;  // only with Number_of_Sections
    PKGMDL_NODE* sectionsTail;
};

struct PKGMDL {
    PKGMDL* next;
    char name[PKGMDL_NAME_MAX + 1];
    char manufacturer[PKGMDL_NAME_MAX + 1];
    char OEM[PKGMDL_NAME_MAX + 1];
    char description[PKGMDL_DESCRIPTION_MAX + 1];
    unsigned number_of_pins;      // 0 = not given
    unsigned number_of_sections;  // 0 = not given
    PKGMDL_PIN* pins;             // the Pin_Numbers names read, in order
    unsigned pinCount;
    unsigned pinCapacity;
    MTX* resistance;
    MTX* inductance;
    MTX* capacitance;
};

// Makes a new record at [Define Package Model] and puts it in front of the
// current IBIS record's list: 1, or 0 after a message.
int PKGMDL_Open();
// A keyword line (PARSE_LINE_KEYWORD) or data line (PARSE_LINE_DATA) under
// keyword `keyword`; 1 when it was taken.
int PKGMDL_HandleLine(int lineClass, int keyword, char* line);
// The keyword `next` follows one of this section's keywords; one outside
// the section closes the package model with its checks.
void PKGMDL_KeywordChange(int next);
// Closing checks of the file's package models: names defined twice (3410).
void PKGMDL_CheckList(PKGMDL* list);
// Releases a list with everything it holds.
void PKGMDL_FreeList(PKGMDL* list);

// --- Lookups ----------------------------------------------------------------
// The package model of that exact name in `list`, or null.
PKGMDL* PKGMDL_Find(PKGMDL* list, const char* name);
// The 1-based index of `name` in the open model's Pin_Numbers (its first
// occurrence); 0 when absent or no model is open.
unsigned PKGMDL_PinIndex(const char* name);
// The Pin_Numbers names of a model, by 0-based index below pinCount.
unsigned PKGMDL_PinNumberCount(const PKGMDL* model);
const char* PKGMDL_PinNumber(const PKGMDL* model, unsigned index);

// The package model `name` for a component of the current file: looked up
// among the file's package models; when absent, the .pkg files in the
// directory of the file being checked that define it are checked and their
// models added, and it is looked up again. The reading state and version
// level are kept. Null when found nowhere.
PKGMDL* PKGMDL_FindOrLoad(const char* name);
// Checks every .pkg file in the file's directory whose [Define Package
// Model] line starts with `name` (each file at most once per checked file):
// 1 when at least one file defines such a name.
int PKGMDL_LoadFromFiles(const char* name);
