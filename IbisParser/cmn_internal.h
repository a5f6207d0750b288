#pragma once
// Shared between the cmn source files only.

#include "IbisParser/msg.h"

// Module name shown by the internal consistency checks of the cmn helpers.
#define CMN_MODULE "IbisParser\\cmn"
#define CMN_REQUIRE(condition) MSG_REQUIRE(condition, CMN_MODULE)

// Checker lines hold at most this many characters; a cursor move that passes
// more has run off its line unless unlimited scanning is on.
constexpr int CMN_SCAN_GUARD = 120;

// Whether the scan guard is lifted (CMN_SetUnlimitedScan).
bool CMN_ScanIsUnlimited();
