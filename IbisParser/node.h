#pragma once
// [Node Declarations] of a component: the node names its circuit calls may
// use.
//
// Lines reach this family through the component, which routes them here. Until
// its checks are written, every line is accepted without findings.

struct IBIS;

// A keyword line of keyword `keyword`; 1 when it was taken.
int NODE_KeywordLine(int keyword, char* line);
// A data line under keyword `keyword`; 1 when it was taken.
int NODE_DataLine(int keyword, char* line);
// The keyword `next` follows one of this family's keywords.
void NODE_KeywordChange(int next);
// Closing checks once the whole file has been read.
void NODE_CheckEndOfFile(IBIS* ibis);
