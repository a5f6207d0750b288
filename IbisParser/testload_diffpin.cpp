// Differential-pin answers per model for the test load and test data checks.

#include "IbisParser/testload_diffpin.h"

#include <new>
#include <unordered_map>

#include "IbisParser/cmpnt.h"
#include "IbisParser/ibis.h"

struct TESTLOAD_DiffPinCache {
    std::unordered_map<const MDL*, bool> answers;
};

namespace {

bool Search(MDL* model) {
    IBIS* ibis = nullptr;
    if (!IBIS_Current(&ibis) || IBIS_GetComponents(ibis) == nullptr) return false;
    return CMPNT_FindDiffPinForModel(model) != nullptr;
}

}  // namespace

TESTLOAD_DiffPinCache* TESTLOAD_DiffPinCacheNew() { return new (std::nothrow) TESTLOAD_DiffPinCache; }

bool TESTLOAD_HasDiffPin(TESTLOAD_DiffPinCache* cache, MDL* model) {
    if (cache == nullptr) return Search(model);
    try {
        const auto found = cache->answers.find(model);
        if (found != cache->answers.end()) return found->second;
        const bool answer = Search(model);
        cache->answers.emplace(model, answer);
        return answer;
    } catch (const std::bad_alloc&) {
        return Search(model);
    }
}

void TESTLOAD_DiffPinCacheFree(TESTLOAD_DiffPinCache* cache) { delete cache; }
