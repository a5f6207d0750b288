// The checks of one board when its block ends: names, pins against the
// paths, the paths' elements against the pin list and the reference
// designator map.

#include <cstring>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "IbisParser/cmn.h"
#include "IbisParser/ebdmdl_internal.h"
#include "IbisParser/msg.h"

namespace {

bool IsPlaneSignal(const char* signal) {
    return std::strncmp(signal, "POWER", 5) == 0 || std::strncmp(signal, "GND", 3) == 0;
}

// Visits every element of every chain of `path`, branches included, without
// recursion.
template <class Visit>
void ForEachChain(const EBDPATH* path, Visit visit) {
    std::vector<const EBDELEM*> chains;
    if (path->first != nullptr) chains.push_back(path->first);
    while (!chains.empty()) {
        const EBDELEM* chain = chains.back();
        chains.pop_back();
        visit(chain);
        for (const EBDELEM* e = chain; e != nullptr; e = e->next)
            if (e->branch != nullptr) chains.push_back(e->branch);
    }
}

void CheckPins(const EBDMDL* board) {
    if (!g_ebdmdl.pinListSeen) {
        MSG_Error(4326);
        return;
    }
    if (board->number_of_pins != 0 && board->pinCount == 0) {
        MSG_Error(4327);
        return;
    }
    std::unordered_map<std::string, int> uses;
    for (const EBDPATH* path = board->paths; path != nullptr; path = path->next)
        ForEachChain(path, [&uses](const EBDELEM* chain) {
            for (const EBDELEM* e = chain; e != nullptr; e = e->next)
                if (e->kind == EBDELEM_PIN) ++uses[e->pin];
        });
    for (unsigned i = 0; i < board->pinCount; ++i) {
        const EBDPIN& row = board->pins[i];
        const auto found = uses.find(row.pin);
        const int count = found == uses.end() ? 0 : found->second;
        const bool plane = IsPlaneSignal(row.signal_name);
        if (count == 0) {
            if (!plane && CMN_IsNotReserved(row.signal_name)) MSG_Error(4328, row.pin);
        } else if (plane) {
            MSG_Warning(4329, row.pin);
        } else if (count > 1) {
            MSG_Error(4330, row.pin, count);
        }
    }
    if (board->pinCount < board->number_of_pins) MSG_Error(4331, board->number_of_pins, board->pinCount);
}

void CheckPaths(const EBDMDL* board) {
    if (!g_ebdmdl.forks.empty()) MSG_ErrorLine(4303);
    if (board->paths == nullptr) {
        MSG_Error(4355, board->name);
        return;
    }
    std::unordered_set<std::string> refdes;
    for (const EBDREFDES* entry = board->refdesMap; entry != nullptr; entry = entry->next) refdes.insert(entry->refdes);
    std::unordered_set<std::string> pins;
    for (unsigned i = 0; i < board->pinCount; ++i) pins.insert(board->pins[i].pin);
    for (const EBDPATH* path = board->paths; path != nullptr; path = path->next) {
        if (path->first == nullptr) {
            MSG_Error(4356, path->name);
            continue;
        }
        ForEachChain(path, [&](const EBDELEM* chain) {
            for (const EBDELEM* e = chain; e != nullptr; e = e->next) {
                if (e->kind == EBDELEM_NODE && refdes.count(e->refdes) == 0) MSG_Error(4359, e->refdes, path->name);
                if (e->kind == EBDELEM_PIN && pins.count(e->pin) == 0) MSG_Error(4358, e->pin, path->name);
                if (e->kind == EBDELEM_NC && e->next != nullptr) MSG_Error(4357, path->name);
            }
        });
    }
}

}  // namespace

void EBDMDL_CloseBoard() {
    const EBDMDL* board = g_ebdmdl.open;
    if (board == nullptr) return;
    if (board->name[0] == '\0') MSG_Error(4308);
    if (board->manufacturer[0] == '\0') MSG_Error(4333, "Manufacturer", board->name);
    if (board->number_of_pins == 0) MSG_Error(4315, board->name);
    CheckPins(board);
    CheckPaths(board);
    if (!g_ebdmdl.endSeen) MSG_Error(4332);
    g_ebdmdl = EbdmdlState{};
}
