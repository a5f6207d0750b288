#pragma once
// The matrices of a package model: [Resistance Matrix], [Inductance Matrix],
// [Capacitance Matrix] and their [Bandwidth].
//
// Lines reach this family through the package model, which routes them here.
// Until its checks are written, every line is accepted without findings.

struct IBIS;

// A keyword line of keyword `keyword`; 1 when it was taken.
int MTX_KeywordLine(int keyword, char* line);
// A data line under keyword `keyword`; 1 when it was taken.
int MTX_DataLine(int keyword, char* line);
// The keyword `next` follows one of this family's keywords.
void MTX_KeywordChange(int next);
// Closing checks once the whole file has been read.
void MTX_CheckEndOfFile(IBIS* ibis);
