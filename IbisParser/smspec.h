#pragma once
// [Submodel Spec] of a submodel: the trigger voltages V_trigger_r and
// V_trigger_f and the Off_delay, each as typical, minimum and maximum.
//
// The submodel section starts the record at the keyword (SMSPEC_Start),
// hands it the data lines (SMSPEC_DataLine) and ends it at the next keyword
// (SMSPEC_End).

struct RNG;

struct SMSPEC {
    RNG* vTriggerR;
    RNG* vTriggerF;
    RNG* offDelay;
};

// Starts the record of a submodel at its keyword line: one already in *slot
// is error 2700 and released, words after the keyword 2704. 1 with the new
// empty record in *slot, or 0 (slot empty) when memory ran out.
int SMSPEC_Start(const char* line, SMSPEC** slot);
// One data line of the submodel `submodelName`'s record: V_trigger_r,
// V_trigger_f or Off_delay followed by typ, min and max (2706 for anything
// else), each at most once (2707); a typ of NA is 2708.
void SMSPEC_DataLine(const char* line, SMSPEC* specRecord, const char* submodelName);
// Closing check: a record that gives none of the three is 2705.
void SMSPEC_End(const SMSPEC* specRecord, const char* submodelName);
void SMSPEC_Free(SMSPEC* specRecord);
