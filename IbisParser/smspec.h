#pragma once
// [Submodel Spec] of a submodel: its trigger thresholds, offsets and pulse
// timing.
//
// Lines reach this family through the submodel, which routes them here. Until
// its checks are written, every line is accepted without findings.

struct IBIS;

// A keyword line of keyword `keyword`; 1 when it was taken.
int SMSPEC_KeywordLine(int keyword, char* line);
// A data line under keyword `keyword`; 1 when it was taken.
int SMSPEC_DataLine(int keyword, char* line);
// The keyword `next` follows one of this family's keywords.
void SMSPEC_KeywordChange(int next);
// Closing checks once the whole file has been read.
void SMSPEC_CheckEndOfFile(IBIS* ibis);
