#pragma once
// [Package] of a component: the R_pkg, L_pkg and C_pkg ranges.
//
// Lines reach this family through the component, which routes them here. Until
// its checks are written, every line is accepted without findings.

struct IBIS;

// A keyword line of keyword `keyword`; 1 when it was taken.
int PKG_KeywordLine(int keyword, char* line);
// A data line under keyword `keyword`; 1 when it was taken.
int PKG_DataLine(int keyword, char* line);
// The keyword `next` follows one of this family's keywords.
void PKG_KeywordChange(int next);
// Closing checks once the whole file has been read.
void PKG_CheckEndOfFile(IBIS* ibis);
