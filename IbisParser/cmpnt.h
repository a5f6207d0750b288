#pragma once
// [Component] and the keywords that belong to it: [Manufacturer], [Package],
// [Pin], [Package Model], [Pin Mapping], [Diff Pin], [Series Switch Groups],
// [Series Pin Mapping], [Alternate Package Models], [Node Declarations],
// [Circuit Call] and the component EMI keywords.
//
// The file reader opens a record at [Component] and hands this section every
// line that falls under its keywords. Until the section's checks are written,
// lines are accepted without findings.

struct CIRCUIT;
struct MDL;

struct CMPNT {
    CMPNT* next;
};

// Makes a new record at [Component] and puts it in front of the current IBIS
// record's list: 1, or 0 after a message.
int CMPNT_Open();
// A keyword line (PARSE_LINE_KEYWORD) or data line (PARSE_LINE_DATA) under
// keyword `keyword`; 1 when it was taken.
int CMPNT_HandleLine(int lineClass, int keyword, char* line);
// The keyword `next` follows one of this section's keywords; one outside
// the section closes it.
void CMPNT_KeywordChange(int next);
// Closing checks of every component against the external circuits and models.
void CMPNT_CheckList(CMPNT* list, CIRCUIT* circuits, MDL* models);
// Releases a list with everything it holds.
void CMPNT_FreeList(CMPNT* list);
