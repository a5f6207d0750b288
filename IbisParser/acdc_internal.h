#pragma once
// Working I-V curves of the consistency checks: one corner's currents on the
// absolute voltage axis, summed and probed without touching the records.

struct CRV;

// One point of a working curve: voltage and the current of one corner.
struct ACDC_POINT {
    double voltage;
    double current;
    int given;  // the corner had a value here
};

// A working curve; `points` is null when it holds nothing.
struct ACDC_CURVE {
    ACDC_POINT* points;
    int count;
    int valid;  // 0 when it could not be built
};

// Points of `table` (may be null) that carry a value in `corner`.
int ACDC_GivenRows(const CRV* table, int corner);
// Points of `curve` that carry a value.
int ACDC_GivenPoints(const ACDC_CURVE* curve);

// The table moved to the absolute axis: each voltage times `sign` plus
// `reference`, the corner's current interpolated at the table's voltage.
ACDC_CURVE ACDC_CopyTable(const CRV* table, int corner, double sign, double reference);
// a + b over the merged voltages of both.
ACDC_CURVE ACDC_Sum(ACDC_CURVE* a, ACDC_CURVE* b);
void ACDC_Release(ACDC_CURVE* curve);

// Current of `curve` at `x`: 1 with *current set, 0 when it has none.
int ACDC_CurrentAt(const ACDC_CURVE* curve, double x, double* current);

// Reports a column that turns back (1509) with `label`, model and corner.
void ACDC_CheckMonotonic(const ACDC_CURVE* curve, const char* label, const char* modelName, int corner);

// Where the curve meets the line I = (V - x) / R nearest the guess: 1 with
// *voltage set, 0 when there is no crossing.
int ACDC_LoadLine(const ACDC_CURVE* curve, double r, double v, double guess, double* voltage);

// "Typical", "Minimum", "Maximum" and "TYP", "MIN", "MAX".
const char* ACDC_CornerWord(int corner);
const char* ACDC_CornerTag(int corner);
