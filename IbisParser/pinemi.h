#pragma once
// [Pin EMI] and [Pin Domain EMI] of a component's EMI block.
//
// Lines reach this family through the component's EMI block, which routes them
// here. Until its checks are written, every line is accepted without findings.

struct IBIS;

// A keyword line of keyword `keyword`; 1 when it was taken.
int PINEMI_KeywordLine(int keyword, char* line);
// A data line under keyword `keyword`; 1 when it was taken.
int PINEMI_DataLine(int keyword, char* line);
// The keyword `next` follows one of this family's keywords.
void PINEMI_KeywordChange(int next);
// Closing checks once the whole file has been read.
void PINEMI_CheckEndOfFile(IBIS* ibis);
