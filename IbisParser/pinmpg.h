#pragma once
// [Pin Mapping] rows of a component: the pullup, pulldown, GND clamp, POWER
// clamp and external reference buses of each pin.
//
// Lines reach this family through the component, which routes them here. Until
// its checks are written, every line is accepted without findings.

struct IBIS;

// A keyword line of keyword `keyword`; 1 when it was taken.
int PINMPG_KeywordLine(int keyword, char* line);
// A data line under keyword `keyword`; 1 when it was taken.
int PINMPG_DataLine(int keyword, char* line);
// The keyword `next` follows one of this family's keywords.
void PINMPG_KeywordChange(int next);
// Closing checks once the whole file has been read.
void PINMPG_CheckEndOfFile(IBIS* ibis);
