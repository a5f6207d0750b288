// [Series MOSFET] entries: their Vds line, their table and the check that no
// two entries of a series element share a Vds.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "IbisParser/cmn.h"
#include "IbisParser/crv_internal.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse_keywords.h"

namespace {

// Entries a series element may hold.
constexpr int kMaxEntries = 100;
// Vds values closer than this are the same.
constexpr double kSameVds = 1e-9;

const RNGP_NAMEVALUE kVdsMessages = {2803, nullptr, 2810, 2811, 0, nullptr};

// Whether the first word of `line` (ended by a blank, a tab or '=') is `name`.
bool FirstWordIs(const char* line, const char* name) {
    RNGP_WORDS words;
    RNGP_SplitWords(line, 1, '=', &words);
    const size_t length = std::strlen(name);
    return words.stored == 1 && words.length[0] == length && std::strncmp(words.start[0], name, length) == 0;
}

bool StartsWithNumberOrNA(const char* line) {
    RNGP_WORDS words;
    RNGP_SplitWords(line, 1, '\0', &words);
    if (words.stored == 0) return false;
    char text[RNGP_WORD_MAX + 1];
    RNGP_WordText(&words, 0, text, sizeof text);
    double value = 0.0;
    int isNA = 0;
    return CMN_GetValueOrNA(text, &value, &isNA) != CMN_NUM_BAD;
}

}  // namespace

SMOSFET* CRV_MosfetStart(const char* line, SMOSFET** list) {
    MSG_REQUIRE(line != nullptr && list != nullptr, CRV_MODULE);
    const int existing = *list != nullptr ? (*list)->listCount : 0;
    if (existing >= kMaxEntries) MSG_ErrorLine(2800);

    SMOSFET* entry = nullptr;
    if (!CMN_Calloc(&entry, sizeof *entry)) {
        MSG_Bug(1908, CRV_MODULE, __LINE__);
        return nullptr;
    }
    entry->table = CRV_NewTable();
    if (entry->table == nullptr) {
        CMN_Free(entry);
        return nullptr;
    }
    entry->startLine = MSG_GetCurrentLine();
    if (*list == nullptr) {
        *list = entry;
    } else {
        (*list)->listTail->next = entry;
    }
    (*list)->listTail = entry;
    (*list)->listCount = existing + 1;

    const char* rest = RNGP_AfterKeyword(line);
    const int words = rest != nullptr ? RNGP_CountWords(rest) : 0;
    if (words > 0) MSG_ErrorLine(2803, words + 1, "[Series_MOSFET]", 1);
    return entry;
}

void CRV_MosfetDataLine(const char* line, SMOSFET* entry) {
    MSG_REQUIRE(line != nullptr && entry != nullptr, CRV_MODULE);
    const bool firstLine = !entry->vdsLineSeen;
    entry->vdsLineSeen = 1;
    if (FirstWordIs(line, "Vds")) {
        if (entry->vdsGiven) {
            MSG_ErrorLine(2808);
            return;
        }
        double vds = 0.0;
        if (RNGP_ReadNameValue(line, "Vds", kVdsMessages, &vds)) {
            entry->vds = vds;
            entry->vdsGiven = 1;
        }
        return;
    }
    if (firstLine) {
        MSG_ErrorLine(2807);
        // A table row standing where Vds belongs is still a row of the table.
        if (!StartsWithNumberOrNA(line)) return;
    }
    CRV_Row(line, entry->table, "Series_MOSFET");
}

void CRV_MosfetEnd(SMOSFET* entry, const char* modelName, int modelType) {
    MSG_REQUIRE(entry != nullptr && modelName != nullptr, CRV_MODULE);
    const int line = static_cast<int>(entry->startLine);
    if (!entry->vdsGiven)
        MSG_Error(2804, modelName, line);
    else if (entry->vds < 0.0)
        MSG_Error(2805, modelName, line);
    CRV_End(modelName, modelType, KW::SERIES_MOSFET, entry->table, "Series_MOSFET", "Model");
}

void CRV_CheckMosfetList(const SMOSFET* list, const char* modelName, const char* label) {
    MSG_REQUIRE(modelName != nullptr && label != nullptr, CRV_MODULE);
    // Entries with a Vds, by file position; sorting them by Vds finds every
    // close pair in one sweep, and sorting the pairs restores file order.
    std::vector<std::pair<double, int>> byVds;
    std::vector<const SMOSFET*> entries;
    for (const SMOSFET* entry = list; entry != nullptr; entry = entry->next) {
        if (entry->vdsGiven) byVds.emplace_back(entry->vds, static_cast<int>(entries.size()));
        entries.push_back(entry);
    }
    std::stable_sort(byVds.begin(), byVds.end());
    std::vector<std::pair<int, int>> pairs;
    for (size_t i = 0; i < byVds.size(); ++i)
        for (size_t j = i + 1; j < byVds.size() && std::fabs(byVds[j].first - byVds[i].first) < kSameVds; ++j)
            pairs.emplace_back(std::min(byVds[i].second, byVds[j].second), std::max(byVds[i].second, byVds[j].second));
    std::sort(pairs.begin(), pairs.end());
    for (const auto& pair : pairs) MSG_Error(2806, modelName, label, entries[static_cast<size_t>(pair.first)]->vds);
}

void CRV_FreeMosfetList(SMOSFET* list) {
    while (list != nullptr) {
        SMOSFET* next = list->next;
        CRV_Free(list->table);
        CMN_Free(list);
        list = next;
    }
}
