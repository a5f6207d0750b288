// [Algorithmic Model] and .ami files: lines accepted without findings until
// the checks are written.

#include "IbisParser/algmod.h"

#include "IbisParser/cmn.h"
#include "IbisParser/parse.h"

int ALGMOD_Keyword(char*) { return 1; }

int ALGMOD_DataLine(char*) { return 1; }

void ALGMOD_KeywordChange(int) {}

void ALGMOD_CheckModelFiles(MDL*) {}

void ALGMOD_CheckAmiFile() {
    // The gathered text belongs to whoever checks it; nothing does yet.
    char* text = PARSE_TakeAmiText();
    if (text != nullptr) CMN_Free(text);
}
