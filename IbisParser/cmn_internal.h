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

// The double nearest to the decimal number `number[0, length)` times
// 10^power: the number as written (optional sign, digits with an optional
// point, optional exponent, already checked) with `power` added to its
// exponent, converted once. Multiplying by a factor would round twice, and
// a factor such as 1e-9 is itself inexact: 1000 * 1e-9 is not 1e-6.
double CMN_DecimalTimesPowerOfTen(const char* number, size_t length, int power);
