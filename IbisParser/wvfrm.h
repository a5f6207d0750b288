#pragma once
// Voltage-time waveforms: [Rising Waveform], [Falling Waveform], [Composite
// Current], the pulse tables of submodels and the golden waveforms of [Test
// Data].
//
// The owning section starts a waveform at its keyword, which makes it the
// current waveform; data lines (fixture sub-parameters, then rows) go to the
// current waveform, and the owner ends it when the next keyword arrives.

#include "IbisParser/rngp.h"

// The single-value sub-parameters of a waveform, in the order they are
// looked up.
enum WVFRM_Fixture : int {
    WVFRM_R_FIXTURE,
    WVFRM_V_FIXTURE,
    WVFRM_V_FIXTURE_MIN,
    WVFRM_V_FIXTURE_MAX,
    WVFRM_C_FIXTURE,
    WVFRM_L_FIXTURE,
    WVFRM_R_DUT,
    WVFRM_L_DUT,
    WVFRM_C_DUT,
    WVFRM_FIXTURE_COUNT
};

// What a waveform is, for its closing checks.
enum WVFRM_Kind : int {
    WVFRM_KIND_MODEL = 0,      // [Rising Waveform], [Falling Waveform]
    WVFRM_KIND_PULSE = 1,      // [GND Pulse Table], [POWER Pulse Table]
    WVFRM_KIND_GOLDEN = 2,     // the waveforms of [Test Data]
    WVFRM_KIND_COMPOSITE = 3,  // [Composite Current]
};

struct WVFRM {
    WVFRM* next;
    double fixture[WVFRM_FIXTURE_COUNT];
    int fixtureGiven[WVFRM_FIXTURE_COUNT];
    RNGP_TABLE points;  // first column "Time"
    WVFRM* composite;   // its [Composite Current], if any
    unsigned long startLine;
    // The last time read, for the increasing-time check.
    double lastTime;
    int lastTimeGiven;
};

// Waveforms of one kind in file order.
struct WVFRM_LIST {
    WVFRM* head;
    WVFRM* tail;
    int count;
};

// Starts a waveform at its keyword line and appends it to `list`: a list
// that already holds 100 is error 2000, words after the keyword 2003. The
// new waveform becomes current; null (nothing current) when memory ran out.
WVFRM* WVFRM_Start(const char* line, WVFRM_LIST* list, const char* label);
// The same for a waveform that stands alone in `slot` ([Composite Current],
// pulse tables, golden waveforms): one already there is released without a
// message (its owner reports that).
WVFRM* WVFRM_StartIn(const char* line, WVFRM** slot, const char* label);

// A data line of the current waveform (ignored when there is none): a
// fixture sub-parameter before the first row, or a row. `label` names the
// table in the messages and decides the row limit: 100 rows, or 1,000 from
// version level 4 except for "GND Pulse Table" and "POWER Pulse Table".
void WVFRM_DataLine(const char* line, const char* label);

// The closing checks of the current waveform, which then is current no
// more: missing R_fixture or V_fixture (2004, model waveforms), too few rows
// (2005), NA at the ends (2006), and for pulse tables the ends that differ
// (2007) and offsets of the wrong sign (2008, 2009).
void WVFRM_End(const char* label, int kind);

// The waveform data lines go to; null between waveforms.
WVFRM* WVFRM_Current();
// Forgets the current waveform without checks (its owner was released).
void WVFRM_ClearCurrent();

// Each waveform of `list` (numbered from 1) whose composite current does not
// have the same time points: error 2021 with the model name and `kindWord`
// ("Rising" or "Falling").
void WVFRM_CheckCompositeTimes(const char* modelName, const WVFRM_LIST* list, const char* kindWord);

void WVFRM_Free(WVFRM* waveform);
// Releases every waveform of the list and empties it.
void WVFRM_FreeList(WVFRM_LIST* list);
