#pragma once
// [Test Data] and its golden waveforms.
//
// The file reader opens a record at [Test Data] and hands this section every
// line that falls under its keywords. Until the section's checks are written,
// lines are accepted without findings.

struct TESTDATA {
    TESTDATA* next;
};

// Makes a new record at [Test Data] and puts it in front of the current IBIS
// record's list: 1, or 0 after a message.
int TESTDATA_Open();
// A keyword line (PARSE_LINE_KEYWORD) or data line (PARSE_LINE_DATA) under
// keyword `keyword`; 1 when it was taken.
int TESTDATA_HandleLine(int lineClass, int keyword, char* line);
// The keyword `next` follows one of this section's keywords; one outside
// the section closes it.
void TESTDATA_KeywordChange(int next);
// Closing checks of every test data against the models and test loads it names.
void TESTDATA_CheckList(TESTDATA* list);
// Releases a list with everything it holds.
void TESTDATA_FreeList(TESTDATA* list);
