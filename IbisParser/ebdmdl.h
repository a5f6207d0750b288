#pragma once
// [Begin Board Description] blocks of .ebd files: [Manufacturer], [Number Of
// Pins], [Pin List], [Path Description], [Reference Designator Map] and [End
// Board Description].
//
// The file reader opens a record at [Begin Board Description] and hands this
// section every line that falls under its keywords. Until the section's checks
// are written, lines are accepted without findings.

struct EBDMDL {
    EBDMDL* next;
};

// Makes a new record at [Begin Board Description] and puts it in front of the
// current IBIS record's list: 1, or 0 after a message.
int EBDMDL_Open();
// A keyword line (PARSE_LINE_KEYWORD) or data line (PARSE_LINE_DATA) under
// keyword `keyword`; 1 when it was taken.
int EBDMDL_HandleLine(int lineClass, int keyword, char* line);
// The keyword `next` follows one of this section's keywords; one outside
// the section closes it.
void EBDMDL_KeywordChange(int next);
// Closing checks of every board, including the files its [Reference Designator
// Map] names.
void EBDMDL_CheckList(EBDMDL* list, int readResult);
// Releases a list with everything it holds.
void EBDMDL_FreeList(EBDMDL* list);
