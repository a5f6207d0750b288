#pragma once
// State shared by the files of the board description section.

#include <string>
#include <unordered_set>
#include <vector>

#include "IbisParser/ebdmdl.h"

#define EBDMDL_MODULE "IbisParser\\ebdmdl"

struct EbdmdlState {
    EBDMDL* open = nullptr;
    int lastKeyword = 0;
    int numberOfPinsSeen = 0;
    int pinListSeen = 0;
    int mapSeen = 0;
    int endSeen = 0;
    unsigned pinCapacity = 0;          // slots of the open board's pin array
    EBDPATH* path = nullptr;
    EBDELEM** tail = nullptr;          // where the path's next element is linked
    std::vector<EBDELEM*> forks;       // open Forks, innermost last
    std::unordered_set<std::string> pinNames;
    std::unordered_set<std::string> pathNames;
    std::unordered_set<std::string> refdesNames;
};

extern EbdmdlState g_ebdmdl;

// Copies at most `limit` characters of `text` (length `length`) into `dest`.
void EBDMDL_Copy(char* dest, const char* text, size_t length, size_t limit);
// One word of `text` starting after blanks: its start in *start, its length
// returned (0 at the end).
size_t EBDMDL_Word(const char** text, const char** start);

// Data lines of the three row keywords.
void EBDMDL_PinListRow(EBDMDL* board, const char* line);
void EBDMDL_MapRow(EBDMDL* board, const char* line);
void EBDMDL_PathLine(char* line);
// The checks of the open board when it ends; the board is closed.
void EBDMDL_CloseBoard();
// Releases a chain with its branches and sections.
void EBDMDL_FreeChain(EBDELEM* chain);
