#pragma once
// [Model Spec] of a model: thresholds, measurement points and their corners.
//
// Lines reach this family through the model, which routes them here. Until its
// checks are written, every line is accepted without findings.

struct IBIS;

// A keyword line of keyword `keyword`; 1 when it was taken.
int MSPEC_KeywordLine(int keyword, char* line);
// A data line under keyword `keyword`; 1 when it was taken.
int MSPEC_DataLine(int keyword, char* line);
// The keyword `next` follows one of this family's keywords.
void MSPEC_KeywordChange(int next);
// Closing checks once the whole file has been read.
void MSPEC_CheckEndOfFile(IBIS* ibis);
