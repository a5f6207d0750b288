// [Submodel Spec]: the trigger voltages and the Off_delay of a submodel.

#include "IbisParser/smspec.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"
#include "IbisParser/rng.h"
#include "IbisParser/rngp.h"

#define SMSPEC_MODULE "IbisParser\\smspec"

namespace {

struct SubParameter {
    const char* name;
    RNG* SMSPEC::*slot;
};
const SubParameter kSubParameters[] = {
    {"V_trigger_r", &SMSPEC::vTriggerR},
    {"V_trigger_f", &SMSPEC::vTriggerF},
    {"Off_delay", &SMSPEC::offDelay},
};

}  // namespace

int SMSPEC_Start(const char* line, SMSPEC** slot) {
    MSG_REQUIRE(line != nullptr && slot != nullptr, SMSPEC_MODULE);
    if (*slot != nullptr) {
        MSG_ErrorLine(2700);
        SMSPEC_Free(*slot);
        *slot = nullptr;
    }
    const char* rest = RNGP_AfterKeyword(line);
    const int words = rest != nullptr ? RNGP_CountWords(rest) : 0;
    if (words > 0) MSG_ErrorLine(2704, words + 1, "Submodel Spec", 1);
    return CMN_Calloc(slot, sizeof **slot);
}

void SMSPEC_DataLine(const char* line, SMSPEC* specRecord, const char* submodelName) {
    MSG_REQUIRE(line != nullptr && specRecord != nullptr && submodelName != nullptr, SMSPEC_MODULE);
    RNGP_WORDS words;
    RNGP_SplitWords(line, 1, '=', &words);
    const SubParameter* found = nullptr;
    if (words.stored > 0)
        for (const SubParameter& sub : kSubParameters)
            if (std::strlen(sub.name) == words.length[0] && std::memcmp(sub.name, words.start[0], words.length[0]) == 0)
                found = &sub;
    if (found == nullptr) {
        MSG_ErrorLine(2706);
        return;
    }
    RNG*& slot = specRecord->*found->slot;
    if (slot != nullptr) {
        MSG_ErrorLine(2707, found->name, submodelName);
        return;
    }
    RNG_ParseLine(words.start[0] + words.length[0], found->name, &slot);
    if (slot != nullptr && slot->state[RNG_TYP] == CMN_OPT_NA) MSG_ErrorLine(2708);
}

void SMSPEC_End(const SMSPEC* specRecord, const char* submodelName) {
    MSG_REQUIRE(specRecord != nullptr && submodelName != nullptr, SMSPEC_MODULE);
    if (specRecord->vTriggerR == nullptr && specRecord->vTriggerF == nullptr && specRecord->offDelay == nullptr)
        MSG_Error(2705, submodelName);
}

void SMSPEC_Free(SMSPEC* specRecord) {
    if (specRecord == nullptr) return;
    RNG_Free(specRecord->vTriggerR);
    RNG_Free(specRecord->vTriggerF);
    RNG_Free(specRecord->offDelay);
    CMN_Free(specRecord);
}
