#pragma once
// [Submodel] and its keywords: [Submodel Spec], [GND Pulse Table], [POWER
// Pulse Table], and the I-V tables, [Ramp] and waveforms of the submodel.
//
// The file reader opens a record at [Submodel] (SUBMDL_Open) and hands this
// section every keyword line and data line of the submodel's keywords
// (SUBMDL_HandleLine). Every keyword that follows one of them first reaches
// SUBMDL_KeywordChange, which closes what the last keyword opened and, at a
// keyword outside the submodel, runs the submodel's closing checks.

#include "IbisParser/wvfrm.h"

struct CRV;
struct MDL;
struct MSEL_NAMES;
struct RAMP;
struct SMSPEC;

// Longest submodel name.
constexpr int SUBMDL_NAME_MAX = 20;

// Submodel_type (0 not given, 1 given but invalid).
enum SUBMDL_Type : int {
    SUBMDL_TYPE_NONE = 0,
    SUBMDL_TYPE_INVALID = 1,
    SUBMDL_TYPE_DYNAMIC_CLAMP = 2,
    SUBMDL_TYPE_BUS_HOLD = 3,
    SUBMDL_TYPE_FALL_BACK = 4,
};

// One [Submodel]. Every slot stays empty until its keyword is read.
struct SUBMDL {
    SUBMDL* next;
    char name[SUBMDL_NAME_MAX + 1];
    int submodel_type;  // SUBMDL_Type
    CRV* pulldown;
    CRV* pullup;
    CRV* gndClamp;
    CRV* powerClamp;
    RAMP* ramp;
    WVFRM_LIST rising;
    WVFRM_LIST falling;
    WVFRM* gndPulse;
    WVFRM* powerPulse;
    SMSPEC* specRecord;
    // The names of all submodels of the list, shared by its records.
    MSEL_NAMES* index;
};

// --- The file reader's side ---------------------------------------------------------
// Makes a new record at [Submodel], puts it in front of the current IBIS
// record's list and opens it: 1, or 0 after a message (2400).
int SUBMDL_Open();
// A keyword line (PARSE_LINE_KEYWORD) or data line (PARSE_LINE_DATA) under
// keyword `keyword`. Without an open submodel: 2402 or 2403. Returns 1.
int SUBMDL_HandleLine(int lineClass, int keyword, char* line);
// The keyword `next` follows one of the submodel's keywords: closes what
// the last keyword opened and, at a keyword outside the submodel (a new
// [Submodel] included), runs the submodel's closing checks.
void SUBMDL_KeywordChange(int next);

// --- End of file ------------------------------------------------------------------
// The submodels' cross-references with the models that add them are judged
// by the models' own end-of-file checks (unknown and unused names); this
// step adds nothing of its own.
void SUBMDL_CheckReferences(SUBMDL* list, MDL* models);

// --- Lookup -----------------------------------------------------------------------
// The submodel of that exact name (the newest, should there be several), or
// null.
SUBMDL* SUBMDL_Find(const SUBMDL* list, const char* name);

// Releases a list with everything it holds.
void SUBMDL_FreeList(SUBMDL* list);
