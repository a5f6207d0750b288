#pragma once
// [Row] lines of a package matrix: the values of one matrix row.
//
// Lines reach this family through the matrix, which routes them here. Until
// its checks are written, every line is accepted without findings.

struct IBIS;

// A keyword line of keyword `keyword`; 1 when it was taken.
int ROW_KeywordLine(int keyword, char* line);
// A data line under keyword `keyword`; 1 when it was taken.
int ROW_DataLine(int keyword, char* line);
// The keyword `next` follows one of this family's keywords.
void ROW_KeywordChange(int next);
// Closing checks once the whole file has been read.
void ROW_CheckEndOfFile(IBIS* ibis);
