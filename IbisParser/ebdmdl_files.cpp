// End-of-file checks of a board description file: boards named twice, and
// the nodes of every path against the components that the reference
// designator map names, in this file or in the .ibs and .ebd files it names.
//
// A named file is checked with the full file sequence while this file's
// record waits below it on the record stack. Files already being checked
// further down the stack are not loaded again, so a file naming itself or a
// cycle of files ends.

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "IbisParser/cmn.h"
#include "IbisParser/cmn_pairs.h"
#include "IbisParser/cmpnt.h"
#include "IbisParser/ebdmdl_internal.h"
#include "IbisParser/hdr.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"

namespace {

int g_checkReferencedFiles = 1;
// Files nested deeper than this are not loaded: a long chain of distinct
// files would otherwise nest the checks without bound.
constexpr size_t kMaxNesting = 16;
// Files being checked, outermost first.
std::vector<std::string> g_fileStack;

// Boards of one file by name (the newest of duplicates, as the list runs) and
// the pins of each, built once so that every node costs constant time.
class BoardIndex {
public:
    explicit BoardIndex(EBDMDL* list) {
        for (EBDMDL* board = list; board != nullptr; board = board->next) boards_.emplace(board->name, board);
    }
    const EBDMDL* Find(const std::string& name) const {
        const auto found = boards_.find(name);
        return found == boards_.end() ? nullptr : found->second;
    }
    bool HasPin(const EBDMDL* board, const std::string& pin) {
        auto slot = pins_.try_emplace(board);
        if (slot.second)
            for (unsigned i = 0; i < board->pinCount; ++i) slot.first->second.insert(board->pins[i].pin);
        return slot.first->second.count(pin) != 0;
    }

private:
    std::unordered_map<std::string, const EBDMDL*> boards_;
    std::unordered_map<const EBDMDL*, std::unordered_set<std::string>> pins_;
};

// One node that names a component of another file.
struct Reference {
    std::string component;
    std::string board;  // the board whose path holds the node
    std::string pin;
};

struct FileReferences {
    std::string file;
    std::vector<Reference> references;
};

template <class Visit>
void ForEachElement(const EBDPATH* path, Visit visit) {
    std::vector<const EBDELEM*> chains;
    if (path->first != nullptr) chains.push_back(path->first);
    while (!chains.empty()) {
        const EBDELEM* chain = chains.back();
        chains.pop_back();
        for (const EBDELEM* e = chain; e != nullptr; e = e->next) {
            visit(e);
            if (e->branch != nullptr) chains.push_back(e->branch);
        }
    }
}

// One finding for every pair of boards of one name, taken in file order.
void CheckDuplicateBoards(EBDMDL* list) {
    std::vector<const char*> names;
    for (const EBDMDL* board = list; board != nullptr; board = board->next) names.push_back(board->name);
    std::reverse(names.begin(), names.end());
    CMN_ReportEqualPairs(names, [](const char* name) { MSG_Error(4306, name); });
}

void CheckOwnBoard(BoardIndex& index, const EBDMDL* board, EBDREFDES* entry, const char* pin,
                   const char* fileName) {
    if (std::strcmp(entry->component, board->name) == 0) {
        MSG_Error(MSG_EBD_REF_SELF, entry->refdes, entry->component);
        entry->componentGiven = 0;
        return;
    }
    const EBDMDL* target = index.Find(entry->component);
    if (target == nullptr) {
        MSG_Error(MSG_EBD_REF_COMPONENT_NOT_FOUND, entry->component, fileName);
        return;
    }
    if (!index.HasPin(target, pin)) MSG_Error(MSG_EBD_REF_PIN_NOT_FOUND, pin, entry->component, fileName);
}

// The nodes of every board, resolved through its map; references to other
// files are gathered per file in the order they are first named.
std::vector<FileReferences> ResolveNodes(EBDMDL* list, const char* fileName) {
    std::vector<FileReferences> files;
    std::unordered_map<std::string, size_t> fileIndex;
    BoardIndex index(list);
    for (EBDMDL* board = list; board != nullptr; board = board->next) {
        std::unordered_map<std::string, EBDREFDES*> map;
        for (EBDREFDES* entry = board->refdesMap; entry != nullptr; entry = entry->next)
            map.emplace(entry->refdes, entry);  // the newest of duplicates was reported
        for (const EBDPATH* path = board->paths; path != nullptr; path = path->next) {
            ForEachElement(path, [&](const EBDELEM* e) {
                if (e->kind != EBDELEM_NODE) return;
                const auto found = map.find(e->refdes);
                if (found == map.end()) return;
                EBDREFDES* entry = found->second;
                if (!entry->fileValid || !entry->componentGiven) return;
                if (std::strcmp(entry->file, fileName) == 0) {
                    CheckOwnBoard(index, board, entry, e->pin, fileName);
                    return;
                }
                auto slot = fileIndex.emplace(entry->file, files.size());
                if (slot.second) files.push_back({entry->file, {}});
                files[slot.first->second].references.push_back({entry->component, board->name, e->pin});
            });
        }
    }
    return files;
}

void CheckIbsReferences(const IBIS* ibis, const FileReferences& refs) {
    std::unordered_map<std::string, const CMPNT*> components;
    for (const CMPNT* component = ibis->components; component != nullptr; component = component->next)
        components.emplace(component->name, component);
    for (const Reference& ref : refs.references) {
        if (ref.pin.size() >= 6) {
            MSG_Error(MSG_EBD_REF_PIN_TOO_LONG, ref.pin.c_str(), ref.component.c_str());
            continue;
        }
        const CMPNT* component = nullptr;
        const auto found = components.find(ref.component);
        if (found != components.end()) component = found->second;
        if (component == nullptr) {
            MSG_Error(MSG_EBD_REF_COMPONENT_NOT_FOUND, ref.component.c_str(), refs.file.c_str());
        } else if (CMPNT_FindPin(component, ref.pin.c_str()) == nullptr) {
            MSG_Error(MSG_EBD_REF_PIN_NOT_FOUND, ref.pin.c_str(), ref.component.c_str(), refs.file.c_str());
        }
    }
}

void CheckEbdReferences(const IBIS* ibis, const FileReferences& refs, const char* callingFile) {
    // Components of the calling file that the named file points back to.
    std::unordered_set<std::string> backReferences;
    for (const EBDMDL* board = ibis->boards; board != nullptr; board = board->next)
        for (const EBDREFDES* entry = board->refdesMap; entry != nullptr; entry = entry->next)
            if (entry->componentGiven && std::strcmp(entry->file, callingFile) == 0)
                backReferences.insert(entry->component);
    std::unordered_set<std::string> reported;
    BoardIndex index(ibis->boards);
    for (const Reference& ref : refs.references) {
        if (backReferences.count(ref.board) != 0 && reported.insert(ref.board).second)
            MSG_Error(MSG_EBD_REF_RECURSIVE, refs.file.c_str(), ref.board.c_str(), callingFile);
        const EBDMDL* target = index.Find(ref.component);
        if (target == nullptr) {
            MSG_Error(MSG_EBD_REF_COMPONENT_NOT_FOUND, ref.component.c_str(), refs.file.c_str());
        } else if (!index.HasPin(target, ref.pin)) {
            MSG_Error(MSG_EBD_REF_PIN_NOT_FOUND, ref.pin.c_str(), ref.component.c_str(), refs.file.c_str());
        }
    }
}

bool IsBeingChecked(const std::string& file) {
    for (const std::string& name : g_fileStack)
        if (name == file) return true;
    return false;
}

// Checks one named file on a record of its own and its references against
// it; the calling file's reading state, directory, version and record are
// put back afterwards.
void CheckReferencedFile(const FileReferences& refs, const char* callingFile) {
    if (IsBeingChecked(refs.file) || g_fileStack.size() > kMaxNesting) return;
    const char* dot = std::strrchr(refs.file.c_str(), '.');
    const int kind = dot != nullptr && std::strcmp(dot, ".ibs") == 0 ? PARSE_KIND_IBS : PARSE_KIND_EBD;

    PARSE_STATE state;
    PARSE_SaveState(&state);
    const std::string prefix = IBIS_DirectoryPrefix();
    const std::string currentName = CMN_GetCurrentFileName() != nullptr ? CMN_GetCurrentFileName() : "";
    const int level = HDR_GetVersionLevel();

    if (IBIS_New()) {
        IBIS* record = nullptr;
        IBIS_Current(&record);
        const int read = PARSE_ReadFile(refs.file.c_str(), kind);
        if (read) {
            IBIS_Finish(kind, read);
            if (kind == PARSE_KIND_IBS)
                CheckIbsReferences(record, refs);
            else
                CheckEbdReferences(record, refs, callingFile);
        }
        IBIS_Free(record);
    }

    HDR_SetVersionLevel(level);
    CMN_SetCurrentFileName(currentName.c_str());
    IBIS_SetDirectoryPrefix(prefix.c_str());
    PARSE_RestoreState(&state);
}

}  // namespace

int EBDMDL_SetCheckReferencedFiles(int on) {
    g_checkReferencedFiles = on ? 1 : 0;
    return g_checkReferencedFiles;
}

void EBDMDL_CheckList(EBDMDL* list, int readResult) {
    // A block still open at the end of the file is checked first.
    if (g_ebdmdl.open != nullptr) EBDMDL_CloseBoard();
    CheckDuplicateBoards(list);
    if (!g_checkReferencedFiles) return;
    const std::string fileName = PARSE_FileName() != nullptr ? PARSE_FileName() : "";
    const std::vector<FileReferences> files = ResolveNodes(list, fileName.c_str());
    if (readResult == 0) return;
    g_fileStack.push_back(fileName);
    for (const FileReferences& refs : files) CheckReferencedFile(refs, fileName.c_str());
    g_fileStack.pop_back();
}
