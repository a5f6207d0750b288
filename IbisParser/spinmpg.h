#pragma once
// [Series Pin Mapping] rows of a component: the pin pairs joined by series
// models.
//
// Lines reach this family through the component, which routes them here. Until
// its checks are written, every line is accepted without findings.

struct IBIS;

// A keyword line of keyword `keyword`; 1 when it was taken.
int SPINMPG_KeywordLine(int keyword, char* line);
// A data line under keyword `keyword`; 1 when it was taken.
int SPINMPG_DataLine(int keyword, char* line);
// The keyword `next` follows one of this family's keywords.
void SPINMPG_KeywordChange(int next);
// Closing checks once the whole file has been read.
void SPINMPG_CheckEndOfFile(IBIS* ibis);
