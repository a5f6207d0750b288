// Name index of component rows.

#include "IbisParser/cmpnt_names.h"

#include <new>
#include <string>
#include <unordered_map>

struct CMPNT_NAMES {
    std::unordered_map<std::string, void*> records;
};

void* CMPNT_NamesAdd(CMPNT_NAMES** index, const char* name, void* record) {
    try {
        if (*index == nullptr) *index = new CMPNT_NAMES;
        auto [where, added] = (*index)->records.try_emplace(name, record);
        return added ? nullptr : where->second;
    } catch (const std::bad_alloc&) {
        // Without the entry the name only escapes the duplicate checks.
        return nullptr;
    }
}

void* CMPNT_NamesFind(const CMPNT_NAMES* index, const char* name) {
    if (index == nullptr) return nullptr;
    try {
        auto where = index->records.find(name);
        return where == index->records.end() ? nullptr : where->second;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void CMPNT_NamesFree(CMPNT_NAMES* index) { delete index; }
