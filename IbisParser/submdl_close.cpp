// [Submodel]: closing what the last keyword opened, and the checks of a
// whole submodel once its keywords are over: what each Submodel_type
// requires and forbids, and the trigger voltages against the waveforms.

#include "IbisParser/cmn.h"
#include "IbisParser/crv.h"
#include "IbisParser/mdl_types.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse_keywords.h"
#include "IbisParser/ramp.h"
#include "IbisParser/rng.h"
#include "IbisParser/smspec.h"
#include "IbisParser/submdl_internal.h"

namespace {

// The model keyword whose current direction a submodel table is held to.
int ModelKeywordOf(int keyword) {
    switch (keyword) {
        case KW::PULLDOWN_SUBMDL: return KW::PULLDOWN;
        case KW::PULLUP_SUBMDL: return KW::PULLUP;
        case KW::GND_CLAMP_SUBMDL: return KW::GND_CLAMP;
        default: return KW::POWER_CLAMP;
    }
}

const char* TableLabel(int keyword) {
    switch (keyword) {
        case KW::PULLDOWN_SUBMDL: return "Pulldown";
        case KW::PULLUP_SUBMDL: return "Pullup";
        case KW::GND_CLAMP_SUBMDL: return "GND Clamp";
        default: return "POWER Clamp";
    }
}

bool Given(const RNG* range) { return range != nullptr; }

void CheckBusHold(const SUBMDL* submodel) {
    const SMSPEC* specRecord = submodel->specRecord;
    const bool pullup = submodel->pullup != nullptr;
    const bool pulldown = submodel->pulldown != nullptr;
    if (specRecord == nullptr) {
        MSG_Error(2424, submodel->name);
    } else {
        if (!Given(specRecord->vTriggerR)) MSG_Error(2425, submodel->name);
        if (!Given(specRecord->vTriggerF)) MSG_Error(2426, submodel->name);
        if (Given(specRecord->offDelay) && pullup && pulldown) MSG_Error(2427, submodel->name);
    }
    if (submodel->ramp == nullptr) MSG_Error(2428, submodel->name);
    if (!pullup && !pulldown) MSG_Error(2429, submodel->name);
}

void CheckDynamicClamp(const SUBMDL* submodel) {
    const SMSPEC* specRecord = submodel->specRecord;
    if (submodel->gndPulse != nullptr && (specRecord == nullptr || !Given(specRecord->vTriggerF)))
        MSG_Error(2430, submodel->name);
    if (submodel->powerPulse != nullptr && (specRecord == nullptr || !Given(specRecord->vTriggerR)))
        MSG_Error(2431, submodel->name);
    if (submodel->gndPulse == nullptr && submodel->powerPulse == nullptr && submodel->gndClamp == nullptr &&
        submodel->powerClamp == nullptr)
        MSG_Error(2432, submodel->name);
    if (specRecord != nullptr && Given(specRecord->offDelay)) MSG_Error(2433, submodel->name);
}

void CheckFallBack(const SUBMDL* submodel) {
    const SMSPEC* specRecord = submodel->specRecord;
    if (specRecord == nullptr) {
        MSG_Error(2434, submodel->name);
    } else {
        if (!Given(specRecord->vTriggerR)) MSG_Error(2435, submodel->name);
        if (!Given(specRecord->vTriggerF)) MSG_Error(2436, submodel->name);
    }
    const bool pullup = submodel->pullup != nullptr;
    const bool pulldown = submodel->pulldown != nullptr;
    if (pullup && pulldown) MSG_Error(2438, submodel->name);
    if (!pullup && !pulldown) MSG_Error(2437, submodel->name);
    if (submodel->ramp == nullptr) MSG_Error(2439, submodel->name);
    if (specRecord != nullptr && Given(specRecord->offDelay)) MSG_Error(2440, submodel->name);
}

// One corner of a threshold and of a waveform row as the comparison sees
// it: a given value as it stands, NA as that side's typ value.
bool CornerValue(double value, int state, double typ, int typState, double* out) {
    if (state == CMN_OPT_GIVEN) {
        *out = value;
        return true;
    }
    if (state == CMN_OPT_NA && typState == CMN_OPT_GIVEN) {
        *out = typ;
        return true;
    }
    return false;
}

// The two values of one corner to compare, or false when the corner is
// absent on either side or NA on both.
bool Corner(const RNG* trigger, const RNGP& row, int corner, double* threshold, double* point) {
    const int triggerState = trigger->state[corner];
    const int rowState = row.state[corner];
    if (triggerState == CMN_OPT_NA && rowState == CMN_OPT_NA) return false;
    return CornerValue(trigger->value[corner], triggerState, trigger->value[RNG_TYP], trigger->state[RNG_TYP],
                       threshold) &&
           CornerValue(row.value[corner], rowState, row.value[RNG_TYP], row.state[RNG_TYP], point);
}

const char* const kCornerNames[3] = {"Typ", "Min", "Max"};

// A rising waveform should start below V_trigger_r and end above it; a
// falling one should start above V_trigger_f and end below it.
void CheckTriggers(const SUBMDL* submodel, const RNG* trigger, const WVFRM_LIST& list, bool rising) {
    if (trigger == nullptr || trigger->state[RNG_TYP] != CMN_OPT_GIVEN) return;
    for (const WVFRM* waveform = list.head; waveform != nullptr; waveform = waveform->next) {
        const RNGP_TABLE& points = waveform->points;
        if (points.count == 0 || points.rows[0].state[RNG_TYP] != CMN_OPT_GIVEN) continue;
        const RNGP& first = points.rows[0];
        const RNGP& last = points.rows[points.count - 1];
        for (int corner = RNG_TYP; corner <= RNG_MAX; ++corner) {
            double threshold = 0.0;
            double value = 0.0;
            if (Corner(trigger, first, corner, &threshold, &value)) {
                if (rising && value > threshold) MSG_Warning(2441, submodel->name, kCornerNames[corner]);
                if (!rising && value < threshold) MSG_Warning(2443, submodel->name, kCornerNames[corner]);
            }
            if (last.state[RNG_TYP] != CMN_OPT_GIVEN) continue;
            if (Corner(trigger, last, corner, &threshold, &value)) {
                if (rising && value < threshold) MSG_Warning(2442, submodel->name, kCornerNames[corner]);
                if (!rising && value > threshold) MSG_Warning(2444, submodel->name, kCornerNames[corner]);
            }
        }
    }
}

}  // namespace

void SUBMDL_CloseKeyword(SUBMDL* submodel, int previous) {
    switch (previous) {
        case KW::SUBMODEL:
            if (submodel->submodel_type == SUBMDL_TYPE_NONE) MSG_Error(2423, submodel->name, "Submodel_type");
            break;
        case KW::SUBMODEL_SPEC:
            if (submodel->specRecord != nullptr) SMSPEC_End(submodel->specRecord, submodel->name);
            break;
        case KW::GND_PULSE_TABLE: WVFRM_End("GND Pulse Table", WVFRM_KIND_PULSE); break;
        case KW::POWER_PULSE_TABLE: WVFRM_End("POWER Pulse Table", WVFRM_KIND_PULSE); break;
        case KW::PULLDOWN_SUBMDL:
        case KW::PULLUP_SUBMDL:
        case KW::GND_CLAMP_SUBMDL:
        case KW::POWER_CLAMP_SUBMDL:
            if (g_submdl.openTable != nullptr)
                CRV_End(submodel->name, MDL_TYPE_OUTPUT, ModelKeywordOf(previous), g_submdl.openTable,
                        TableLabel(previous), "Submodel");
            break;
        case KW::RAMP_SUBMDL:
            if (submodel->ramp != nullptr) RAMP_End(submodel->ramp);
            break;
        case KW::RISING_WAVEFORM_SUBMDL: WVFRM_End("Rising", WVFRM_KIND_MODEL); break;
        case KW::FALLING_WAVEFORM_SUBMDL: WVFRM_End("Falling", WVFRM_KIND_MODEL); break;
        default: break;
    }
}

void SUBMDL_CheckSubmodel(const SUBMDL* submodel) {
    switch (submodel->submodel_type) {
        case SUBMDL_TYPE_BUS_HOLD: CheckBusHold(submodel); break;
        case SUBMDL_TYPE_DYNAMIC_CLAMP: CheckDynamicClamp(submodel); break;
        case SUBMDL_TYPE_FALL_BACK: CheckFallBack(submodel); break;
        default: break;
    }
    if (const SMSPEC* specRecord = submodel->specRecord) {
        CheckTriggers(submodel, specRecord->vTriggerR, submodel->rising, true);
        CheckTriggers(submodel, specRecord->vTriggerF, submodel->falling, false);
    }
}
