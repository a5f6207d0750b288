#pragma once
// [Submodel] and its keywords: [Submodel Spec], the pulse tables, and the I-V
// tables, [Ramp] and waveforms of the submodel.
//
// The file reader opens a record at [Submodel] and hands this section every
// line that falls under its keywords. Until the section's checks are written,
// lines are accepted without findings.

struct MDL;

struct SUBMDL {
    SUBMDL* next;
};

// Makes a new record at [Submodel] and puts it in front of the current IBIS
// record's list: 1, or 0 after a message.
int SUBMDL_Open();
// A keyword line (PARSE_LINE_KEYWORD) or data line (PARSE_LINE_DATA) under
// keyword `keyword`; 1 when it was taken.
int SUBMDL_HandleLine(int lineClass, int keyword, char* line);
// The keyword `next` follows one of this section's keywords; one outside
// the section closes it.
void SUBMDL_KeywordChange(int next);
// Closing checks of every submodel against the models that add it.
void SUBMDL_CheckReferences(SUBMDL* list, MDL* models);
// Releases a list with everything it holds.
void SUBMDL_FreeList(SUBMDL* list);
