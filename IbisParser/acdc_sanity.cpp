// Plausible ranges of model values, weighed after the file: C_comp, ramp
// times, and the drive tables each model type needs.

#include "IbisParser/acdc.h"

#include "IbisParser/acdc_internal.h"
#include "IbisParser/acdc_types.h"
#include "IbisParser/cmn.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse_keywords.h"
#include "IbisParser/ramp.h"
#include "IbisParser/rng.h"
#include "IbisParser/submdl.h"
#include "IbisParser/wvfrm.h"

namespace {

// Largest C_comp that is plausible for one buffer (1 nF).
constexpr double kMaxCcomp = 1e-9;
// Longest plausible ramp time (1 ms).
constexpr double kMaxRampTime = 1e-3;

void CheckCcomp(const MDL* model, const RNG* range, int code) {
    if (range == nullptr) return;
    for (int corner = RNG_TYP; corner <= RNG_MAX; ++corner) {
        if (range->state[corner] != CMN_OPT_GIVEN) continue;
        double value = range->value[corner];
        if (value < 0.0 || value > kMaxCcomp) {
            MSG_Warning(code, model->name, ACDC_CornerTag(corner), value * 1e12, 0.0, kMaxCcomp * 1e12);
        }
    }
}

void CheckRampPairs(const char* ownerWord, const char* ownerName, const RAMP_PAIR* pairs, const char* edge) {
    for (int corner = RNG_TYP; corner <= RNG_MAX; ++corner) {
        if (pairs[corner].state != CMN_OPT_GIVEN || !(pairs[corner].dt > kMaxRampTime)) continue;
        MSG_Warning(1703, ownerWord, ownerName, ACDC_CornerTag(corner), edge, pairs[corner].dt * 1e9,
                    kMaxRampTime * 1e9);
    }
}

void CheckRamp(const char* ownerWord, const char* ownerName, const RAMP* ramp) {
    if (ramp == nullptr) return;
    CheckRampPairs(ownerWord, ownerName, ramp->rising, "Rising");
    CheckRampPairs(ownerWord, ownerName, ramp->falling, "Falling");
}

bool DrivesBothWays(int type) {
    return type == MDL_TYPE_OUTPUT || type == MDL_TYPE_IO || type == MDL_TYPE_3STATE || type == MDL_TYPE_OUTPUT_ECL ||
           type == MDL_TYPE_IO_ECL || type == MDL_TYPE_3STATE_ECL;
}

void CheckDriveTables(const MDL* model) {
    if (MDL_HasKeyword(model, KW::EXTERNAL_MODEL)) return;
    int type = model->model_type;
    if (DrivesBothWays(type)) {
        if (model->pullup == nullptr) MSG_Warning(1704, model->name);
        if (model->pulldown == nullptr) MSG_Warning(1705, model->name);
    } else if (ACDC_IsOpenDrain(type)) {
        if (model->pulldown == nullptr) MSG_Warning(1706, model->name);
    } else if (ACDC_IsOpenSource(type)) {
        if (model->pullup == nullptr) MSG_Warning(1707, model->name);
    }
}

void SanityCheckModel(const MDL* model) {
    CheckCcomp(model, model->cComp, 1716);
    CheckCcomp(model, model->cCompPullup, 1717);
    CheckCcomp(model, model->cCompPulldown, 1718);
    CheckCcomp(model, model->cCompPowerClamp, 1719);
    CheckCcomp(model, model->cCompGndClamp, 1720);
    CheckRamp("Model", model->name, model->ramp);
    CheckDriveTables(model);
    WVFRM_CheckCompositeTimes(model->name, &model->rising, "Rising");
    WVFRM_CheckCompositeTimes(model->name, &model->falling, "Falling");
}

}  // namespace

void ACDC_SanityCheckModels(MDL* models) {
    for (const MDL* model = models; model != nullptr; model = model->next) SanityCheckModel(model);
}

void ACDC_CheckSubmodelRamps(SUBMDL* submodels) {
    for (const SUBMDL* submodel = submodels; submodel != nullptr; submodel = submodel->next) {
        CheckRamp("Sub Model", submodel->name, submodel->ramp);
    }
}
