// Rows of [Pin List] and [Reference Designator Map].

#include <cctype>
#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/ebdmdl_internal.h"
#include "IbisParser/hdr.h"
#include "IbisParser/msg.h"

namespace {

// Characters a DOS file name may hold besides letters, digits and '.'.
bool IsDosChar(unsigned char c) {
    if (std::isalnum(c) || c == '.') return true;
    return c != '\0' && std::strchr("!#$%&'()-@^_`{}~", c) != nullptr;
}

// Reports what keeps `name` from being a portable .ibs or .ebd file name;
// true when nothing did.
bool ValidFileName(const char* name) {
    const char* firstDot = std::strchr(name, '.');
    if (firstDot == nullptr) {
        MSG_ErrorLine(MSG_EBD_FILE_NO_EXTENSION, name);
        return false;
    }
    bool valid = true;
    const char* lastDot = std::strrchr(name, '.');
    if (std::strcmp(lastDot, ".ibs") != 0 && std::strcmp(lastDot, ".ebd") != 0) {
        MSG_ErrorLine(MSG_EBD_FILE_BAD_EXTENSION, lastDot);
        valid = false;
    }
    for (const char* p = name; *p != '\0'; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (std::isupper(c)) {
            MSG_ErrorLine(MSG_EBD_FILE_UPPER_CASE, name, c);
            valid = false;
        } else if (!IsDosChar(c)) {
            MSG_ErrorLine(MSG_EBD_FILE_DOS_CHAR, name, c);
            valid = false;
        } else if (c == '.' && p != firstDot) {
            MSG_ErrorLine(MSG_EBD_FILE_EXTRA_PERIOD, name);
            valid = false;
        }
    }
    return valid;
}

}  // namespace

void EBDMDL_PinListRow(EBDMDL* board, const char* line) {
    const char* rest = line;
    const char* word = nullptr;
    size_t length = EBDMDL_Word(&rest, &word);
    if (length == 0) {
        MSG_ErrorLine(4316);
        return;
    }
    if (length > static_cast<size_t>(EBDMDL_PIN_MAX)) MSG_ErrorLine(4317);
    if (board->number_of_pins == 0) {
        MSG_Error(4318);
        return;
    }
    if (board->pinCount >= board->number_of_pins) {
        MSG_ErrorLine(4320);
        return;
    }
    // The array grows with the rows up to the declared count, so that a huge
    // count in a small file does not reserve memory it never uses.
    if (board->pinCount == g_ebdmdl.pinCapacity) {
        unsigned capacity = g_ebdmdl.pinCapacity == 0 ? 16u : g_ebdmdl.pinCapacity * 2u;
        if (capacity > board->number_of_pins || capacity < g_ebdmdl.pinCapacity) capacity = board->number_of_pins;
        const size_t bytes = sizeof(EBDPIN) * capacity;
        const bool grown = board->pins == nullptr ? CMN_Calloc(&board->pins, bytes) : CMN_Realloc(&board->pins, bytes);
        if (!grown) {
            MSG_ErrorLine(board->pins == nullptr ? 4319 : 4321);
            return;
        }
        g_ebdmdl.pinCapacity = capacity;
    }
    EBDPIN* entry = &board->pins[board->pinCount++];
    std::memset(entry, 0, sizeof *entry);
    EBDMDL_Copy(entry->pin, word, length, EBDMDL_PIN_MAX);
    if (!g_ebdmdl.pinNames.insert(entry->pin).second) MSG_ErrorLine(4322, entry->pin);

    length = EBDMDL_Word(&rest, &word);
    if (length == 0) {
        MSG_ErrorLine(4323);
        return;
    }
    if (length > static_cast<size_t>(EBDMDL_SIGNAL_MAX)) MSG_ErrorLine(4324);
    EBDMDL_Copy(entry->signal_name, word, length, EBDMDL_SIGNAL_MAX);
    if (EBDMDL_Word(&rest, &word) != 0) MSG_ErrorLine(4325);
}

namespace {

// The fields of one row, into an entry already in the list.
void ReadMapRow(const char* line, EBDREFDES* entry) {
    const char* rest = line;
    const char* word = nullptr;
    size_t length = EBDMDL_Word(&rest, &word);
    if (length == 0) {
        MSG_ErrorLine(MSG_EBD_MAP_NO_REFDES);
        return;
    }
    char text[CMN_REPORT_LIMIT_MAX + 1];
    EBDMDL_Copy(text, word, length, CMN_REPORT_LIMIT_MAX);
    if (length > static_cast<size_t>(EBDMDL_REFDES_MAX)) MSG_ErrorLine(MSG_EBD_MAP_REFDES_TOO_LONG, text);
    EBDMDL_Copy(entry->refdes, word, length, EBDMDL_REFDES_MAX);
    if (!g_ebdmdl.refdesNames.insert(entry->refdes).second)
        MSG_ErrorLine(MSG_EBD_MAP_DUPLICATE_REFDES, entry->refdes);

    length = EBDMDL_Word(&rest, &word);
    if (length == 0) {
        MSG_ErrorLine(MSG_EBD_MAP_NO_FILE);
        return;
    }
    const size_t fileLimit =
        static_cast<size_t>(HDR_GetVersionLevel() < 4 ? EBDMDL_FILE_MAX_OLD : EBDMDL_FILE_MAX);
    EBDMDL_Copy(text, word, length, CMN_REPORT_LIMIT_MAX);
    if (length > fileLimit) MSG_ErrorLine(MSG_EBD_MAP_FILE_TOO_LONG, text);
    char file[EBDMDL_FILE_MAX + 1];
    EBDMDL_Copy(file, word, length, fileLimit);
    std::memcpy(entry->file, file, sizeof file);
    entry->fileValid = ValidFileName(file) ? 1 : 0;

    while (*rest == ' ' || *rest == '\t') ++rest;
    EBDMDL_Copy(text, rest, std::strlen(rest), CMN_REPORT_LIMIT_MAX);
    CMN_TrimRight(text);
    if (text[0] == '\0') {
        MSG_ErrorLine(MSG_EBD_MAP_NO_COMPONENT);
        return;
    }
    if (std::strlen(text) > static_cast<size_t>(EBDMDL_NAME_MAX)) MSG_ErrorLine(MSG_EBD_MAP_COMPONENT_TOO_LONG, text);
    EBDMDL_Copy(entry->component, text, std::strlen(text), EBDMDL_NAME_MAX);
    entry->componentGiven = 1;
}

}  // namespace

void EBDMDL_MapRow(EBDMDL* board, const char* line) {
    EBDREFDES* entry = nullptr;
    if (!CMN_Calloc(&entry, sizeof *entry)) {
        MSG_ErrorLine(MSG_EBD_MAP_ALLOC);
        return;
    }
    entry->next = board->refdesMap;
    board->refdesMap = entry;
    ReadMapRow(line, entry);
}
