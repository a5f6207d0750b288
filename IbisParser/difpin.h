#pragma once
// [Diff Pin] rows of a component: differential pin pairs with their thresholds
// and delays.
//
// Lines reach this family through the component, which routes them here. Until
// its checks are written, every line is accepted without findings.

struct IBIS;

// A keyword line of keyword `keyword`; 1 when it was taken.
int DIFPIN_KeywordLine(int keyword, char* line);
// A data line under keyword `keyword`; 1 when it was taken.
int DIFPIN_DataLine(int keyword, char* line);
// The keyword `next` follows one of this family's keywords.
void DIFPIN_KeywordChange(int next);
// Closing checks once the whole file has been read.
void DIFPIN_CheckEndOfFile(IBIS* ibis);
