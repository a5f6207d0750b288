// [Package]: the typ/min/max package parasitics R_pkg, L_pkg and C_pkg.

#include "IbisParser/pkg.h"

#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt_internal.h"
#include "IbisParser/msg.h"
#include "IbisParser/rng.h"

namespace {

struct SubParameter {
    const char* name;
    RNG* PKG::*slot;
    int duplicateMessage;
    int missingMessage;
};
const SubParameter kSubParameters[] = {
    {"R_pkg", &PKG::R_pkg, 1203, 1213},
    {"L_pkg", &PKG::L_pkg, 1204, 1215},
    {"C_pkg", &PKG::C_pkg, 1205, 1217},
};

}  // namespace

void PKG_KeywordLine(CMPNT* component, const char* rest) {
    if (component->package != nullptr) {
        MSG_ErrorLine(517);
        return;
    }
    if (*rest != '\0') MSG_ErrorLine(518);
    PKG* package = nullptr;
    if (!CMN_Calloc(&package, sizeof *package)) {
        MSG_ErrorLine(1200);
        MSG_ErrorLine(533, "Package");
        return;
    }
    component->package = package;
}

void PKG_DataLine(CMPNT* component, const char* line) {
    PKG* package = component->package;
    if (package == nullptr) return;  // the [Package] record could not be made (reported)
    if (CMN_IsSpace(static_cast<unsigned char>(line[0]))) MSG_ErrorLine(1201);

    TOKENLIST words;
    if (!CMN_SplitLine(line, 1, &words)) {
        CMN_FreeTokens(&words);
        return;
    }
    const int found = words.found;
    const SubParameter* known = nullptr;
    if (found == 4)
        for (const SubParameter& sub : kSubParameters)
            if (CMN_StrEqualNoCase(sub.name, words.tokens[0])) known = &sub;
    CMN_FreeTokens(&words);
    if (found != 4) {
        MSG_ErrorLine(1202, 4, found);
        return;
    }
    if (known == nullptr) {
        MSG_ErrorLine(1206);
        return;
    }
    RNG*& slot = package->*(known->slot);
    if (slot != nullptr) {
        MSG_ErrorLine(known->duplicateMessage);
        return;
    }

    // The values follow the sub-parameter's name.
    const char* values = CMPNT_SkipWord(CMPNT_SkipBlanks(line));
    RNG* range = nullptr;
    if (!RNG_ParseLine(values, known->name, &range)) {
        RNG_Free(range);
        MSG_ErrorLine(1207, known->name);
        return;
    }
    slot = range;
    if (range->state[RNG_TYP] != CMN_OPT_GIVEN) MSG_ErrorLine(1209);
    if (range->state[RNG_MIN] == CMN_OPT_ABSENT) MSG_ErrorLine(1210);
    if (range->state[RNG_MAX] == CMN_OPT_ABSENT) MSG_ErrorLine(1211);
}

void PKG_CheckRequired(const CMPNT* component) {
    const PKG* package = component->package;
    for (const SubParameter& sub : kSubParameters)
        if (package->*(sub.slot) == nullptr) MSG_Error(sub.missingMessage, component->name);
}

void PKG_Free(PKG* package) {
    if (package == nullptr) return;
    RNG_Free(package->R_pkg);
    RNG_Free(package->L_pkg);
    RNG_Free(package->C_pkg);
    CMN_Free(package);
}
