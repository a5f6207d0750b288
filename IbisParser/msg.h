#pragma once
// Numbered findings of the IBIS checker: the message table, the issuing
// operations at five levels, the per-level counters and the closing summary.
//
// A caller names a message by its identifier and passes the values for the
// entry's printf-style text. The level is chosen by the call, not by the
// table, so one code may be issued as an error by one caller and as a warning
// by another.
//
// Message identifiers. Almost every code has one text, and its identifier is
// the code itself (100 to 4911). A few codes are shared by unrelated sections
// with different texts; those texts are told apart by a variant digit above
// the code: identifier = variant * MSG_VARIANT_STRIDE + code. The printed code
// (coded style) is always identifier % MSG_VARIANT_STRIDE. The named
// identifiers below cover every variant other than 0.
//
// All state (counters, switches, output stream, current line) is
// process-wide; the checker serves one thread at a time.

#include <cstdarg>
#include <cstdio>
#include <functional>
#include <string>

constexpr int MSG_VARIANT_STRIDE = 10000;

// Printed code of an identifier.
constexpr int MSG_CodeOf(int id) { return id % MSG_VARIANT_STRIDE; }

// --- Shared codes 3900 and 3901 --------------------------------------------
// typ/min/max ranges (variant 0): plain codes.
constexpr int MSG_RNG_UNABLE_TO_PARSE = 3900;     // "Unable to Parse %s: %s %d"
constexpr int MSG_RNG_NO_VALUE = 3901;            // "No %s Value Was Provided for %s"
// The top-level IBIS record (variant 1).
constexpr int MSG_IBIS_UNABLE_TO_CREATE = 13900;  // "Unable to create IBIS."
constexpr int MSG_IBIS_NO_COMPONENT = 13901;      // "Required keyword 'Component' not found."

// --- Shared codes 4300 to 4309 of the electrical board descriptions ---------
// Four groups of texts share these codes.
// Variant 0 (plain codes 4300-4309): the board section itself (keyword and
// data dispatch, board creation, [Number of Pins], open Forks, the board's
// closing checks and the duplicate-board check).
// Variant 1: node names inside [Path Description] and the validation of a
// file name in [Reference Designator Map].
constexpr int MSG_EBD_NODE_PIN_TOO_LONG = 14300;      // "Node Pin name string too long. will be truncated."
constexpr int MSG_EBD_NODE_HAS_EQUALS = 14301;        // "Found a Node '%s' containing '='. Possible syntax error"
constexpr int MSG_EBD_NODE_HAS_SLASH = 14302;         // "Found a Node '%s' containing '/'. Possible syntax error"
constexpr int MSG_EBD_NODE_SUSPICIOUS = 14303;        // "Found a Node '%s'. Possible syntax error"
constexpr int MSG_EBD_FILE_NO_EXTENSION = 14304;      // "Invalid file name '%s'. It has no extension"
constexpr int MSG_EBD_FILE_BAD_EXTENSION = 14305;     // "Unknown file extension'%s'. Should be '.ibs' or '.ebd'"
constexpr int MSG_EBD_FILE_UPPER_CASE = 14306;        // "File_name '%s' contains an upper case character '%c'."
constexpr int MSG_EBD_FILE_DOS_CHAR = 14307;          // "File_name '%s' contains a character '%c' that is illegal for DOS."
constexpr int MSG_EBD_FILE_EXTRA_PERIOD = 14308;      // "File_name '%s' contains more than one period."
// Variant 2: [Reference Designator Map] rows, and the allocation of the
// per-file reference lists built from them at the end of the file.
constexpr int MSG_EBD_MAP_COMPONENT_TOO_LONG = 24300;  // "Component name '%s' too long. Will be truncated"
constexpr int MSG_EBD_MAP_PINREF_ALLOC = 24301;        // "Unable to allocate PINREF."
constexpr int MSG_EBD_MAP_FILEREF_ALLOC = 24302;       // "Unable to allocate FILEREF."
constexpr int MSG_EBD_MAP_NO_COMPONENT = 24303;        // "No Component name found"
constexpr int MSG_EBD_MAP_ALLOC = 24304;               // "Cannot allocate reference designator"
constexpr int MSG_EBD_MAP_REFDES_TOO_LONG = 24305;     // "Reference Designator name '%s' too long. Will be truncated"
constexpr int MSG_EBD_MAP_DUPLICATE_REFDES = 24306;    // "Duplicate Reference Designator '%s'"
constexpr int MSG_EBD_MAP_NO_REFDES = 24307;           // "No Reference Designator name found"
constexpr int MSG_EBD_MAP_FILE_TOO_LONG = 24308;       // "File name '%s' too long. Will be truncated"
constexpr int MSG_EBD_MAP_NO_FILE = 24309;             // "No file name found"
// Variant 3: end-of-file resolution of nodes against referenced components.
constexpr int MSG_EBD_REF_COMPONENT_NOT_FOUND = 34300;  // "Component '%s' not found in file '%s'"
constexpr int MSG_EBD_REF_SELF = 34301;                 // "Reference Designator '%s' refers to the Component '%s' itself being defined"
constexpr int MSG_EBD_REF_PIN_TOO_LONG = 34303;         // "Length of Pin '%s' referenced for Component '%s' is too long"
constexpr int MSG_EBD_REF_RECURSIVE = 34304;            // "Ebd file '%s' recursively references the component %s in the calling Ebd file '%s'"
constexpr int MSG_EBD_REF_PIN_NOT_FOUND = 34309;        // "Pin '%s' not found on Component '%s' in file '%s'"

// Severity of a message; also selects its counter and suppression switch.
enum MSG_Level { MSG_LEVEL_BUG, MSG_LEVEL_ERROR, MSG_LEVEL_WARNING, MSG_LEVEL_CAUTION, MSG_LEVEL_NOTE };

// Size of the buffer the filled text is formatted into; longer texts are cut
// to MSG_BUFFER_SIZE - 1 characters.
constexpr int MSG_BUFFER_SIZE = 2208;

// --- Issuing -----------------------------------------------------------------
// Each takes the message identifier, then the values for its format text.
// The ...Line forms show the current line number.
void MSG_Bug(int id, ...);
void MSG_BugLine(int id, ...);
void MSG_Error(int id, ...);
void MSG_ErrorLine(int id, ...);
void MSG_Warning(int id, ...);
void MSG_WarningLine(int id, ...);
void MSG_Caution(int id, ...);
void MSG_Note(int id, ...);
void MSG_NoteLine(int id, ...);

// The common path of all issuing operations, for callers that forward their
// own variable arguments.
void MSG_IssueV(MSG_Level level, bool withLine, int id, va_list args);

// --- Records -----------------------------------------------------------------
// Every finding is recorded as it is issued, and the report prints it from
// its record. Other forms of the report (JSON, SARIF) are built from the
// records too, so none of them ever has to read a finding back out of the
// printed text, where a text holding line breaks or words that look like a
// message head would be ambiguous.
struct MSG_Record {
    std::string file;          // the file being read, from the file source; empty without one
    bool hasLine = false;      // issued by a ...Line form
    unsigned long line = 0;    // the current line then
    MSG_Level level = MSG_LEVEL_ERROR;
    int code = 0;              // the printed code (MSG_CodeOf of the identifier)
    std::string text;          // the filled text as printed, unwrapped; its own line breaks kept
};

// Receives each record before it is printed. Suppressed messages and
// unknown codes make none. Empty: records are only printed.
using MSG_RecordSink = std::function<void(const MSG_Record&)>;
void MSG_SetRecordSink(MSG_RecordSink sink);

// Names the file a finding belongs to, asked once per finding. Empty: the
// records' file stays empty.
using MSG_FileSource = std::function<std::string()>;
void MSG_SetFileSource(MSG_FileSource source);

// The report's text of a record in the style in force: prefix, line number,
// the text behind the prefix or wrapped onto a line of its own, line feed.
std::string MSG_Render(const MSG_Record& record);

// --- Counters, switches, output ----------------------------------------------
// Prints the counts and the verdict "Passed" or "Failed" for one file.
void MSG_Summary();
// Any pointer may be null.
void MSG_GetCounts(int* bugs, int* errors, int* warnings);
int MSG_GetCautionCount();
// Sets all four counters back to zero (used between files by a tool that
// checks several files and wants one verdict each).
void MSG_ResetCounts();

// The stream all messages and the summary go to; null means standard output.
void MSG_SetOutput(FILE* stream);
FILE* MSG_GetOutput();

// Nonzero silences the level (nothing printed, nothing counted).
void MSG_SuppressBugs(int on);
void MSG_SuppressErrors(int on);
void MSG_SuppressWarnings(int on);

// Nonzero selects the coded style ("E0906 - ..."); zero the plain style
// ("ERROR - ..."), which is in force from the start.
void MSG_SetCodedStyle(int on);

// The number of the line being read, shown by the ...Line forms. Set by the
// file reader.
void MSG_SetCurrentLine(unsigned long line);
unsigned long MSG_GetCurrentLine();

// Table index of an identifier, or -1. The table is sorted by identifier.
int MSG_FindCode(int id);
// Format text of an identifier (the text of entry 0 when unknown).
const char* MSG_TextOf(int id);
// Number of table entries, entry 0 included.
int MSG_TableSize();

// --- Internal consistency checks ---------------------------------------------
// A helper whose caller broke its contract (a missing pointer where one is
// required) prints "<module>:<line>:assertion failed." to standard output and
// ends the process. This is a programming error, never a finding.
[[noreturn]] void MSG_InternalCheckFailed(const char* module, int line);

// Convenience for the check above: MSG_REQUIRE(ptr != nullptr, "IbisParser\\cmn").
#define MSG_REQUIRE(condition, module)                                   \
    do {                                                                 \
        if (!(condition)) MSG_InternalCheckFailed((module), __LINE__);   \
    } while (0)
