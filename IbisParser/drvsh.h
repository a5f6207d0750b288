#pragma once
// [Driver Schedule] of a model: the models that drive in turn, with their delays.
//
// Lines reach this family through the model, which routes them here. Until
// its checks are written, every line is accepted without findings.

struct MDL;

// A keyword line of keyword `keyword`; 1 when it was taken.
int DRVSH_KeywordLine(int keyword, char* line);
// A data line under keyword `keyword`; 1 when it was taken.
int DRVSH_DataLine(int keyword, char* line);
// The keyword `next` follows one of this family's keywords.
void DRVSH_KeywordChange(int next);
// Closing checks over every model once the whole file has been read.
void DRVSH_CheckModels(MDL* models);
