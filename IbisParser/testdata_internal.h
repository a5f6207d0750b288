#pragma once
// Shared between the testdata source files only.

#include "IbisParser/testdata.h"

#define TESTDATA_MODULE "IbisParser\\testdata"

// What the section keeps while a test data is read.
struct TestdataState {
    TESTDATA* open;   // the test data being read; null outside one
    int lastKeyword;  // the last keyword of the section met in it
};
extern TestdataState g_testdata;

// The label of a golden waveform keyword ("Rising Waveform Near" ...), or
// null for another keyword.
const char* TESTDATA_WaveformLabel(int keyword);

// The [Test Data] keyword line: the test data's name.
void TESTDATA_NameLine(TESTDATA* data, const char* line);
// A sub-parameter line after [Test Data].
void TESTDATA_SubParameterLine(TESTDATA* data, const char* line);
// A golden waveform keyword line.
void TESTDATA_WaveformLine(TESTDATA* data, int keyword, const char* line);
// When the lines of [Test Data] itself end (2332, 2333).
void TESTDATA_CheckSubParameters(const TESTDATA* data);
// When the test data closes: which golden waveforms it holds (2334, 2335).
void TESTDATA_CheckWaveformSet(const TESTDATA* data);
