#pragma once
// The series elements of a model: one record per [On], [Off] or Series
// model, holding the R, L, C ranges of its series keywords, its
// Series_Current tables and its [Series MOSFET] entries. The model owns the
// record.

struct CRV;
struct RNG;
struct SMOSFET;

struct SINFO {
    RNG* rSeries;
    RNG* lSeries;
    RNG* rlSeries;
    RNG* cSeries;
    RNG* rcSeries;
    RNG* lcSeries;
    CRV* seriesCurrent;      // list of tables
    SMOSFET* seriesMosfet;  // list of entries
};

// Starts a record at the keyword line `line` of [On], [Off] or the first
// series keyword of a model: a record already in *slot is reported (2900,
// with `label`) and released, and a new empty one takes its place. Text
// after the keyword is reported (2904). 1, or 0 when no record could be made.
int SINFO_Start(const char* line, SINFO** slot, const char* label);

// The closing checks of one record (2905 to 2909, then the [Series MOSFET]
// entries' own checks), naming the model and the label.
void SINFO_Check(const SINFO* info, const char* modelName, const char* label);

// Releases a record with everything it holds.
void SINFO_Free(SINFO* info);
