#pragma once
// The file header: [IBIS Ver], [File Name], [File Rev], [Date], [Source],
// [Notes], [Disclaimer] and [Copyright]. One HDR record per header; the
// [IBIS Ver] value sets the version level that line limits and many section
// checks depend on.

#include <cstddef>

constexpr int HDR_VERSION_MAX = 70;
constexpr int HDR_FILE_NAME_MAX = 1024;
constexpr int HDR_FILE_REV_MAX = 70;
constexpr int HDR_DATE_MAX = 40;

struct HDR {
    HDR* next;
    char version[HDR_VERSION_MAX + 1];
    char fileName[HDR_FILE_NAME_MAX + 1];
    char fileRev[HDR_FILE_REV_MAX + 1];
    char date[HDR_DATE_MAX + 1];
    // Texts of any length, owned; the lines of one keyword joined by '\n'.
    char* source;
    char* notes;
    char* disclaimer;
    char* copyright;
    // Length and allocated room of each text above, in that order: a text of
    // a hundred thousand lines grows in place instead of being measured and
    // copied once per line.
    size_t textLength[4];
    size_t textRoom[4];
};

// Opens a header at [IBIS Ver]: a new record in front of the current IBIS
// record's list becomes the current header. 1, or 0 after a message (1000,
// 1006).
int HDR_Open();
// A keyword line (PARSE_LINE_KEYWORD) or data line (PARSE_LINE_DATA) of the
// header keyword `keyword`.
int HDR_HandleLine(int lineClass, int keyword, char* line);
// The keyword `next` follows a header keyword: any keyword outside the
// header ends it, and the required keywords are checked (1915).
void HDR_KeywordChange(int next);
// Releases a list of headers with their texts.
void HDR_FreeList(HDR* list);

// The current header, or null outside a header block.
HDR* HDR_Current();
const char* HDR_GetVersion(const HDR* header);
const char* HDR_GetFileName(const HDR* header);
const char* HDR_GetFileRev(const HDR* header);
const char* HDR_GetDate(const HDR* header);
const char* HDR_GetSource(const HDR* header);  // null when not given
const char* HDR_GetNotes(const HDR* header);
const char* HDR_GetDisclaimer(const HDR* header);
const char* HDR_GetCopyright(const HDR* header);

// --- Version level -----------------------------------------------------------------
// The first digit of the last accepted [IBIS Ver] (1 to 5); 0 before any.
// It stays in force across files until the next accepted [IBIS Ver].
int HDR_GetVersionLevel();
// For a caller that checks unrelated files one after another and wants each
// to start as in a fresh process (level 0).
void HDR_SetVersionLevel(int level);

// --- Switches (all off at the start; each returns its new value) -------------------
// No character and period checks of the [File Name] value.
int HDR_SetSkipFileNameChecks(int on);
// [IBIS Ver] 1.x is accepted (version level 1).
int HDR_SetAcceptVersion1(int on);
// Every [IBIS Ver] sets version level 5, whatever it says.
int HDR_SetForceVersion5(int on);
int HDR_AcceptsVersion1();
int HDR_ForcesVersion5();
