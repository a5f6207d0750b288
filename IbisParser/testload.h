#pragma once
// [Test Load]: a measurement load with its near and far elements.
//
// The file reader opens a record at [Test Load] and hands this section every
// line that falls under its keywords. Until the section's checks are written,
// lines are accepted without findings.

struct TESTLOAD {
    TESTLOAD* next;
};

// Makes a new record at [Test Load] and puts it in front of the current IBIS
// record's list: 1, or 0 after a message.
int TESTLOAD_Open();
// A keyword line (PARSE_LINE_KEYWORD) or data line (PARSE_LINE_DATA) under
// keyword `keyword`; 1 when it was taken.
int TESTLOAD_HandleLine(int lineClass, int keyword, char* line);
// The keyword `next` follows one of this section's keywords; one outside
// the section closes it.
void TESTLOAD_KeywordChange(int next);
// Closing checks of every test load.
void TESTLOAD_CheckList(TESTLOAD* list);
// Releases a list with everything it holds.
void TESTLOAD_FreeList(TESTLOAD* list);
