#pragma once
// Shared between the package model source files (pkgmdl, mtx, row) only.

#include "IbisParser/pkgmdl.h"

#define PKGMDL_MODULE "IbisParser\\pkgmdl"

struct MTX;
struct ROW;
struct PKGMDL_PIN_INDEX;

// What the section keeps while a package model is read.
struct PkgmdlState {
    PKGMDL* open;        // null outside a package model
    int lastKeyword;     // the last package keyword of the open model
    int matrixKeyword;   // the matrix keyword [Row] belongs to; 0 after [End Model Data]
    int pinNumbersSeen;
    int modelDataSeen;
    int endModelDataSeen;
    int endPackageModelSeen;
    int sectionsGiven;   // [Number Of Sections] met
    int matrixRejected;  // the last matrix keyword made no matrix (reported)
    MTX* openMatrix;     // the matrix rows go to
    ROW* currentRow;     // the row data lines go to; null after a dropped row
    PKGMDL_PIN* currentPin;  // the pin sections go to (sectioned form)
    PKGMDL_NODE* fork;       // innermost open Fork of that pin
    PKGMDL_PIN_INDEX* pinIndex;
};
extern PkgmdlState g_pkgmdl;

// Pin_Numbers lines in either form.
void PKGMDL_PinLine(PKGMDL* model, char* line, int sectioned);
// The end checks of the open model.
void PKGMDL_CloseModel();
void PKGMDL_FreePins(PKGMDL* model);

// Name index of the open model's Pin_Numbers: the first index of a name.
// Add returns the index already kept (0 when the name is new).
unsigned PKGMDL_IndexAdd(PKGMDL_PIN_INDEX** index, const char* name, unsigned position);
unsigned PKGMDL_IndexFind(const PKGMDL_PIN_INDEX* index, const char* name);
void PKGMDL_IndexFree(PKGMDL_PIN_INDEX* index);

// Copies the first blank-delimited word of `text` into `word` (room for
// `size` bytes, cut to fit); returns the text after the word.
const char* PKGMDL_Word(const char* text, char* word, unsigned long size);

// Drops what the lookups keep about the lists and the package files (called
// whenever a list is released).
void PKGMDL_ForgetLookups();
