#pragma once
// The set of first-column values of a table, for the repeated-value check
// of rows that do not arrive in order. Shared between the rngp sources only.

#include "IbisParser/rngp.h"

// A set of the given first-column values of `count` rows; null when memory
// is short.
RNGP_SEEN* RNGP_SeenBuild(const RNGP* rows, int count);
bool RNGP_SeenContains(const RNGP_SEEN* seen, double x);
// Adds x; a set that cannot grow keeps working, only slower.
void RNGP_SeenInsert(RNGP_SEEN* seen, double x);
void RNGP_SeenFree(RNGP_SEEN* seen);
