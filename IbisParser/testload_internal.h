#pragma once
// Shared between the testload source files only.

#include "IbisParser/testload.h"

#define TESTLOAD_MODULE "IbisParser\\testload"

// The test load being read; null outside one.
extern TESTLOAD* g_testloadOpen;

// The [Test Load] keyword line: the test load's name.
void TESTLOAD_NameLine(TESTLOAD* load, const char* line);
// A sub-parameter line after [Test Load].
void TESTLOAD_SubParameterLine(TESTLOAD* load, const char* line);
// The checks when the test load ends (2224 to 2230).
void TESTLOAD_CheckLoad(const TESTLOAD* load);
