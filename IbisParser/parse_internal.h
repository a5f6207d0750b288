#pragma once
// Shared between the parse source files (and their tests) only.

#include <cstddef>

#include "IbisParser/parse.h"

// Module name shown by the program-bug messages of the reader.
#define PARSE_MODULE "IbisParser\\parse"

// The process-wide reading state.
struct ParseState {
    int kind = PARSE_KIND_IBS;
    char fileName[PARSE_NAME_MAX + 1] = {};
    unsigned long line = 0;
    char commentChar = '|';
    // The keyword whose handler gets the next data line; NOT_KEY after an
    // unrecognised keyword, so that its lines are reported as orphans.
    int currentKeyword = KW::NOT_KEY;
    // The last recognised keyword: its section is the one still open, and it
    // is closed by the next recognised keyword even when an unrecognised one
    // came in between.
    int sectionKeyword = KW::NOT_KEY;
    int ibisVerSeen = 0;
    int endSeen = 0;
    int tabReported = 0;
    int submodelFlag = 0;
    int notTerminated = 0;
    // Switches set by the caller.
    int quiet = 0;
    int unlimitedScan = 0;
    // The .ami text being gathered.
    char* amiText = nullptr;
    size_t amiLength = 0;
};
extern ParseState g_parse;

// Makes `name` the file being read (for the reader and the 1915 message).
void PARSE_SetFileName(const char* name);
// Prints the banner of a version ("2.1", "3.2", "4.2" or "5.0") unless quiet.
void PARSE_PrintBanner(const char* name, const char* version);

// Line checks shared by both readers: drops a final line feed, reports an
// overlong line (905, unless unlimited scan or `skipLength`) and the first tab
// of the file (921).
void PARSE_CheckLine(char* line, int skipLength);

// Class of a line of an .ibs, .pkg or .ebd file (PARSE_LINE_COMMENT, _KEYWORD
// or _DATA); reports an indented keyword (906).
int PARSE_ClassifyLine(const char* line);
// Class of a line of an .ami file (PARSE_LINE_COMMENT, _AMI_DESCRIPTION,
// _AMI_GROUP or _DATA).
int PARSE_ClassifyAmiLine(const char* line);
// Whether a keyword line is [Comment Char] (either spelling, any case).
int PARSE_IsCommentCharLine(const char* line);
// Sets the comment character from a [Comment Char] line (917 to 919).
void PARSE_DefineCommentChar(const char* line);

// The version step: recognises a keyword line, closes the previous section,
// opens the new keyword's record, and hands the line to its section.
void PARSE_VersionStep(PARSE_Version version, int lineClass, char* line);
// The id of the bracketed keyword on `line`, by the version's table, before
// any remapping; KW::NOT_KEY after reporting 914, 915 or 916.
int PARSE_RecognizeKeyword(PARSE_Version version, const char* line);
// Opens the record a keyword starts, reporting a keyword that may not stand
// in this kind of file (910 to 913).
void PARSE_OpenRecord(int id);

// Section families a keyword belongs to, for dispatch and closing.
enum ParseGroup {
    PARSE_GROUP_HEADER,
    PARSE_GROUP_COMPONENT,
    PARSE_GROUP_CIRCUIT,
    PARSE_GROUP_MODEL,
    PARSE_GROUP_PKGMDL,
    PARSE_GROUP_EBD,
    PARSE_GROUP_MSEL,
    PARSE_GROUP_SUBMDL,
    PARSE_GROUP_TESTDATA,
    PARSE_GROUP_TESTLOAD,
    PARSE_GROUP_END,
    PARSE_GROUP_UNKNOWN,  // NOT_KEY: data without a keyword
    PARSE_GROUP_NONE,     // an id no section takes (a program bug)
};
ParseGroup PARSE_GroupOf(int id, PARSE_Version version);
// Whether a family's lines are read in the current kind of file.
int PARSE_GroupAllowed(ParseGroup group, PARSE_Version version);
// Hands a line to the section of the current keyword.
void PARSE_Dispatch(PARSE_Version version, int lineClass, char* line);
// Tells the section of `previous` that the keyword `next` has arrived.
void PARSE_CloseSection(PARSE_Version version, int previous, int next);

// The version digit of the file's [IBIS Ver] (1 to 5), or 0 when the file
// cannot be opened or does not begin with a usable [IBIS Ver].
int PARSE_SniffVersion(const char* name, int kind);
// Reads an .ami file into the gathered text.
int PARSE_ReadAmiFile(const char* name);
