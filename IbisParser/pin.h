#pragma once
// [Pin] rows of a component: pin name, signal name, model name and the
// optional R_pin, L_pin and C_pin columns.
//
// Lines reach this family through the component, which routes them here. Until
// its checks are written, every line is accepted without findings.

struct IBIS;

// A keyword line of keyword `keyword`; 1 when it was taken.
int PIN_KeywordLine(int keyword, char* line);
// A data line under keyword `keyword`; 1 when it was taken.
int PIN_DataLine(int keyword, char* line);
// The keyword `next` follows one of this family's keywords.
void PIN_KeywordChange(int next);
// Closing checks once the whole file has been read.
void PIN_CheckEndOfFile(IBIS* ibis);
