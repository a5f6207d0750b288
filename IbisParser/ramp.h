#pragma once
// [Ramp] of a model or submodel: the rising and falling slew rates dV/dt_r
// and dV/dt_f, each as typ, min and max pairs "dV/dT", and R_load.

// One corner of a slew rate.
struct RAMP_PAIR {
    double dv;
    double dt;
    int state;  // CMN_OPT_ABSENT, CMN_OPT_GIVEN or CMN_OPT_NA
};

struct RAMP {
    RAMP_PAIR rising[3];   // dV/dt_r, indexed by RNG_TYP, RNG_MIN, RNG_MAX
    RAMP_PAIR falling[3];  // dV/dt_f
    int risingSeen;        // its line was read (even with errors)
    int fallingSeen;
    double rLoad;
    int rLoadGiven;
    unsigned long startLine;
};

// Starts a ramp at its keyword line: a ramp already in *slot is error 1300
// and released, words after the keyword 1304. 1 with the new ramp in *slot,
// or 0 when memory ran out.
int RAMP_Start(const char* line, RAMP** slot);

// A data line of the ramp of the model or submodel `ownerName`: dV/dt_r,
// dV/dt_f or R_load (1305 for anything else), each at most once (1307).
// Slew rates report missing and surplus corners (1308, 1304), values that
// are not NA or dV/dT (1312, 1311), a typ of NA (1309) and a dV or dT that
// is not above 0 (1310).
void RAMP_DataLine(const char* line, RAMP* ramp, const char* ownerName);

// Closing check: dV/dt_r and dV/dt_f are required (1306).
void RAMP_End(const RAMP* ramp);

void RAMP_Free(RAMP* ramp);
