#pragma once
// [Algorithmic Model] of a model, and the check of .ami parameter files.
//
// The model routes the lines of [Algorithmic Model] here; an .ami file read
// on its own is gathered into one text by the file reader and checked from
// the closing checks. Until the checks are written, lines are accepted
// without findings and the gathered text is only released.

struct MDL;

// The [Algorithmic Model] keyword line of a model; 1 when it was taken.
int ALGMOD_Keyword(char* line);
// A data line of the section; 1 when it was taken.
int ALGMOD_DataLine(char* line);
// The keyword `next` follows [Algorithmic Model] or one of its lines.
void ALGMOD_KeywordChange(int next);
// Closing check of an .ibs file: the files every Executable line names.
void ALGMOD_CheckModelFiles(MDL* models);
// Closing check of a file read as an .ami file.
void ALGMOD_CheckAmiFile();
