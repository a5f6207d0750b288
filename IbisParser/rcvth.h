#pragma once
// [Receiver Thresholds] of a model: the thresholds, slew-rate limits and
// reference supply of a receiver, each a single value.
//
// Lines reach this section through the model, which routes them here and
// calls RCVTH_KeywordChange when the next keyword arrives. The record
// belongs to the model (MDL::receiverThresholds). At the end of the file
// RCVTH_CheckModels asks for the values a single-ended or differential
// receiver needs.

struct MDL;

// Sub-parameters, in the order of their codes.
enum RCVTH_Code : int {
    RCVTH_VTH = 1,
    RCVTH_VTH_MIN,
    RCVTH_VTH_MAX,
    RCVTH_VINH_AC,
    RCVTH_VINH_DC,
    RCVTH_VINL_AC,
    RCVTH_VINL_DC,
    RCVTH_THRESHOLD_SENSITIVITY,
    RCVTH_REFERENCE_SUPPLY,  // a word, kept in RCVTH::referenceSupply
    RCVTH_VCROSS_LOW,
    RCVTH_VCROSS_HIGH,
    RCVTH_VDIFF_AC,
    RCVTH_VDIFF_DC,
    RCVTH_TSLEW_AC,
    RCVTH_TDIFFSLEW_AC,
    RCVTH_SLOTS  // one past the last code
};

// Longest Reference_supply word kept (the known ones are shorter).
constexpr int RCVTH_SUPPLY_MAX = 40;

struct RCVTH {
    double value[RCVTH_SLOTS];  // indexed by RCVTH_Code (slot 0 unused)
    int given[RCVTH_SLOTS];     // 1 once the sub-parameter was read
    char referenceSupply[RCVTH_SUPPLY_MAX + 1];
    unsigned long startLine;
};

// The keyword line; the record goes to the open model. Returns 1.
int RCVTH_KeywordLine(int keyword, char* line);
// One sub-parameter line. Returns 1.
int RCVTH_DataLine(int keyword, char* line);
// The keyword `next` follows [Receiver Thresholds]: its closing check.
void RCVTH_KeywordChange(int next);
// End of file: the values each model's receivers need, differential or
// single-ended.
void RCVTH_CheckModels(MDL* models);

// The Reference_supply word of the record (may be null), or null.
const char* RCVTH_ReferenceSupply(const RCVTH* record);

void RCVTH_Free(RCVTH* record);
