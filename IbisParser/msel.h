#pragma once
// [Model Selector]: the models a buffer may be switched between.
//
// The file reader opens a record at [Model Selector] and hands this section
// every line that falls under its keywords. Until the section's checks are
// written, lines are accepted without findings.

struct MSEL {
    MSEL* next;
};

// Makes a new record at [Model Selector] and puts it in front of the current
// IBIS record's list: 1, or 0 after a message.
int MSEL_Open();
// A keyword line (PARSE_LINE_KEYWORD) or data line (PARSE_LINE_DATA) under
// keyword `keyword`; 1 when it was taken.
int MSEL_HandleLine(int lineClass, int keyword, char* line);
// The keyword `next` follows one of this section's keywords; one outside
// the section closes it.
void MSEL_KeywordChange(int next);
// Closing checks of every selector.
void MSEL_CheckList(MSEL* list);
// Releases a list with everything it holds.
void MSEL_FreeList(MSEL* list);
