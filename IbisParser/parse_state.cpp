// The reading state, its switches and getters.

#include <cstdio>
#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse_internal.h"

ParseState g_parse;

namespace {

void CopyName(char* dest, const char* name) {
    const size_t length = strnlen(name, PARSE_NAME_MAX);
    std::memcpy(dest, name, length);
    dest[length] = '\0';
}

}  // namespace

void PARSE_Reset() {
    g_parse.line = 0;
    MSG_SetCurrentLine(0);
    g_parse.tabReported = 0;
    g_parse.commentChar = '|';
    PARSE_SetFileName("");
    g_parse.currentKeyword = KW::NOT_KEY;
    g_parse.sectionKeyword = KW::NOT_KEY;
    g_parse.ibisVerSeen = 0;
    g_parse.endSeen = 0;
}

void PARSE_SetFileName(const char* name) {
    CopyName(g_parse.fileName, name);
    CMN_SetCurrentFileName(g_parse.fileName);
}

void PARSE_PrintBanner(const char* name, const char* version) {
    if (g_parse.quiet) return;
    FILE* out = MSG_GetOutput();
    std::fprintf(out != nullptr ? out : stdout, "\nChecking %s for IBIS %s Compatibility...\n\n", name, version);
}

int PARSE_SetUnlimitedScan(int on) {
    g_parse.unlimitedScan = on != 0;
    CMN_SetUnlimitedScan(g_parse.unlimitedScan);
    return g_parse.unlimitedScan;
}

int PARSE_SetQuiet(int on) { return g_parse.quiet = on != 0; }

char PARSE_GetCommentChar() { return g_parse.commentChar; }

void PARSE_GetFileName(char* buffer) {
    MSG_REQUIRE(buffer != nullptr, PARSE_MODULE);
    CopyName(buffer, g_parse.fileName);
}

const char* PARSE_FileName() { return g_parse.fileName; }

int PARSE_FileKind() { return g_parse.kind; }

int PARSE_CurrentKeyword() { return g_parse.currentKeyword; }

char* PARSE_KeywordName(int id, char* buffer) {
    MSG_REQUIRE(buffer != nullptr, PARSE_MODULE);
    // The 5.0 table holds every id.
    const KEYWORD* table = PARSE_KeywordTable(PARSE_VERSION_5_0);
    const int size = PARSE_KeywordTableSize(PARSE_VERSION_5_0);
    for (int i = 0; i < size; ++i) {
        if (table[i].id == id) {
            std::strcpy(buffer, table[i].name);
            return buffer;
        }
    }
    MSG_BugLine(904);
    std::strcpy(buffer, "Unknown enumerated keyword code");
    return buffer;
}

void PARSE_SetKeywordNotTerminated(int on) { g_parse.notTerminated = on != 0; }

int PARSE_SubmodelFlag() { return g_parse.submodelFlag; }

char* PARSE_TakeAmiText() {
    char* text = g_parse.amiText;
    g_parse.amiText = nullptr;
    g_parse.amiLength = 0;
    return text;
}

void PARSE_SaveState(PARSE_STATE* state) {
    MSG_REQUIRE(state != nullptr, PARSE_MODULE);
    state->kind = g_parse.kind;
    state->line = g_parse.line;
    state->commentChar = g_parse.commentChar;
    state->currentKeyword = g_parse.currentKeyword;
    state->sectionKeyword = g_parse.sectionKeyword;
    state->ibisVerSeen = g_parse.ibisVerSeen;
    state->endSeen = g_parse.endSeen;
    state->tabReported = g_parse.tabReported;
    state->submodelFlag = g_parse.submodelFlag;
    state->notTerminated = g_parse.notTerminated;
    CopyName(state->fileName, g_parse.fileName);
}

void PARSE_RestoreState(const PARSE_STATE* state) {
    MSG_REQUIRE(state != nullptr, PARSE_MODULE);
    g_parse.kind = state->kind;
    g_parse.line = state->line;
    MSG_SetCurrentLine(state->line);
    g_parse.commentChar = state->commentChar;
    g_parse.currentKeyword = state->currentKeyword;
    g_parse.sectionKeyword = state->sectionKeyword;
    g_parse.ibisVerSeen = state->ibisVerSeen;
    g_parse.endSeen = state->endSeen;
    g_parse.tabReported = state->tabReported;
    g_parse.submodelFlag = state->submodelFlag;
    g_parse.notTerminated = state->notTerminated;
    PARSE_SetFileName(state->fileName);
}
