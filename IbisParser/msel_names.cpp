// The name lookup of the selector and submodel sections.

#include "IbisParser/msel_names.h"

#include <new>
#include <string_view>
#include <unordered_map>

struct MSEL_NAMES {
    std::unordered_map<std::string_view, void*> records;
    bool complete = true;
};

MSEL_NAMES* MSEL_NamesNew() { return new (std::nothrow) MSEL_NAMES; }

void* MSEL_NamesAdd(MSEL_NAMES* names, const char* name, void* record) {
    if (names == nullptr || !names->complete) return nullptr;
    try {
        auto [place, added] = names->records.try_emplace(name, record);
        if (added) return nullptr;
        void* before = place->second;
        place->second = record;
        return before;
    } catch (const std::bad_alloc&) {
        names->complete = false;
        return nullptr;
    }
}

void* MSEL_NamesFind(const MSEL_NAMES* names, const char* name) {
    if (names == nullptr) return nullptr;
    const auto found = names->records.find(name);
    return found != names->records.end() ? found->second : nullptr;
}

bool MSEL_NamesComplete(const MSEL_NAMES* names) { return names != nullptr && names->complete; }

void MSEL_NamesFree(MSEL_NAMES* names) { delete names; }
