// Reading an .ami file: its lines are gathered into one text for the
// parameter tree reader.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse_internal.h"

namespace {

// Longest line of a Description; longer ones are reported.
constexpr size_t kDescriptionMax = 120;

// Room held for a text of `length` characters and its terminator: a power of
// two, so that a file of millions of short lines is copied a few times in
// all rather than once per line. The room follows from the length alone, as
// the gathered text keeps no capacity of its own.
size_t RoomFor(size_t length) {
    size_t room = 64;
    while (room < length + 1) room *= 2;
    return room;
}

void AppendAmiText(const char* text) {
    const size_t added = std::strlen(text);
    const size_t length = g_parse.amiLength + added;
    char* grown = g_parse.amiText;
    if (grown == nullptr || RoomFor(length) != RoomFor(g_parse.amiLength)) {
        grown = static_cast<char*>(std::realloc(g_parse.amiText, RoomFor(length)));
        if (grown == nullptr) {
            MSG_Error(922, PARSE_MODULE, __LINE__);
            return;
        }
    }
    std::memcpy(grown + g_parse.amiLength, text, added + 1);
    g_parse.amiText = grown;
    g_parse.amiLength = length;
}

}  // namespace

int PARSE_ReadAmiFile(const char* name) {
    PARSE_PrintBanner(name, "5.0");
    // An .ami file holds long lines by design; it has no line limit.
    const int savedScan = CMN_GetUnlimitedScan();
    const int savedSwitch = g_parse.unlimitedScan;
    CMN_SetUnlimitedScan(1);
    g_parse.unlimitedScan = 1;
    g_parse.line = 0;
    MSG_SetCurrentLine(0);
    g_parse.tabReported = 0;
    g_parse.commentChar = '|';
    PARSE_SetFileName("");
    if (g_parse.amiText != nullptr) std::free(PARSE_TakeAmiText());
    g_parse.kind = PARSE_KIND_AMI;

    FILE* stream = nullptr;
    char fileName[IBIS_PATH_MAX + 1];
    if (!CMN_OpenIbisFile(name, PARSE_KIND_AMI, &stream, fileName)) {
        CMN_SetUnlimitedScan(savedScan);
        g_parse.unlimitedScan = savedSwitch;
        return 0;
    }
    PARSE_SetFileName(fileName);

    bool inDescription = false;
    size_t length = 0;
    // The line number is in force before the line is read: reading reports
    // illegal characters.
    for (MSG_SetCurrentLine(1); char* line = CMN_ReadWholeLine(&length, stream);
         MSG_SetCurrentLine(g_parse.line + 1)) {
        ++g_parse.line;
        PARSE_CheckLine(line, 1);
        const int lineClass = PARSE_ClassifyAmiLine(line);
        if (lineClass != PARSE_LINE_COMMENT) {
            if (lineClass == PARSE_LINE_AMI_DESCRIPTION) inDescription = true;
            if (lineClass == PARSE_LINE_AMI_GROUP) inDescription = false;
            const bool describes = lineClass == PARSE_LINE_AMI_DESCRIPTION ||
                                   (lineClass == PARSE_LINE_DATA && inDescription);
            if (describes && std::strlen(line) > kDescriptionMax)
                MSG_ErrorLine(923, static_cast<int>(g_parse.line), static_cast<int>(kDescriptionMax));
            char* text = line;
            while (*text != '\0' && CMN_IsSpace(static_cast<unsigned char>(*text))) ++text;
            if (char* comment = std::strchr(text, g_parse.commentChar)) *comment = '\0';
            CMN_TrimRight(text);
            AppendAmiText(text);
        }
        CMN_Free(line);
    }
    MSG_SetCurrentLine(g_parse.line);
    CMN_SetUnlimitedScan(savedScan);
    g_parse.unlimitedScan = savedSwitch;
    std::fclose(stream);
    return 1;
}
