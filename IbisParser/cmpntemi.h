#pragma once
// [Begin EMI Component] and [End EMI Component] of a component: its EMI
// domains and heatsink values.
//
// Lines reach this family through the component, which routes them here. Until
// its checks are written, every line is accepted without findings.

struct IBIS;

// A keyword line of keyword `keyword`; 1 when it was taken.
int CMPNTEMI_KeywordLine(int keyword, char* line);
// A data line under keyword `keyword`; 1 when it was taken.
int CMPNTEMI_DataLine(int keyword, char* line);
// The keyword `next` follows one of this family's keywords.
void CMPNTEMI_KeywordChange(int next);
// Closing checks once the whole file has been read.
void CMPNTEMI_CheckEndOfFile(IBIS* ibis);
