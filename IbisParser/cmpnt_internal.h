#pragma once
// Shared between the component section's source files (cmpnt, pkg, pin,
// pinmpg, difpin, sswch, spinmpg, apkg) only.

#include <cstddef>

#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt.h"

#define CMPNT_MODULE "IbisParser\\cmpnt"

struct IBIS;
struct MDL;

// What the section keeps while a component is read.
struct CmpntState {
    CMPNT* open;         // the component being read; null outside one
    int lastKeyword;     // the last component keyword met in it
    int manufacturerSeen;
    // The series switch group being filled, and whether the last group line
    // ended with "/" (so that the next line starts a new group).
    SSWCH* group;
    int groupClosed;
};
extern CmpntState g_cmpnt;

// Longest signal and model names at the current version level.
size_t CMPNT_SignalLimit();

// The text after the keyword's closing bracket and the blanks after it.
const char* CMPNT_AfterKeyword(const char* line);
// Past the blanks, or past the word, at the start of `text`.
const char* CMPNT_SkipBlanks(const char* text);
const char* CMPNT_SkipWord(const char* text);

// Splits a header line's column names; `keywordLabel` names the keyword in
// message 528 when there are none. 1 with the words in *words (release with
// CMN_FreeTokens), or 0 (reported, nothing to release).
int CMPNT_HeaderWords(const char* rest, const char* keywordLabel, TOKENLIST* words);

// "NC" in any case: a reference that connects to nothing.
bool CMPNT_IsNC(const char* text);
// A reference given and connected.
bool CMPNT_IsConnected(const char* text);
