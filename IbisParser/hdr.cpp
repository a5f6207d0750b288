// Header records, the header block's lifetime, and the routing of its lines.

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/hdr_internal.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"

namespace {

HDR* g_current = nullptr;
// Seen-flags of the current header, by keyword id (COMMENT_CHAR unused).
int g_seen[KW::COPYRIGHT + 1] = {};
// The last header keyword line: continuation lines belong to it.
int g_lastKeyword = KW::NOT_KEY;

int g_versionLevel = 0;
int g_skipFileNameChecks = 0;
int g_acceptVersion1 = 0;
int g_forceVersion5 = 0;

bool IsHeaderKeyword(int id) { return id == KW::IBIS_VER || (id >= KW::FILE_NAME && id <= KW::COPYRIGHT); }

bool TakesTextLines(int id) {
    return id == KW::SOURCE || id == KW::NOTES || id == KW::DISCLAIMER || id == KW::COPYRIGHT;
}

void HandleKeywordLine(int keyword, char* line) {
    g_lastKeyword = keyword;
    const char* value = line;
    CMN_SkipPastBracket(&value);
    switch (keyword) {
        case KW::IBIS_VER: HDR_VersionValue(g_current, value); break;
        case KW::FILE_NAME: HDR_FileNameValue(g_current, value); break;
        case KW::FILE_REV: HDR_FileRevValue(g_current, value); break;
        case KW::DATE: HDR_DateValue(g_current, value); break;
        case KW::SOURCE:
        case KW::NOTES:
        case KW::DISCLAIMER:
        case KW::COPYRIGHT: HDR_TextValue(g_current, keyword, value); break;
        default: MSG_BugLine(1003); break;
    }
}

}  // namespace

int HDR_Seen(int keyword) { return IsHeaderKeyword(keyword) ? g_seen[keyword] : 0; }

void HDR_MarkSeen(int keyword) {
    if (IsHeaderKeyword(keyword)) g_seen[keyword] = 1;
}

void HDR_AcceptLevel(int level) { g_versionLevel = level; }

int HDR_ChecksFileNames() { return !g_skipFileNameChecks; }

int HDR_Open() {
    IBIS* ibis = nullptr;
    if (!IBIS_Current(&ibis)) {
        MSG_Bug(1000);
        return 0;
    }
    HDR* header = nullptr;
    if (!CMN_Calloc(&header, sizeof *header)) {
        MSG_Error(1006);
        return 0;
    }
    IBIS_AddHeader(ibis, header);
    g_current = header;
    std::memset(g_seen, 0, sizeof g_seen);
    g_lastKeyword = KW::NOT_KEY;
    return 1;
}

int HDR_HandleLine(int lineClass, int keyword, char* line) {
    MSG_REQUIRE(line != nullptr, HDR_MODULE);
    if (g_current == nullptr) {
        if (lineClass == PARSE_LINE_KEYWORD)
            MSG_ErrorLine(1001);
        else if (lineClass == PARSE_LINE_DATA)
            MSG_ErrorLine(1002);
        else
            MSG_BugLine(1004);
        return 0;
    }
    if (lineClass == PARSE_LINE_KEYWORD) {
        HandleKeywordLine(keyword, line);
        return 1;
    }
    if (lineClass == PARSE_LINE_DATA) {
        if (!TakesTextLines(g_lastKeyword)) {
            MSG_ErrorLine(1002);
            return 0;
        }
        HDR_TextLine(g_current, g_lastKeyword, line);
        return 1;
    }
    MSG_BugLine(1004);
    return 0;
}

void HDR_KeywordChange(int next) {
    if (next == KW::IBIS_VER) {
        if (g_current != nullptr) MSG_ErrorLine(1005);
        return;
    }
    if (IsHeaderKeyword(next)) return;
    if (g_current == nullptr) return;
    CMN_RequireKeyword("IBIS_Version", g_seen[KW::IBIS_VER]);
    CMN_RequireKeyword("File_name", g_seen[KW::FILE_NAME]);
    CMN_RequireKeyword("File_Rev", g_seen[KW::FILE_REV]);
    g_current = nullptr;
    g_lastKeyword = KW::NOT_KEY;
}

void HDR_FreeList(HDR* list) {
    while (list != nullptr) {
        HDR* next = list->next;
        if (list == g_current) g_current = nullptr;
        if (list->source != nullptr) CMN_Free(list->source);
        if (list->notes != nullptr) CMN_Free(list->notes);
        if (list->disclaimer != nullptr) CMN_Free(list->disclaimer);
        if (list->copyright != nullptr) CMN_Free(list->copyright);
        CMN_Free(list);
        list = next;
    }
}

HDR* HDR_Current() { return g_current; }
const char* HDR_GetVersion(const HDR* header) { return header->version; }
const char* HDR_GetFileName(const HDR* header) { return header->fileName; }
const char* HDR_GetFileRev(const HDR* header) { return header->fileRev; }
const char* HDR_GetDate(const HDR* header) { return header->date; }
const char* HDR_GetSource(const HDR* header) { return header->source; }
const char* HDR_GetNotes(const HDR* header) { return header->notes; }
const char* HDR_GetDisclaimer(const HDR* header) { return header->disclaimer; }
const char* HDR_GetCopyright(const HDR* header) { return header->copyright; }

int HDR_GetVersionLevel() { return g_versionLevel; }
void HDR_SetVersionLevel(int level) { g_versionLevel = level; }

int HDR_SetSkipFileNameChecks(int on) { return g_skipFileNameChecks = on != 0; }
int HDR_SetAcceptVersion1(int on) { return g_acceptVersion1 = on != 0; }
int HDR_SetForceVersion5(int on) { return g_forceVersion5 = on != 0; }
int HDR_AcceptsVersion1() { return g_acceptVersion1; }
int HDR_ForcesVersion5() { return g_forceVersion5; }
