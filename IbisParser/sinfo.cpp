// Series element records of models.

#include "IbisParser/sinfo.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/crv.h"
#include "IbisParser/msg.h"
#include "IbisParser/rng.h"

#define SINFO_MODULE "IbisParser\\sinfo"

int SINFO_Start(const char* line, SINFO** slot, const char* label) {
    MSG_REQUIRE(line != nullptr && slot != nullptr && label != nullptr, SINFO_MODULE);
    if (*slot != nullptr) {
        MSG_ErrorLine(2900, label);
        SINFO_Free(*slot);
        *slot = nullptr;
    }
    SINFO* info = nullptr;
    if (!CMN_Calloc(&info, sizeof *info)) {
        MSG_Bug(2901, SINFO_MODULE, __LINE__);
        return 0;
    }
    *slot = info;

    const char* afterKeyword = line;
    if (!CMN_SkipPastBracket(&afterKeyword)) {
        MSG_BugLine(2902, SINFO_MODULE, __LINE__);
        return 1;
    }
    if (*afterKeyword == '\0') return 1;
    TOKENLIST words;
    if (!CMN_SplitLine(afterKeyword, 1, &words)) {
        MSG_Bug(2903, label, SINFO_MODULE, __LINE__);
        CMN_FreeTokens(&words);
        return 1;
    }
    // The keyword itself counts as the one item the line may hold.
    MSG_ErrorLine(2904, words.found + 1, label, 1);
    CMN_FreeTokens(&words);
    return 1;
}

void SINFO_Check(const SINFO* info, const char* modelName, const char* label) {
    MSG_REQUIRE(info != nullptr && modelName != nullptr && label != nullptr, SINFO_MODULE);
    if (info->rSeries == nullptr && info->lSeries == nullptr && info->cSeries == nullptr &&
        info->seriesCurrent == nullptr && info->seriesMosfet == nullptr)
        MSG_Error(2905, modelName, label);
    if (std::strcmp(label, "[Off]") == 0 && info->seriesMosfet != nullptr) MSG_Error(2906, modelName);
    if (info->rlSeries != nullptr && info->lSeries == nullptr) MSG_Error(2907, modelName, label);
    if (info->rcSeries != nullptr && info->cSeries == nullptr) MSG_Error(2908, modelName, label);
    if (info->lcSeries != nullptr && info->cSeries == nullptr) MSG_Error(2909, modelName, label);
    if (info->seriesMosfet != nullptr) CRV_CheckMosfetList(info->seriesMosfet, modelName, label);
}

void SINFO_Free(SINFO* info) {
    if (info == nullptr) return;
    RNG_Free(info->rSeries);
    RNG_Free(info->lSeries);
    RNG_Free(info->rlSeries);
    RNG_Free(info->cSeries);
    RNG_Free(info->rcSeries);
    RNG_Free(info->lcSeries);
    CRV_FreeList(info->seriesCurrent);
    CRV_FreeMosfetList(info->seriesMosfet);
    CMN_Free(info);
}
