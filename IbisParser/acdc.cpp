// AC/DC checks of the models: the I-V tables summed on the absolute axis
// must be monotonic, agree with the waveform end points and reach Vmeas;
// ISSO tables must agree with the drive tables; clamps must stay within
// plausible currents; open-drain and open-source types must carry nothing
// where they have no device.

#include "IbisParser/acdc.h"

#include <cmath>

#include "IbisParser/acdc_internal.h"
#include "IbisParser/acdc_types.h"
#include "IbisParser/cmn.h"
#include "IbisParser/crv.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msg.h"
#include "IbisParser/mspec.h"
#include "IbisParser/parse_keywords.h"
#include "IbisParser/rng.h"
#include "IbisParser/wvfrm.h"

namespace {

// A reference voltage for a combined curve: the corner of `own`, else of
// `fallback`, else 0; an absent column gives the typ.
double ReferenceOf(const RNG* own, const RNG* fallback, int corner) {
    const RNG* range = own != nullptr ? own : fallback;
    if (range == nullptr) return 0.0;
    return range->state[corner] == CMN_OPT_GIVEN ? range->value[corner] : range->value[RNG_TYP];
}

struct References {
    double powerClamp;
    double pullup;
    double gndClamp;
    double pulldown;
};

References ReferencesOf(const MDL* model, int corner) {
    References refs;
    refs.powerClamp = ReferenceOf(model->powerClampReference, model->voltageRange, corner);
    refs.pullup = ReferenceOf(model->pullupReference, model->voltageRange, corner);
    refs.gndClamp = ReferenceOf(model->gndClampReference, nullptr, corner);
    refs.pulldown = ReferenceOf(model->pulldownReference, ACDC_IsEcl(model->model_type) ? model->voltageRange : nullptr, corner);
    return refs;
}

// The combined pulldown and pullup of one corner.
struct Combined {
    ACDC_CURVE pulldown;
    ACDC_CURVE pullup;
};

// The waveform's end points against the load-line solutions of the
// combined curves under the waveform's fixture.
void CheckWaveformEnds(const MDL* model, int corner, const WVFRM* wave, const Combined& combined, bool rising) {
    double r = wave->fixtureGiven[WVFRM_R_FIXTURE] ? wave->fixture[WVFRM_R_FIXTURE] : 1e32;
    double v = wave->fixtureGiven[WVFRM_V_FIXTURE] ? wave->fixture[WVFRM_V_FIXTURE] : 0.0;
    const char* vName = "V_fixture";
    if (corner == RNG_MIN) {
        vName = "V_fixture_min";
        if (wave->fixtureGiven[WVFRM_V_FIXTURE_MIN]) v = wave->fixture[WVFRM_V_FIXTURE_MIN];
    } else if (corner == RNG_MAX) {
        vName = "V_fixture_max";
        if (wave->fixtureGiven[WVFRM_V_FIXTURE_MAX]) v = wave->fixture[WVFRM_V_FIXTURE_MAX];
    }
    const RNGP* first = nullptr;
    const RNGP* last = nullptr;
    for (int k = 0; k < wave->points.count; ++k) {
        const RNGP* row = &wave->points.rows[k];
        if (row->state[corner] != CMN_OPT_GIVEN) continue;
        if (first == nullptr) first = row;
        last = row;
    }
    if (first == nullptr) return;
    double low = rising ? first->value[corner] : last->value[corner];
    double high = rising ? last->value[corner] : first->value[corner];
    double vd = 0.0;
    double vu = 0.0;
    if (!ACDC_LoadLine(&combined.pulldown, r, v, low, &vd)) return;
    if (!ACDC_LoadLine(&combined.pullup, r, v, high, &vu)) return;
    double swing = std::fabs(high - low);
    double lowOff = std::fabs(vd - low);
    double highOff = std::fabs(vu - high);
    int type = model->model_type;
    double judged;
    if (ACDC_IsOpenDrain(type)) {
        judged = lowOff;
    } else if (ACDC_IsOpenSource(type)) {
        judged = highOff;
    } else {
        judged = lowOff > highOff ? lowOff : highOff;
    }
    bool isError = judged > 0.10 * swing;
    if (!isError && !(judged > 0.02 * swing)) return;
    double lowPercent = 100.0;
    double highPercent = 100.0;
    if (vd != vu) {
        lowPercent = 100.0 * lowOff / std::fabs(vd - vu);
        highPercent = 100.0 * highOff / std::fabs(vu - vd);
    }
    auto issue = isError ? MSG_Error : MSG_Warning;
    issue(1503, model->name, rising ? "Rising" : "Falling", r, vName, v, ACDC_CornerTag(corner), low, high, vd, vu,
          lowPercent, highPercent);
}

// Vmeas of the corner: the [Model Spec] value when it has a typ, else the
// model's own. 0 when there is none.
int VmeasOf(const MDL* model, int corner, double* vmeas) {
    const RNG* specRecord = model->modelSpec != nullptr ? model->modelSpec->value[MSPEC_VMEAS] : nullptr;
    if (specRecord != nullptr && specRecord->state[RNG_TYP] == CMN_OPT_GIVEN) {
        *vmeas = specRecord->state[corner] == CMN_OPT_GIVEN ? specRecord->value[corner] : specRecord->value[RNG_TYP];
        return 1;
    }
    if (model->vmeas.given) {
        *vmeas = model->vmeas.value;
        return 1;
    }
    return 0;
}

bool HasSpecVmeas(const MDL* model) {
    const RNG* specRecord = model->modelSpec != nullptr ? model->modelSpec->value[MSPEC_VMEAS] : nullptr;
    return specRecord != nullptr && specRecord->state[RNG_TYP] == CMN_OPT_GIVEN;
}

// Whether the reference load can pull the output through Vmeas.
void CheckVmeas(const MDL* model, int corner, const Combined& combined) {
    double vmeas = 0.0;
    if (!VmeasOf(model, corner, &vmeas)) return;
    if (!model->rref.given || !model->vref.given) return;
    double rref = model->rref.value;
    double vref = model->vref.value;
    int type = model->model_type;
    double vd = 0.0;
    double vu = 0.0;
    bool solvedDown = !ACDC_IsOpenSource(type) && ACDC_LoadLine(&combined.pulldown, rref, vref, 0.0, &vd);
    bool solvedUp = !ACDC_IsOpenDrain(type) && ACDC_LoadLine(&combined.pullup, rref, vref, 0.0, &vu);
    if (!solvedDown && !solvedUp) return;
    if (MDL_HasKeyword(model, KW::EXTERNAL_MODEL)) return;
    if ((solvedDown && vd > vmeas) || (!(solvedDown && vd > vmeas) && solvedUp && vu < vmeas)) {
        MSG_Warning(1500, model->name, ACDC_CornerTag(corner), vmeas, rref, vref);
    }
}

void CheckCombinedCorner(const MDL* model, int corner) {
    if (model->pulldown != nullptr && model->pullup != nullptr && ACDC_GivenRows(model->pulldown, corner) < 2 &&
        ACDC_GivenRows(model->pullup, corner) < 2) {
        return;
    }
    References refs = ReferencesOf(model, corner);
    double pulldownSign = ACDC_IsDrivingEcl(model->model_type) ? -1.0 : 1.0;
    ACDC_CURVE pulldown = ACDC_CopyTable(model->pulldown, corner, pulldownSign, refs.pulldown);
    ACDC_CURVE pullup = ACDC_CopyTable(model->pullup, corner, -1.0, refs.pullup);
    ACDC_CURVE powerClamp = ACDC_CopyTable(model->powerClamp, corner, -1.0, refs.powerClamp);
    ACDC_CURVE gndClamp = ACDC_CopyTable(model->gndClamp, corner, 1.0, refs.gndClamp);
    ACDC_CURVE clamps = ACDC_Sum(&gndClamp, &powerClamp);
    Combined combined{ACDC_Sum(&clamps, &pulldown), ACDC_Sum(&clamps, &pullup)};

    ACDC_CheckMonotonic(&combined.pulldown, "Combined Pulldown for Model:", model->name, corner);
    ACDC_CheckMonotonic(&combined.pullup, "Combined Pullup for Model:", model->name, corner);

    bool hasWaves = model->rising.count > 0 || model->falling.count > 0;
    bool hasVmeas = (model->vmeas.given || HasSpecVmeas(model)) && model->rref.given && model->vref.given;
    if (hasWaves || hasVmeas) {
        for (const WVFRM* wave = model->rising.head; wave != nullptr; wave = wave->next) {
            CheckWaveformEnds(model, corner, wave, combined, true);
        }
        for (const WVFRM* wave = model->falling.head; wave != nullptr; wave = wave->next) {
            CheckWaveformEnds(model, corner, wave, combined, false);
        }
        // A drive table too thin for the corner stands for nothing; a
        // missing one leaves the clamps alone in its place.
        if (model->pulldown != nullptr && ACDC_GivenRows(model->pulldown, corner) < 2) {
            ACDC_Release(&combined.pulldown);
            combined.pulldown.valid = 0;
        }
        if (model->pullup != nullptr && ACDC_GivenRows(model->pullup, corner) < 2) {
            ACDC_Release(&combined.pullup);
            combined.pullup.valid = 0;
        }
        CheckVmeas(model, corner, combined);
    }
    ACDC_Release(&combined.pulldown);
    ACDC_Release(&combined.pullup);
    ACDC_Release(&clamps);
    ACDC_Release(&gndClamp);
    ACDC_Release(&powerClamp);
    ACDC_Release(&pullup);
    ACDC_Release(&pulldown);
}

// The ISSO reference voltages of a corner: a column given or NA counts.
int CornerIfPresent(const RNG* range, int corner, double* value) {
    if (range == nullptr || range->state[corner] == CMN_OPT_ABSENT) return 0;
    *value = range->state[corner] == CMN_OPT_GIVEN ? range->value[corner] : range->value[RNG_TYP];
    return 1;
}

int CurrentOfTable(const CRV* table, double x, int corner, double* current) {
    CRV_AT at;
    CRV_CurrentAt(table, x, &at);
    if (!at.given[corner]) return 0;
    *current = at.value[corner];
    return 1;
}

void CompareIsso(const MDL* model, int corner, const CRV* isso, const CRV* drive, const char* issoName,
                 const char* driveName, double driveAt, double shownRef, const char* otherName, double otherRef,
                 double zeroAt) {
    if (isso == nullptr || drive == nullptr) return;
    if (ACDC_GivenRows(isso, corner) < 2 || ACDC_GivenRows(drive, corner) < 2) return;
    double ia = 0.0;
    double ib = 0.0;
    if (CurrentOfTable(isso, 0.0, corner, &ia) && CurrentOfTable(drive, driveAt, corner, &ib) &&
        std::fabs(ib - ia) > 1e-6 * std::fabs(ia)) {
        MSG_Warning(1512, model->name, ACDC_CornerWord(corner), issoName, ia, driveName, ib, shownRef);
    }
    double ic = 0.0;
    if (CurrentOfTable(isso, zeroAt, corner, &ic) && std::fabs(ic) > 1e-9) {
        MSG_Warning(1513, model->name, ACDC_CornerWord(corner), issoName, ic, otherName, otherRef, zeroAt);
    }
}

void CheckIssoCorner(const MDL* model, int corner) {
    double vpu = 0.0;
    if (!CornerIfPresent(model->pullupReference, corner, &vpu) &&
        !CornerIfPresent(model->voltageRange, corner, &vpu)) {
        return;
    }
    double vpd = 0.0;
    if (model->pulldownReference == nullptr) {
        if (corner == RNG_TYP) return;
    } else {
        CornerIfPresent(model->pulldownReference, corner, &vpd);
    }
    CompareIsso(model, corner, model->issoPu, model->pullup, "ISSO_PU", "Pullup", vpu - vpd, vpd, "Pulldown", vpd,
                vpu - vpd);
    CompareIsso(model, corner, model->issoPd, model->pulldown, "ISSO_PD", "Pulldown", vpu, vpu, "Pullup", vpu,
                vpu - vpd);
}

void CheckExtremeClamp(const MDL* model, const CRV* table, const char* name) {
    for (int corner = RNG_TYP; corner <= RNG_MAX; ++corner) {
        ACDC_CURVE stored = ACDC_CopyTable(table, corner, 1.0, 0.0);
        double current = 0.0;
        if (ACDC_CurrentAt(&stored, -1.5, &current) && std::fabs(current) > 10.0) {
            MSG_Warning(1506, model->name, ACDC_CornerTag(corner), name, current, -1.5);
        }
        ACDC_Release(&stored);
    }
}

bool HasCurrent(const CRV* table) {
    if (table == nullptr) return false;
    for (int k = 0; k < table->points.count; ++k) {
        const RNGP& row = table->points.rows[k];
        for (int c = RNG_TYP; c <= RNG_MAX; ++c) {
            if (row.state[c] == CMN_OPT_GIVEN && row.value[c] != 0.0) return true;
        }
    }
    return false;
}

void CheckZeroTables(const MDL* model) {
    if (ACDC_IsOpenDrain(model->model_type)) {
        if (HasCurrent(model->pullup)) {
            MSG_Error(1507, model->name);
        } else if (HasCurrent(model->issoPu)) {
            MSG_Error(1510, model->name);
        }
    } else if (ACDC_IsOpenSource(model->model_type)) {
        if (HasCurrent(model->pulldown)) {
            MSG_Error(1508, model->name);
        } else if (HasCurrent(model->issoPd)) {
            MSG_Error(1511, model->name);
        }
    }
}

void CheckModel(const MDL* model) {
    if (!ACDC_IsReceiverOnly(model->model_type)) {
        for (int corner = RNG_TYP; corner <= RNG_MAX; ++corner) CheckCombinedCorner(model, corner);
        for (int corner = RNG_TYP; corner <= RNG_MAX; ++corner) CheckIssoCorner(model, corner);
    }
    CheckExtremeClamp(model, model->gndClamp, "GND_Clamp");
    CheckExtremeClamp(model, model->powerClamp, "POWER_Clamp");
    CheckZeroTables(model);
}

}  // namespace

void ACDC_CheckModels(MDL* models) {
    for (const MDL* model = models; model != nullptr; model = model->next) CheckModel(model);
}
