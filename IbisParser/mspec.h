#pragma once
// [Model Spec] of a model: thresholds, overshoot and pulse limits and the
// timing test loads, each as typical, minimum and maximum values.
//
// Lines reach this section through the model, which routes them here and
// calls MSPEC_KeywordChange when the next keyword arrives; that runs the
// checks across the values. The record belongs to the model
// (MDL::modelSpec).

struct MDL;
struct RNG;

// Sub-parameters, in the order their codes run. Below version level 4 only
// Vinh to Vmeas are known, at level 4 up to Vmeas_falling, from level 5 all.
enum MSPEC_Code : int {
    MSPEC_VINH = 1,
    MSPEC_VINL,
    MSPEC_VINH_PLUS,
    MSPEC_VINH_MINUS,
    MSPEC_VINL_PLUS,
    MSPEC_VINL_MINUS,
    MSPEC_S_OVERSHOOT_HIGH,
    MSPEC_S_OVERSHOOT_LOW,
    MSPEC_D_OVERSHOOT_HIGH,
    MSPEC_D_OVERSHOOT_LOW,
    MSPEC_D_OVERSHOOT_TIME,
    MSPEC_PULSE_HIGH,
    MSPEC_PULSE_LOW,
    MSPEC_PULSE_TIME,
    MSPEC_VMEAS,
    MSPEC_VREF,
    MSPEC_CREF,
    MSPEC_RREF,
    MSPEC_RREF_DIFF,
    MSPEC_CREF_DIFF,
    MSPEC_VREF_RISING,
    MSPEC_VREF_FALLING,
    MSPEC_CREF_RISING,
    MSPEC_CREF_FALLING,
    MSPEC_RREF_RISING,
    MSPEC_RREF_FALLING,
    MSPEC_VMEAS_RISING,
    MSPEC_VMEAS_FALLING,
    MSPEC_D_OVERSHOOT_AMP_H,
    MSPEC_D_OVERSHOOT_AMP_L,
    MSPEC_D_OVERSHOOT_AREA_H,
    MSPEC_D_OVERSHOOT_AREA_L,
    MSPEC_SLOTS  // one past the last code
};

struct MSPEC {
    RNG* value[MSPEC_SLOTS];  // indexed by MSPEC_Code; null until read (slot 0 unused)
    int hysteresis;           // Vinh+, Vinh-, Vinl+ and Vinl- are all given
    unsigned long startLine;  // line of the keyword, printed by the closing checks
};

// The keyword line; the record goes to the open model. Returns 1.
int MSPEC_KeywordLine(int keyword, char* line);
// One sub-parameter line. Returns 1.
int MSPEC_DataLine(int keyword, char* line);
// The keyword `next` follows [Model Spec]: the checks across its values.
void MSPEC_KeywordChange(int next);

// The name of a sub-parameter code ("" for none).
const char* MSPEC_Name(int code);
// Whether the record (may be null) holds the sub-parameter named `name`.
bool MSPEC_Gives(const MSPEC* specRecord, const char* name);

void MSPEC_Free(MSPEC* specRecord);
