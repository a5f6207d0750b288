// [Model Spec]: the keyword line and the sub-parameter lines. Each line
// names one sub-parameter and gives its typical, minimum and maximum values.

#include "IbisParser/mspec.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/hdr.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msg.h"
#include "IbisParser/rng.h"
#include "IbisParser/rngp.h"

#define MSPEC_MODULE "IbisParser\\mspec"

namespace {

// Which model types a sub-parameter is meant for; others draw warning 3805
// and keep the value all the same.
enum class Use {
    Receiver,    // thresholds, overshoot and pulse limits: receiver types only
    TimingLoad,  // Vmeas, Vref, Cref, Rref and their edge variants: not on inputs, terminators, series
    DiffLoad,    // Rref_diff, Cref_diff: belong to the model's sub-parameters, never here
};

struct SubParameter {
    const char* name;
    int level;  // first version level that knows it
    Use use;
};

// Indexed by MSPEC_Code.
const SubParameter kSubParameters[MSPEC_SLOTS] = {
    {"", 0, Use::Receiver},
    {"Vinh", 3, Use::Receiver},
    {"Vinl", 3, Use::Receiver},
    {"Vinh+", 3, Use::Receiver},
    {"Vinh-", 3, Use::Receiver},
    {"Vinl+", 3, Use::Receiver},
    {"Vinl-", 3, Use::Receiver},
    {"S_overshoot_high", 3, Use::Receiver},
    {"S_overshoot_low", 3, Use::Receiver},
    {"D_overshoot_high", 3, Use::Receiver},
    {"D_overshoot_low", 3, Use::Receiver},
    {"D_overshoot_time", 3, Use::Receiver},
    {"Pulse_high", 3, Use::Receiver},
    {"Pulse_low", 3, Use::Receiver},
    {"Pulse_time", 3, Use::Receiver},
    {"Vmeas", 3, Use::TimingLoad},
    {"Vref", 4, Use::TimingLoad},
    {"Cref", 4, Use::TimingLoad},
    {"Rref", 4, Use::TimingLoad},
    {"Rref_diff", 4, Use::DiffLoad},
    {"Cref_diff", 4, Use::DiffLoad},
    {"Vref_rising", 4, Use::TimingLoad},
    {"Vref_falling", 4, Use::TimingLoad},
    {"Cref_rising", 4, Use::TimingLoad},
    {"Cref_falling", 4, Use::TimingLoad},
    {"Rref_rising", 4, Use::TimingLoad},
    {"Rref_falling", 4, Use::TimingLoad},
    {"Vmeas_rising", 4, Use::TimingLoad},
    {"Vmeas_falling", 4, Use::TimingLoad},
    {"D_overshoot_amp_h", 5, Use::Receiver},
    {"D_overshoot_amp_l", 5, Use::Receiver},
    {"D_overshoot_area_h", 5, Use::Receiver},
    {"D_overshoot_area_l", 5, Use::Receiver},
};

// The code of the sub-parameter spelled exactly as the `length` characters
// at `word`, among those the file's version level knows; 0 for none. Files
// below level 3 know the level-3 set.
int LookupCode(const char* word, size_t length) {
    const int level = HDR_GetVersionLevel();
    for (int code = 1; code < MSPEC_SLOTS; ++code) {
        const SubParameter& sub = kSubParameters[code];
        if (sub.level > 3 && sub.level > level) continue;
        if (std::strlen(sub.name) == length && std::strncmp(sub.name, word, length) == 0) return code;
    }
    return 0;
}

bool MeantFor(Use use, int modelType) {
    switch (use) {
        case Use::Receiver: return MDL_IsReceiverType(modelType);
        case Use::TimingLoad:
            return modelType != MDL_TYPE_INPUT && modelType != MDL_TYPE_INPUT_ECL && modelType != MDL_TYPE_TERMINATOR &&
                   modelType != MDL_TYPE_SERIES && modelType != MDL_TYPE_SERIES_SWITCH;
        case Use::DiffLoad: return false;
    }
    return false;
}

}  // namespace

const char* MSPEC_Name(int code) { return code > 0 && code < MSPEC_SLOTS ? kSubParameters[code].name : ""; }

bool MSPEC_Gives(const MSPEC* specRecord, const char* name) {
    if (specRecord == nullptr || name == nullptr) return false;
    for (int code = 1; code < MSPEC_SLOTS; ++code)
        if (std::strcmp(kSubParameters[code].name, name) == 0) return specRecord->value[code] != nullptr;
    return false;
}

void MSPEC_Free(MSPEC* specRecord) {
    if (specRecord == nullptr) return;
    for (RNG* range : specRecord->value) RNG_Free(range);
    CMN_Free(specRecord);
}

int MSPEC_KeywordLine(int, char* line) {
    MSG_REQUIRE(line != nullptr, MSPEC_MODULE);
    MDL* model = MDL_Current();
    if (model == nullptr) return 1;
    if (model->modelSpec != nullptr) {
        MSG_ErrorLine(3800);
        MSPEC_Free(model->modelSpec);
        model->modelSpec = nullptr;
    }
    const char* rest = RNGP_AfterKeyword(line);
    const int words = rest != nullptr ? RNGP_CountWords(rest) : 0;
    if (words > 0) MSG_ErrorLine(3804, words + 1, "Model Spec", 1);

    MSPEC* specRecord = nullptr;
    if (!CMN_Calloc(&specRecord, sizeof *specRecord)) {
        MSG_Bug(3801, MSPEC_MODULE, __LINE__);
        return 1;
    }
    specRecord->startLine = MSG_GetCurrentLine();
    model->modelSpec = specRecord;
    return 1;
}

int MSPEC_DataLine(int, char* line) {
    MSG_REQUIRE(line != nullptr, MSPEC_MODULE);
    MDL* model = MDL_Current();
    if (model == nullptr || model->modelSpec == nullptr) return 1;
    MSPEC* specRecord = model->modelSpec;

    RNGP_WORDS first;
    RNGP_SplitWords(line, 1, '=', &first);
    const int code = first.stored == 1 ? LookupCode(first.start[0], first.length[0]) : 0;
    if (code == 0) {
        MSG_ErrorLine(3806);
        return 1;
    }
    const SubParameter& sub = kSubParameters[code];
    if (!MeantFor(sub.use, model->model_type)) MSG_WarningLine(3805, sub.name, MDL_TypeName(model->model_type));
    if (specRecord->value[code] != nullptr) {
        MSG_ErrorLine(3807, sub.name, model->name);
        return 1;
    }
    RNG_ParseLine(first.start[0] + first.length[0], sub.name, &specRecord->value[code]);
    const RNG* range = specRecord->value[code];
    if (range != nullptr && range->state[RNG_TYP] == CMN_OPT_NA) MSG_ErrorLine(3808);
    return 1;
}
