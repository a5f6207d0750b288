#pragma once
// [Begin EMI Model] and [End EMI Model] of a model: its EMI sub-parameters.
//
// Lines reach this family through the model, which routes them here. Until its
// checks are written, every line is accepted without findings.

struct IBIS;

// A keyword line of keyword `keyword`; 1 when it was taken.
int MDLEMI_KeywordLine(int keyword, char* line);
// A data line under keyword `keyword`; 1 when it was taken.
int MDLEMI_DataLine(int keyword, char* line);
// The keyword `next` follows one of this family's keywords.
void MDLEMI_KeywordChange(int next);
// Closing checks once the whole file has been read.
void MDLEMI_CheckEndOfFile(IBIS* ibis);
