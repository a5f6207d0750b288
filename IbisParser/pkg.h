#pragma once
// [Package] of a component: the R_pkg, L_pkg and C_pkg ranges of its
// package parasitics.

struct CMPNT;
struct RNG;

struct PKG {
    RNG* R_pkg;  // none until the sub-parameter is read
    RNG* L_pkg;
    RNG* C_pkg;
};

// The [Package] keyword line; `rest` is the text after the keyword.
void PKG_KeywordLine(CMPNT* component, const char* rest);
// A sub-parameter line under [Package].
void PKG_DataLine(CMPNT* component, const char* line);
// The sub-parameters a [Package] must have, when the component closes
// (1213, 1215, 1217).
void PKG_CheckRequired(const CMPNT* component);
void PKG_Free(PKG* package);
