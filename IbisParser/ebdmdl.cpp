// [Begin Board Description]: opening records, the keyword lines of the block
// and the hand-off of its data lines; the block ends at a keyword outside it.

#include "IbisParser/ebdmdl.h"

#include <climits>
#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/ebdmdl_internal.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"
#include "IbisParser/sect.h"

EbdmdlState g_ebdmdl;

namespace {

void NumberOfPins(EBDMDL* board, const char* rest) {
    if (g_ebdmdl.numberOfPinsSeen) {
        MSG_ErrorLine(4309);
        return;
    }
    g_ebdmdl.numberOfPinsSeen = 1;
    if (*rest == '\0') {
        MSG_ErrorLine(4310);
        return;
    }
    if (board->number_of_pins != 0) {
        MSG_ErrorLine(4311);
        return;
    }
    unsigned long value = 0;
    const int result = CMN_ParseUnsigned(rest, &value);
    if (result == CMN_NUM_BAD || value > UINT_MAX) {
        MSG_ErrorLine(4313);
        return;
    }
    if (result == CMN_NUM_SUSPICIOUS) MSG_WarningLine(4312);
    if (value == 0) MSG_ErrorLine(4314);
    board->number_of_pins = static_cast<unsigned>(value);
}

void PinList(const char* rest) {
    if (g_ebdmdl.pinListSeen) {
        MSG_ErrorLine(4336);
        return;
    }
    g_ebdmdl.pinListSeen = 1;
    const char* word = nullptr;
    const size_t length = EBDMDL_Word(&rest, &word);
    if (length == 0) {
        MSG_ErrorLine(4337);
        return;
    }
    char header[16] = {};
    EBDMDL_Copy(header, word, length, sizeof header - 1);
    if (length != 11 || !CMN_StrEqualNoCase(header, "signal_name")) {
        MSG_ErrorLine(4338);
        return;
    }
    if (EBDMDL_Word(&rest, &word) != 0) MSG_ErrorLine(4339);
}

// A new path ends the previous one; Forks it left open are dropped.
void PathDescription(EBDMDL* board, const char* rest) {
    if (!g_ebdmdl.forks.empty()) {
        MSG_ErrorLine(4303);
        g_ebdmdl.forks.clear();
    }
    g_ebdmdl.path = nullptr;
    g_ebdmdl.tail = nullptr;
    EBDPATH* path = nullptr;
    if (!CMN_Calloc(&path, sizeof *path)) {
        MSG_ErrorLine(4353);
        return;
    }
    // The name is a field like any other: over-long is reported and cut,
    // empty is reported.
    CMN_CopyField(path->name, rest, EBDMDL_NAME_MAX, "Path Description");
    CMN_TrimRight(path->name);
    if (path->name[0] != '\0') CMN_CheckReserved(path->name);
    if (!g_ebdmdl.pathNames.insert(path->name).second) MSG_ErrorLine(4354, path->name);
    if (board->pathsTail != nullptr)
        board->pathsTail->next = path;
    else
        board->paths = path;
    board->pathsTail = path;
    g_ebdmdl.path = path;
    g_ebdmdl.tail = &path->first;
}

// [Reference Designator Map], [End Board Description]: once, alone.
void FlagKeyword(int* flag, const char* label, const char* rest) {
    if (*flag) MSG_ErrorLine(4334, label);
    if (*rest != '\0') MSG_ErrorLine(4335, label);
    *flag = 1;
}

void KeywordLine(EBDMDL* board, int keyword, const char* line) {
    const char* rest = line;
    CMN_SkipPastBracket(&rest);
    switch (keyword) {
        case KW::BEGIN_BOARD_DESCRIPTION:
            if (CMN_SetFieldOnce(board->name, rest, EBDMDL_NAME_MAX, "Define Ebd Model") &&
                board->name[0] != '\0')
                CMN_CheckReserved(board->name);
            break;
        case KW::MANUFACTURER_EBD:
            // A blank one is reported when the board ends.
            EBDMDL_Copy(board->manufacturer, rest, std::strlen(rest), EBDMDL_NAME_MAX);
            CMN_TrimRight(board->manufacturer);
            break;
        case KW::NUMBER_OF_PINS_EBD: NumberOfPins(board, rest); break;
        case KW::PIN_LIST: PinList(rest); break;
        case KW::PATH_DESCRIPTION: PathDescription(board, rest); break;
        case KW::REFERENCE_DESIGNATOR_MAP: FlagKeyword(&g_ebdmdl.mapSeen, "Reference_Designator_Map", rest); break;
        case KW::END_BOARD_DESCRIPTION: FlagKeyword(&g_ebdmdl.endSeen, "End_Board_Description", rest); break;
        default: MSG_BugLine(4304, EBDMDL_MODULE, __LINE__); return;
    }
    // Keywords other than a path's end the open path.
    if (keyword != KW::PATH_DESCRIPTION) {
        g_ebdmdl.path = nullptr;
        g_ebdmdl.tail = nullptr;
    }
    g_ebdmdl.lastKeyword = keyword;
}

void DataLine(EBDMDL* board, char* line) {
    switch (g_ebdmdl.lastKeyword) {
        case KW::PIN_LIST: EBDMDL_PinListRow(board, line); break;
        case KW::PATH_DESCRIPTION: EBDMDL_PathLine(line); break;
        case KW::REFERENCE_DESIGNATOR_MAP: EBDMDL_MapRow(board, line); break;
        default: MSG_ErrorLine(4302); break;
    }
}

}  // namespace

void EBDMDL_Copy(char* dest, const char* text, size_t length, size_t limit) {
    const size_t kept = length < limit ? length : limit;
    std::memcpy(dest, text, kept);
    dest[kept] = '\0';
}

size_t EBDMDL_Word(const char** text, const char** start) {
    const char* p = *text;
    while (*p == ' ' || *p == '\t') ++p;
    *start = p;
    while (*p != '\0' && *p != ' ' && *p != '\t' && *p != '\n' && *p != '\r') ++p;
    *text = p;
    return static_cast<size_t>(p - *start);
}

int EBDMDL_Open() {
    // A board whose block was never closed is checked first.
    if (g_ebdmdl.open != nullptr) EBDMDL_CloseBoard();
    IBIS* ibis = nullptr;
    if (!IBIS_Current(&ibis)) {
        MSG_BugLine(4300, EBDMDL_MODULE, __LINE__);
        return 0;
    }
    EBDMDL* record = nullptr;
    if (!CMN_Calloc(&record, sizeof *record)) {
        MSG_ErrorLine(4307);
        return 0;
    }
    IBIS_AddBoard(ibis, record);
    g_ebdmdl = EbdmdlState{};
    g_ebdmdl.open = record;
    return 1;
}

int EBDMDL_HandleLine(int lineClass, int keyword, char* line) {
    EBDMDL* board = g_ebdmdl.open;
    if (lineClass == PARSE_LINE_KEYWORD) {
        if (board == nullptr)
            MSG_ErrorLine(4301);
        else
            KeywordLine(board, keyword, line);
    } else if (lineClass == PARSE_LINE_DATA) {
        if (board == nullptr)
            MSG_ErrorLine(4302);
        else
            DataLine(board, line);
    } else {
        MSG_BugLine(4305, EBDMDL_MODULE, __LINE__);
    }
    return 1;
}

void EBDMDL_KeywordChange(int next) {
    if (g_ebdmdl.open == nullptr) return;
    if (next >= KW::MANUFACTURER_EBD && next <= KW::END_BOARD_DESCRIPTION) return;
    EBDMDL_CloseBoard();
}

EBDMDL* EBDMDL_Find(EBDMDL* list, const char* name) {
    for (; list != nullptr; list = list->next)
        if (std::strcmp(list->name, name) == 0) return list;
    return nullptr;
}

const EBDPIN* EBDMDL_FindPin(const EBDMDL* board, const char* pin) {
    for (unsigned i = 0; i < board->pinCount; ++i)
        if (std::strcmp(board->pins[i].pin, pin) == 0) return &board->pins[i];
    return nullptr;
}

void EBDMDL_FreeChain(EBDELEM* chain) {
    // Branches are released through an explicit stack so that deep nesting
    // cannot exhaust the call stack.
    std::vector<EBDELEM*> pending;
    if (chain != nullptr) pending.push_back(chain);
    while (!pending.empty()) {
        EBDELEM* element = pending.back();
        pending.pop_back();
        while (element != nullptr) {
            EBDELEM* next = element->next;
            if (element->branch != nullptr) pending.push_back(element->branch);
            if (element->section != nullptr) SECT_Free(element->section);
            CMN_Free(element);
            element = next;
        }
    }
}

void EBDMDL_FreeList(EBDMDL* list) {
    while (list != nullptr) {
        EBDMDL* next = list->next;
        if (g_ebdmdl.open == list) g_ebdmdl = EbdmdlState{};
        for (EBDPATH* path = list->paths; path != nullptr;) {
            EBDPATH* nextPath = path->next;
            EBDMDL_FreeChain(path->first);
            CMN_Free(path);
            path = nextPath;
        }
        for (EBDREFDES* entry = list->refdesMap; entry != nullptr;) {
            EBDREFDES* nextEntry = entry->next;
            CMN_Free(entry);
            entry = nextEntry;
        }
        if (list->pins != nullptr) CMN_Free(list->pins);
        CMN_Free(list);
        list = next;
    }
}
