#pragma once
// [Series Switch Groups] of a component: the groups of series switches that
// turn on together.
//
// Lines reach this family through the component, which routes them here. Until
// its checks are written, every line is accepted without findings.

struct IBIS;

// A keyword line of keyword `keyword`; 1 when it was taken.
int SSWCH_KeywordLine(int keyword, char* line);
// A data line under keyword `keyword`; 1 when it was taken.
int SSWCH_DataLine(int keyword, char* line);
// The keyword `next` follows one of this family's keywords.
void SSWCH_KeywordChange(int next);
// Closing checks once the whole file has been read.
void SSWCH_CheckEndOfFile(IBIS* ibis);
