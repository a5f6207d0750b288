#pragma once
// Shared between the algmod source files (and their tests) only.

#include "IbisParser/algmod.h"
#include "amiparam/parameter_tree.h"

// Module name shown by the program-bug messages of this section.
#define ALGMOD_MODULE "IbisParser\\algmod"

// Checks a parsed parameter file from its outermost group down (4622, 4623
// and the checks below).
void ALGMOD_CheckTree(const ParameterTree* tree);
// The Reserved_Parameters branch: the reserved parameters by their rules
// (4600, 4624 to 4630, 4632).
void ALGMOD_CheckReserved(const TreeBranch* branch);
// Model_Specific and unknown parameters: every leaf below `branch` is checked
// under the name of the branch that holds it. Any depth, without recursion.
void ALGMOD_CheckBranch(const TreeBranch* branch);
// One leaf of the parameter `parameter` (4626, 4627, 4632). `declaredType`
// is the value keyword of the parameter's Type (VALUE_KEYWORD_NONE when it
// has none).
void ALGMOD_CheckLeaf(const TreeLeaf* leaf, const char* parameter, int declaredType);

// --- Format leaves ------------------------------------------------------------
// Whether a value keyword names one of the ten formats.
bool ALGMOD_IsFormat(int valueKeyword);
// Whether the values of a Format leaf fit the shape of the format its first
// value names; when they do not, *expected is the count of values after the
// format name that must be numbers (the count the message prints).
bool ALGMOD_FormatFits(const TreeLeaf* format, int declaredType, int* expected);
// The value keyword of the first value of the parameter's first Type leaf,
// or VALUE_KEYWORD_NONE.
int ALGMOD_DeclaredType(const TreeBranch* parameter);
