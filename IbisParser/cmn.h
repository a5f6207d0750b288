#pragma once
// Common lexical helpers of the IBIS checker: checked memory, line reading
// with character checks, cursors and tokens, case-insensitive comparison,
// numbers with IBIS scale suffixes and "NA", length-limited text fields, the
// reserved-word check and the Len/L/R/C item reader.
//
// All helpers work on plain NUL-terminated byte strings. Blocks handed out by
// the memory helpers (and by CMN_StrDup, CMN_SubStr, CMN_ReadWholeLine,
// CMN_SplitTokens) are released with CMN_Free / CMN_FreePtr.
//
// A caller that breaks a helper's contract (a missing pointer where one is
// required) ends the process through MSG_InternalCheckFailed.

#include <cstddef>
#include <cstdio>

// --- Results and states --------------------------------------------------------
// Number conversions.
constexpr int CMN_NUM_BAD = 0;         // not a number
constexpr int CMN_NUM_GOOD = 1;
constexpr int CMN_NUM_SUSPICIOUS = 2;  // a number, but trailing or odd characters

// State of an optional value (CMN_GetOptionalValue).
constexpr int CMN_OPT_ABSENT = 0;
constexpr int CMN_OPT_GIVEN = 1;
constexpr int CMN_OPT_NA = 2;

// Item codes of CMN_ParseRLC.
constexpr int CMN_RLC_ERROR = 0;
constexpr int CMN_RLC_LEN = 1;
constexpr int CMN_RLC_R = 2;
constexpr int CMN_RLC_C = 3;
constexpr int CMN_RLC_L = 4;
constexpr int CMN_RLC_SLASH = 5;
constexpr int CMN_RLC_END = 6;

// Longest text CMN_SetField keeps, and the most a truncating copy reports.
constexpr size_t CMN_FIELD_MAX = 1024;
constexpr size_t CMN_REPORT_LIMIT_MAX = 2176;

// A line split into tokens. `tokens` has `capacity` slots; the first `stored`
// hold owned copies, the rest are null. `found` counts every token seen,
// including those that did not fit.
struct TOKENLIST {
    int capacity = 0;
    int stored = 0;
    int found = 0;
    char** tokens = nullptr;
};

// --- Memory ----------------------------------------------------------------------
// Zeroed block of `size` bytes into *place: 1, or ERROR 1906 and 0.
int CMN_Calloc(void** place, size_t size);
// Resizes the block *place: 1, or ERROR 1907 and 0 (the old block stays).
int CMN_Realloc(void** place, size_t size);
void CMN_Free(void* block);
// Frees *place and sets it to null.
void CMN_FreePtr(void** place);

template <class T>
int CMN_Calloc(T** place, size_t size) {
    void* block = nullptr;
    int ok = CMN_Calloc(&block, size);
    *place = static_cast<T*>(block);
    return ok;
}
template <class T>
int CMN_Realloc(T** place, size_t size) {
    void* block = *place;
    int ok = CMN_Realloc(&block, size);
    *place = static_cast<T*>(block);
    return ok;
}
template <class T>
void CMN_FreePtr(T** place) {
    void* block = const_cast<void*>(static_cast<const void*>(*place));
    CMN_FreePtr(&block);
    *place = nullptr;
}

// Checked copy of a text (null for a null text). On memory failure PROGRAM BUG
// 1908 naming the calling source file and line, and null.
// (The builtins name the caller; both g++ and clang++ supply them.)
char* CMN_StrDup(const char* text, const char* callerFile = __builtin_FILE(),
                 int callerLine = __builtin_LINE());
// New text of the first n characters of `text` (fewer if it is shorter), or
// null when memory is short.
char* CMN_SubStr(const char* text, size_t n);

// --- Text and cursors ------------------------------------------------------------
// isspace in the classic locale; bytes of 0x80 and above are not whitespace.
int CMN_IsSpace(int c);
// Cursor moves; the scan guard (120 characters unless unlimited scan is on)
// applies.
void CMN_SkipSpace(char** cursor);
void CMN_SkipSpace(const char** cursor);
// Just past the next ']' and the whitespace after it: 1; at the end: 0.
int CMN_SkipPastBracket(char** cursor);
int CMN_SkipPastBracket(const char** cursor);
void CMN_SkipToSpace(char** cursor);
void CMN_SkipToSpace(const char** cursor);
// Characters before the first space, tab, end or `stop`.
size_t CMN_TokenLength(int stop, const char* text);
// In place; each returns its argument.
char* CMN_TrimRight(char* text);
char* CMN_ToLower(char* text);
char* CMN_ToUpper(char* text);
// In place: drops everything up to the last backslash, then cuts at the last
// '.'; returns the remaining name.
char* CMN_BaseName(char* path);
int CMN_StrEqualNoCase(const char* a, const char* b);
// 1 when the first n characters agree ignoring case (or both end together).
int CMN_StrPrefixNoCase(const char* text, const char* pattern, size_t n);
// Turns every space of bracketText into '_' (in place), then compares the
// whole texts ignoring case.
int CMN_KeywordEquals(const char* tableName, char* bracketText);
// "%lu" into one shared buffer, overwritten by the next call.
const char* CMN_ULongToText(unsigned long value);
// fopen with 'b' after the first mode letter ("r" -> "rb", "w+" -> "wb+").
FILE* CMN_OpenBinary(const char* name, const char* mode);

// --- Tokens ----------------------------------------------------------------------
// Splits at spaces and tabs; `stop` always forms a token of its own. Keeps at
// most `capacity` tokens. 1, or PROGRAM BUG 1908 and 0.
int CMN_SplitTokens(const char* text, int capacity, int stop, TOKENLIST* list);
int CMN_SplitLine(const char* text, int capacity, TOKENLIST* list);
void CMN_FreeTokens(TOKENLIST* list);

// --- Numbers ---------------------------------------------------------------------
int CMN_ParseUnsigned(const char* text, unsigned long* value);
int CMN_ParseDouble(const char* text, double* value);
// A decimal number with an optional scale suffix (T G M k m u n p f; other
// letters count as units).
int CMN_ParseScaled(const char* text, double* value);
// "NA" in any case: 0.0, *isNA = 1, result 1; otherwise *isNA = 0 and the
// result of CMN_ParseScaled.
int CMN_GetValueOrNA(const char* text, double* value, int* isNA);
// An optional typ/min/max value; reports 1909 / 1910 with the field name and
// qualifier. Result 1 unless the text is not a number.
int CMN_GetOptionalValue(const char* text, const char* qualifier, const char* fieldName, double* value,
                         int* state);

// --- Fields and words ------------------------------------------------------------
// Copies at most `limit` characters into dest (room for limit + 1 bytes, or
// CMN_REPORT_LIMIT_MAX + 1 when limit is larger). Reports 1912 (cut) or 1913
// (empty).
void CMN_CopyField(char* dest, const char* src, size_t limit, const char* fieldName);
// As CMN_CopyField, but a destination already set gives 1911 and 0.
int CMN_SetFieldOnce(char* dest, const char* src, size_t limit, const char* fieldName);
// Destination with room for CMN_FIELD_MAX characters; 1911 and 0 when already
// set; 1914 when the source exceeds `limit` (kept up to CMN_FIELD_MAX anyway),
// 1913 when empty; 1.
int CMN_SetField(char* dest, const char* src, size_t limit, const char* fieldName);
// ERROR 1915 when the keyword was not found; returns `found`.
int CMN_RequireKeyword(const char* keyword, int found);
int CMN_IsNotReserved(const char* name);
// As CMN_IsNotReserved, reporting 1916 for a reserved name.
int CMN_CheckReserved(const char* name);

// Name of the file being read, used by 1915. Set by the file reader; the text
// is copied.
void CMN_SetCurrentFileName(const char* name);
const char* CMN_GetCurrentFileName();

// --- Line reading ----------------------------------------------------------------
// Like fgets, with the character checks (1917). Null at end of input.
char* CMN_ReadLine(char* buffer, size_t size, FILE* stream);
// A line of any length in a new block (free with CMN_Free); *length is the
// number of characters plus one. Null at end of input.
char* CMN_ReadWholeLine(size_t* length, FILE* stream);

// CMN_ReadLine for a stream read to its end by nothing else: the reader
// takes the stream's bytes a block at a time, ahead of the lines it hands
// out, so the stream must not be read, positioned or closed past it while
// the reader lives. The same lines, checks and messages as CMN_ReadLine, at
// a fraction of the cost per character.
class CMN_LineReader {
public:
    explicit CMN_LineReader(FILE* stream);
    ~CMN_LineReader();
    CMN_LineReader(const CMN_LineReader&) = delete;
    CMN_LineReader& operator=(const CMN_LineReader&) = delete;
    char* ReadLine(char* buffer, size_t size);

private:
    class BlockSource;
    static constexpr size_t kBlockSize = 64 * 1024;
    bool Refill();

    FILE* stream_;
    char* block_ = nullptr;
    const char* next_ = nullptr;
    const char* end_ = nullptr;
};

// --- Switches --------------------------------------------------------------------
// Keep illegal input characters as they are, silently. Returns the new value.
int CMN_KeepIllegalChars(int on);
// The current value of that switch.
int CMN_GetKeepIllegalChars();
// Lift the scan guard of the cursor moves (for texts longer than one line).
// Returns the new value.
int CMN_SetUnlimitedScan(int on);
int CMN_GetUnlimitedScan();

// --- Len/L/R/C items -------------------------------------------------------------
// Reads one item of a list such as "Len=0.5 L=2n /"; *rest is where the next
// item starts. Returns a CMN_RLC_ code.
int CMN_ParseRLC(const char* text, double* value, const char** rest);
int CMN_ParseRLC(char* text, double* value, char** rest);
