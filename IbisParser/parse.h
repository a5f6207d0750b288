#pragma once
// Reading one IBIS file: the version sniff and banner, the checks every line
// gets (length, tabs, characters, keyword column), line classes, [Comment
// Char], keyword recognition by the version's table, where each keyword may
// stand, section closing and the dispatch of every line to the section that
// owns the current keyword. An .ami file is instead gathered into one text for
// the parameter tree reader.
//
// The reading state is process-wide: one file is read at a time. A section
// that reads another file from within the current one (a board description
// naming its .ibs files) saves the state around it with PARSE_SaveState.

#include "IbisParser/parse_keywords.h"

// File kinds.
constexpr int PARSE_KIND_IBS = 1;
constexpr int PARSE_KIND_PKG = 2;
constexpr int PARSE_KIND_EBD = 3;
constexpr int PARSE_KIND_AMI = 4;

// Line classes.
constexpr int PARSE_LINE_COMMENT = 0;
constexpr int PARSE_LINE_KEYWORD = 1;
constexpr int PARSE_LINE_AMI_DESCRIPTION = 2;  // .ami: "(Description ..."
constexpr int PARSE_LINE_AMI_GROUP = 3;        // .ami: any other "(" line
constexpr int PARSE_LINE_DATA = 4;

// Size of the line buffer of .ibs, .pkg and .ebd files: a line keeps at most
// PARSE_LINE_BUFFER - 1 characters, the rest of a longer line is dropped.
constexpr int PARSE_LINE_BUFFER = 1024;
// Longest file name kept.
constexpr int PARSE_NAME_MAX = 1024;

// Reads the file `name` of kind `kind` (PARSE_KIND_...) and hands its lines to
// the sections. 1 when the file was read to its end; 0 when it could not be
// opened or its version is unknown (reported).
int PARSE_ReadFile(const char* name, int kind);

// Current line 0, no tab reported, comment character '|', no file name, no
// current keyword, neither [IBIS Ver] nor [End] seen.
void PARSE_Reset();

// Switches; each stores its argument as 0 or 1 and returns it.
// Unlimited scan: lines longer than the version's limit are not reported.
int PARSE_SetUnlimitedScan(int on);
// Quiet: no banner.
int PARSE_SetQuiet(int on);

char PARSE_GetCommentChar();
// Copies the name of the file being read (at most PARSE_NAME_MAX characters)
// into `buffer`, which has room for PARSE_NAME_MAX + 1 bytes.
void PARSE_GetFileName(char* buffer);
// The name of the file being read, without its directory.
const char* PARSE_FileName();
// Kind of the file being read.
int PARSE_FileKind();
// Id of the keyword whose section the current line belongs to.
int PARSE_CurrentKeyword();

// Copies the table name of `id` into `buffer` (room for 40 bytes). An id no
// table holds is PROGRAM BUG 904, and the text "Unknown enumerated keyword
// code" is copied instead. Returns `buffer`.
char* PARSE_KeywordName(int id, char* buffer);

// Set by a section whose data must end with a slash while that slash is still
// missing; the next keyword then reports 909 (IBIS 3.2 and later).
void PARSE_SetKeywordNotTerminated(int on);

// Whether a [Submodel] has started since the last [Model]: the I-V table and
// waveform keywords then belong to the submodel.
int PARSE_SubmodelFlag();

// The text gathered from the .ami file just read. The caller takes ownership
// (release with CMN_Free); null when there is none.
char* PARSE_TakeAmiText();

// Reading state of one file, for a section that reads another file in the
// middle of the current one.
struct PARSE_STATE {
    int kind;
    unsigned long line;
    char commentChar;
    int currentKeyword;
    int sectionKeyword;
    int ibisVerSeen;
    int endSeen;
    int tabReported;
    int submodelFlag;
    int notTerminated;
    char fileName[PARSE_NAME_MAX + 1];
};
void PARSE_SaveState(PARSE_STATE* state);
void PARSE_RestoreState(const PARSE_STATE* state);
