#pragma once
// [External Circuit] blocks, and the external descriptions shared with
// [External Model] and [Circuit Call].
//
// The file reader opens a record at [External Circuit] and hands this section
// every line that falls under its keywords. Until the section's checks are
// written, lines are accepted without findings.

struct CIRCUIT {
    CIRCUIT* next;
};

// Makes a new record at [External Circuit] and puts it in front of the current
// IBIS record's list: 1, or 0 after a message.
int CIRCUIT_Open();
// A keyword line (PARSE_LINE_KEYWORD) or data line (PARSE_LINE_DATA) under
// keyword `keyword`; 1 when it was taken.
int CIRCUIT_HandleLine(int lineClass, int keyword, char* line);
// The keyword `next` follows one of this section's keywords; one outside
// the section closes it.
void CIRCUIT_KeywordChange(int next);
// Releases a list with everything it holds.
void CIRCUIT_FreeList(CIRCUIT* list);
