#pragma once
// [Begin EMI Component] ... [End EMI Component] of a component: its EMI
// domain, package and heatsink capacitances, and the [Pin EMI] and
// [Pin Domain EMI] tables (read by pinemi).
//
// The component hands every line under these four keywords here. The block
// stays open until [End EMI Component] or until the component itself ends;
// meanwhile the component reports its other keywords as out of place.

#include "IbisParser/pinemi.h"

struct CMPNT;

// Domain codes of the component block.
constexpr int CMPNTEMI_DOMAIN_NONE = 0;
constexpr int CMPNTEMI_DOMAIN_ANALOG = 1;
constexpr int CMPNTEMI_DOMAIN_DIGITAL = 2;
constexpr int CMPNTEMI_DOMAIN_DIGITAL_ANALOG = 3;

// A one-number sub-parameter.
struct CMPNTEMI_VALUE {
    double value;
    int given;
};

// The EMI data of one component (the component's `emi` slot).
struct CMPNTEMI {
    int domain;  // CMPNTEMI_DOMAIN_...
    CMPNTEMI_VALUE cpd;
    CMPNTEMI_VALUE c_heatsink_gnd;
    CMPNTEMI_VALUE c_heatsink_float;
    PINEMI_TABLES tables;
};

// A keyword line (PARSE_LINE_KEYWORD) or data line (PARSE_LINE_DATA) under
// one of the component EMI keywords, for `component`. Returns 1.
int CMPNTEMI_HandleLine(int lineClass, int keyword, char* line, CMPNT* component);
// Whether an EMI block is open.
int CMPNTEMI_IsOpen();
// The component ends while the block is open: 4711, then the block ends.
void CMPNTEMI_ComponentCloses();
// End of file: the component's [Pin EMI] rows against its pins.
void CMPNTEMI_CheckComponent(const CMPNT* component);
// Releases a record (null is fine); an open block on it is closed silently.
void CMPNTEMI_Free(CMPNTEMI* record);
