#pragma once
// [Receiver Thresholds] of a model: the thresholds and sensitivities of a
// receiver.
//
// Lines reach this family through the model, which routes them here. Until
// its checks are written, every line is accepted without findings.

struct MDL;

// A keyword line of keyword `keyword`; 1 when it was taken.
int RCVTH_KeywordLine(int keyword, char* line);
// A data line under keyword `keyword`; 1 when it was taken.
int RCVTH_DataLine(int keyword, char* line);
// The keyword `next` follows one of this family's keywords.
void RCVTH_KeywordChange(int next);
// Closing checks over every model once the whole file has been read.
void RCVTH_CheckModels(MDL* models);
