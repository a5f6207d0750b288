// [Path Description] data lines: Pin, Node, R/L/C sections, NC, Fork and
// Endfork, linked into the open path's chain.

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/ebdmdl_internal.h"
#include "IbisParser/msg.h"
#include "IbisParser/sect.h"

namespace {

bool IsTokenEnd(char c) { return c == '\0' || c == ' ' || c == '\t' || c == '=' || c == '\n' || c == '\r'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Names that suggest a keyword was taken for a pin or node name.
bool IsSuspiciousWord(const char* text) {
    static const char* const kWords[] = {"Len", "Fork", "Endfork", "C", "R", "L"};
    for (const char* word : kWords)
        if (std::strcmp(text, word) == 0) return true;
    return false;
}

bool HasElement() { return g_ebdmdl.path != nullptr && g_ebdmdl.path->first != nullptr; }

EBDELEM* Append(int kind) {
    if (g_ebdmdl.tail == nullptr) return nullptr;
    EBDELEM* element = nullptr;
    if (!CMN_Calloc(&element, sizeof *element)) {
        MSG_ErrorLine(4365);
        return nullptr;
    }
    element->kind = kind;
    *g_ebdmdl.tail = element;
    g_ebdmdl.tail = &element->next;
    return element;
}

// The word after a sub-parameter, ended only by blanks; its length.
size_t NextName(char** cursor, char** start) {
    char* p = *cursor;
    while (IsBlank(*p)) ++p;
    *start = p;
    while (*p != '\0' && !IsBlank(*p)) ++p;
    *cursor = p;
    return static_cast<size_t>(p - *start);
}

// false when the line cannot be read further.
bool PinToken(char** cursor) {
    char* name = nullptr;
    const size_t length = NextName(cursor, &name);
    if (length == 0) {
        MSG_ErrorLine(4349);
        return false;
    }
    char text[CMN_REPORT_LIMIT_MAX + 1];
    EBDMDL_Copy(text, name, length, CMN_REPORT_LIMIT_MAX);
    if (length > static_cast<size_t>(EBDMDL_PIN_MAX)) MSG_ErrorLine(4361);
    if (std::strchr(text, '=') != nullptr) MSG_WarningLine(4363, text);
    if (std::strchr(text, '/') != nullptr) MSG_WarningLine(4362, text);
    if (IsSuspiciousWord(text)) MSG_WarningLine(4364, text);
    EBDELEM* element = Append(EBDELEM_PIN);
    if (element == nullptr) return false;
    EBDMDL_Copy(element->pin, name, length, EBDMDL_PIN_MAX);
    return true;
}

bool NodeToken(char** cursor) {
    if (!HasElement()) {
        MSG_ErrorLine(4351);
        return false;
    }
    char* name = nullptr;
    const size_t length = NextName(cursor, &name);
    if (length == 0) {
        MSG_ErrorLine(4350);
        return false;
    }
    char text[CMN_REPORT_LIMIT_MAX + 1];
    EBDMDL_Copy(text, name, length, CMN_REPORT_LIMIT_MAX);
    char* dot = std::strchr(text, '.');
    if (dot == nullptr) {
        MSG_ErrorLine(4368);
        return false;
    }
    const size_t refdesLength = static_cast<size_t>(dot - text);
    const char* pin = dot + 1;
    if (refdesLength > static_cast<size_t>(EBDMDL_REFDES_MAX)) MSG_ErrorLine(4369);
    if (std::strlen(pin) > static_cast<size_t>(EBDMDL_PIN_MAX)) MSG_ErrorLine(MSG_EBD_NODE_PIN_TOO_LONG);
    if (std::strchr(text, '=') != nullptr) MSG_Warning(MSG_EBD_NODE_HAS_EQUALS, text);
    if (std::strchr(text, '/') != nullptr) MSG_Warning(MSG_EBD_NODE_HAS_SLASH, text);
    char refdes[EBDMDL_REFDES_MAX + 1];
    EBDMDL_Copy(refdes, text, refdesLength, EBDMDL_REFDES_MAX);
    if (IsSuspiciousWord(refdes) || IsSuspiciousWord(pin)) MSG_WarningLine(MSG_EBD_NODE_SUSPICIOUS, text);
    EBDELEM* element = Append(EBDELEM_NODE);
    if (element == nullptr) return false;
    std::memcpy(element->refdes, refdes, sizeof refdes);
    EBDMDL_Copy(element->pin, pin, std::strlen(pin), EBDMDL_PIN_MAX);
    return true;
}

bool SectionToken(char* start, char** cursor) {
    if (!HasElement()) {
        MSG_ErrorLine(4342);
        return false;
    }
    SECT* section = nullptr;
    char* rest = nullptr;
    if (!SECT_Parse(start, &section, &rest) || section == nullptr) return false;
    EBDELEM* element = Append(EBDELEM_SECTION);
    if (element == nullptr) {
        SECT_Free(section);
        return false;
    }
    element->section = section;
    *cursor = rest;
    return true;
}

void ForkToken() {
    if (!HasElement()) {
        MSG_ErrorLine(4345);
        return;
    }
    EBDELEM* fork = Append(EBDELEM_FORK);
    if (fork == nullptr) return;
    g_ebdmdl.forks.push_back(fork);
    g_ebdmdl.tail = &fork->branch;
}

void EndforkToken() {
    if (!HasElement()) {
        MSG_ErrorLine(4346);
        return;
    }
    if (g_ebdmdl.forks.empty()) {
        MSG_ErrorLine(4348);
        return;
    }
    EBDELEM* fork = g_ebdmdl.forks.back();
    g_ebdmdl.forks.pop_back();
    if (fork->branch == nullptr) MSG_ErrorLine(4347);
    g_ebdmdl.tail = &fork->next;
}

}  // namespace

void EBDMDL_PathLine(char* line) {
    char* cursor = line;
    for (;;) {
        while (IsBlank(*cursor) || *cursor == '=' || *cursor == '/') {
            if (*cursor == '=') MSG_ErrorLine(4340);
            if (*cursor == '/') MSG_ErrorLine(4341);
            ++cursor;
        }
        if (*cursor == '\0') return;
        char* start = cursor;
        while (!IsTokenEnd(*cursor)) ++cursor;
        char token[CMN_REPORT_LIMIT_MAX + 1];
        EBDMDL_Copy(token, start, static_cast<size_t>(cursor - start), CMN_REPORT_LIMIT_MAX);
        bool goOn = true;
        if (CMN_StrEqualNoCase(token, "Pin")) {
            goOn = PinToken(&cursor);
        } else if (CMN_StrEqualNoCase(token, "Node")) {
            goOn = NodeToken(&cursor);
        } else if (CMN_StrEqualNoCase(token, "Len")) {
            goOn = SectionToken(start, &cursor);
        } else if (CMN_StrEqualNoCase(token, "NC")) {
            if (HasElement())
                Append(EBDELEM_NC);
            else
                MSG_ErrorLine(4344);
        } else if (CMN_StrEqualNoCase(token, "Fork")) {
            ForkToken();
        } else if (CMN_StrEqualNoCase(token, "Endfork")) {
            EndforkToken();
        } else {
            MSG_ErrorLine(4352, token);
        }
        if (!goOn) return;
    }
}
