// Pairs of equal names in a list.

#include "IbisParser/cmn_pairs.h"

#include <cstddef>
#include <new>
#include <string_view>
#include <unordered_map>

void CMN_ReportEqualPairs(const std::vector<const char*>& names, const std::function<void(const char*)>& report) {
    // How many times each name is still to come: the element being visited
    // pairs with exactly that many later ones.
    std::unordered_map<std::string_view, std::size_t> later;
    try {
        later.reserve(names.size());
        for (const char* name : names)
            if (name != nullptr) ++later[name];
    } catch (const std::bad_alloc&) {
        return;
    }
    for (const char* name : names) {
        if (name == nullptr) continue;
        const auto found = later.find(name);
        if (found == later.end()) continue;
        std::size_t& pairs = found->second;
        --pairs;
        for (std::size_t k = 0; k < pairs; ++k) report(name);
    }
}
