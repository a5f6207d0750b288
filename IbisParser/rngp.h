#pragma once
// Point tables, the common ground of every I-V table and waveform: rows of a
// first-column value (voltage or time) and typical, minimum and maximum
// values, each of which may be absent, given or "NA". Also the reading of
// the one-number sub-parameter lines ("R_fixture = 50") that tables and
// models share.
//
// Rows are kept in file order in one growing array per table: tables are
// read front to back and walked in order, and an array costs a fraction of
// the memory of a linked list of rows.

#include <cstddef>

struct RNGP_SEEN;

// One row.
struct RNGP {
    double x;            // first column
    double value[3];     // indexed by RNG_TYP, RNG_MIN, RNG_MAX
    signed char xState;  // CMN_OPT_ABSENT, CMN_OPT_GIVEN or CMN_OPT_NA
    signed char state[3];
};

// The rows of one table, in file order.
struct RNGP_TABLE {
    RNGP* rows;
    int count;
    int capacity;
    // While rows are appended with the duplicate check: the span of the
    // first-column values given so far, and (only once a value fell inside
    // that span) the set of all of them.
    double low;
    double high;
    int spanKnown;
    RNGP_SEEN* seen;
};

// Reads one data line of four words (first column, typical, minimum,
// maximum) into *point. Missing words are reported (1401, naming `label`),
// surplus ones too (1402); each word is read as an optional value (1909,
// 1910 name `label` and the column). A value that cannot be read is left
// absent and the row is kept. 1 when the row should be appended.
int RNGP_ReadRow(const char* line, const char* label, const char* firstColumn, RNGP* point);

// Appends a copy of *point at the end of the table. With `checkDuplicates`,
// a given first-column value equal to an earlier row's is warning 1403.
// Returns the new number of rows, or 0 when memory ran out (reported, the
// row is dropped).
int RNGP_Append(RNGP_TABLE* table, const RNGP* point, int checkDuplicates);

// No more rows will come: releases the duplicate lookup and trims the row
// storage to its size.
void RNGP_FinishAppending(RNGP_TABLE* table);
// Whether any row gives a value in column `corner` (RNG_TYP, RNG_MIN, RNG_MAX).
bool RNGP_AnyGiven(const RNGP_TABLE* table, int corner);
// The column's name in messages: "Typical", "Minimum" or "Maximum".
const char* RNGP_ColumnName(int corner);

// Releases the rows (the table itself belongs to its owner) and clears it.
void RNGP_FreeRows(RNGP_TABLE* table);

// --- Words without copies ---------------------------------------------------------
// The blank- or tab-separated words of a line as spans into it, for the hot
// paths that read every table row.
constexpr int RNGP_MAX_WORDS = 8;
// Longest word worth copying: checker lines are shorter.
constexpr size_t RNGP_WORD_MAX = 1024;

struct RNGP_WORDS {
    const char* start[RNGP_MAX_WORDS];
    size_t length[RNGP_MAX_WORDS];
    int stored;  // spans kept, at most RNGP_MAX_WORDS
    int found;   // words seen, possibly more
};

// Splits `line` at blanks and tabs, keeping at most `capacity` (up to
// RNGP_MAX_WORDS) spans. `stop`, when not NUL, also ends a word and is a
// word of its own.
void RNGP_SplitWords(const char* line, int capacity, char stop, RNGP_WORDS* words);
// The same, but it stops after `capacity` words: `found` counts only those,
// and the rest of the line is not looked at.
void RNGP_LeadingWords(const char* line, int capacity, char stop, RNGP_WORDS* words);

// Copies word `index` into `buffer` (cut to size - 1 characters); returns
// `buffer`, or an empty text for a word that was not kept.
char* RNGP_WordText(const RNGP_WORDS* words, int index, char* buffer, size_t size);

// Skips blanks and tabs (also past a whole line, whatever its length).
const char* RNGP_SkipBlanks(const char* text);

// The text after the first ']' of a keyword line, blanks skipped; null when
// the line holds no ']'.
const char* RNGP_AfterKeyword(const char* line);

// Number of blank-separated words in `text`.
int RNGP_CountWords(const char* text);

// --- One-number sub-parameters: "name = value" ---------------------------------------
// The messages of one section for the name = value form. Each text takes
// the arguments shown.
struct RNGP_NAMEVALUE {
    int itemCountCode;           // "Incorrect Number of Line Items (%d) For %s: Expecting %d"
    const char* itemCountLabel;  // its %s; null: the sub-parameter name
    int badLineCode;             // "Invalid %s Line" (name)
    int badValueCode;            // "Invalid %s Value ("%s")" (name, value text)
    int suspiciousCode;          // "Suspicious %s %s Value (...)" (label, name, text); 0: none
    const char* suspiciousLabel;
};

// Reads a line "name = value" (blanks, tabs and '=' separate the words, '='
// being a word of its own) for the sub-parameter `name`. Wrong item counts,
// a missing '=' and an unreadable number are reported with the section's
// messages. 1 and *value when a number was read, else 0.
int RNGP_ReadNameValue(const char* line, const char* name, const RNGP_NAMEVALUE& messages, double* value);
