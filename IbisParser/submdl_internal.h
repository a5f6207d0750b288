#pragma once
// Shared between the submdl source files only.

#include "IbisParser/submdl.h"

#define SUBMDL_MODULE "IbisParser\\submdl"

// What the section keeps while a submodel is read.
struct SubmdlState {
    SUBMDL* open;     // the submodel being read; null outside one
    int lastKeyword;  // the last submodel keyword met in it
    CRV* openTable;   // the I-V table the last keyword started
};
extern SubmdlState g_submdl;

// The [Submodel] keyword line: the submodel's name.
void SUBMDL_NameLine(SUBMDL* submodel, const char* line);
// A data line after [Submodel]: Submodel_type.
void SUBMDL_SubParameterLine(SUBMDL* submodel, const char* line);
// The other keyword lines of a submodel, and their data lines.
void SUBMDL_KeywordLine(SUBMDL* submodel, int keyword, const char* line);
void SUBMDL_DataLine(SUBMDL* submodel, int keyword, const char* line);
// Closes what the last keyword `previous` opened.
void SUBMDL_CloseKeyword(SUBMDL* submodel, int previous);
// The checks when the submodel ends (2424 to 2444).
void SUBMDL_CheckSubmodel(const SUBMDL* submodel);
