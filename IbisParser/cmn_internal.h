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

// A decimal number at the start of a text (optional sign, digits with an
// optional point, at least one digit in all, optional exponent; no
// infinity, NaN or hexadecimal form), read in one pass.
struct CMN_DECIMAL {
    size_t length = 0;             // of the number's text; 0 when the text starts with none
    bool negative = false;
    unsigned long long digits = 0;  // its significant digits as an integer, when `fits`
    long exponent = 0;              // the power of ten that scales `digits`
    bool fits = true;               // false when it has too many significant digits to hold
};
CMN_DECIMAL CMN_ScanDecimal(const char* text);

// The double nearest to the scanned number times 10^power (`text` is the
// one scanned): the number as written with `power` added to its exponent,
// rounded once. Multiplying by a factor would round twice, and a factor
// such as 1e-9 is itself inexact: 1000 * 1e-9 is not 1e-6.
double CMN_DecimalValue(const CMN_DECIMAL& number, const char* text, int power);
