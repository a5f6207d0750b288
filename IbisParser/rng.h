#pragma once
// Typical, minimum and maximum values of one line, such as a [Voltage Range]
// or an R_pkg row: each value is absent, given, or "NA".

// Positions of the three corners in RNG::value and RNG::state.
enum RNG_Corner { RNG_TYP = 0, RNG_MIN = 1, RNG_MAX = 2 };

struct RNG {
    double value[3];  // 0.0 unless given
    int state[3];     // CMN_OPT_ABSENT, CMN_OPT_GIVEN or CMN_OPT_NA
};

// Reads a line of up to three values (typical, minimum, maximum) for the
// field `fieldName`. Reports a wrong number of values (3902), missing minimum
// or maximum values (3901), unreadable values (1909), and a typical value
// outside the minimum-maximum span (3903). Once the values could be split, a
// record is made and handed back in *place (release with RNG_Free), even when
// a value was bad or the count was wrong: it holds the first three values.
// 1 when all three readings succeeded (a missing value reads as absent).
int RNG_ParseLine(const char* line, const char* fieldName, RNG** place);

// A new record with all three values absent, or null after PROGRAM BUG 3904.
RNG* RNG_New();
void RNG_Free(RNG* range);
