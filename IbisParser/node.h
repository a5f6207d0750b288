#pragma once
// [Node Declarations] of a component: the node names its circuit calls may
// connect besides the component's pins.
//
// Lines reach this family through the component, which routes them here.

struct CMPNT;

// One declared node, in file order.
struct NODE {
    NODE* next;
    char* name;
};

// A keyword line of keyword `keyword`; 1 when it was taken.
int NODE_KeywordLine(int keyword, char* line);
// A data line under [Node Declarations] of `component`: every word is a node.
int NODE_DataLine(CMPNT* component, int keyword, char* line);
// The keyword `next` follows one of this family's keywords.
void NODE_KeywordChange(int next);
// Whether the component declares `name`.
bool NODE_IsDeclared(const CMPNT* component, const char* name);
// Releases the component's node list.
void NODE_FreeList(CMPNT* component);
