#pragma once
// [Alternate Package Models] of a component: the names of its other package
// models.
//
// Lines reach this family through the component, which routes them here. Until
// its checks are written, every line is accepted without findings.

struct IBIS;

// A keyword line of keyword `keyword`; 1 when it was taken.
int APKG_KeywordLine(int keyword, char* line);
// A data line under keyword `keyword`; 1 when it was taken.
int APKG_DataLine(int keyword, char* line);
// The keyword `next` follows one of this family's keywords.
void APKG_KeywordChange(int next);
// Closing checks once the whole file has been read.
void APKG_CheckEndOfFile(IBIS* ibis);
