#pragma once
// [Define Package Model] and its keywords up to [End Package Model]:
// [Manufacturer], [OEM], [Description], [Number Of Sections], [Number Of Pins],
// [Pin Numbers] and the matrices of [Model Data].
//
// The file reader opens a record at [Define Package Model] and hands this
// section every line that falls under its keywords. Until the section's checks
// are written, lines are accepted without findings.

struct PKGMDL {
    PKGMDL* next;
};

// Makes a new record at [Define Package Model] and puts it in front of the
// current IBIS record's list: 1, or 0 after a message.
int PKGMDL_Open();
// A keyword line (PARSE_LINE_KEYWORD) or data line (PARSE_LINE_DATA) under
// keyword `keyword`; 1 when it was taken.
int PKGMDL_HandleLine(int lineClass, int keyword, char* line);
// The keyword `next` follows one of this section's keywords; one outside
// the section closes it.
void PKGMDL_KeywordChange(int next);
// Closing checks of every package model.
void PKGMDL_CheckList(PKGMDL* list);
// Releases a list with everything it holds.
void PKGMDL_FreeList(PKGMDL* list);
