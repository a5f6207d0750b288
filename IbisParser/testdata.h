#pragma once
// [Test Data]: a driver model and a test load, with the golden waveforms
// measured with them ([Rising Waveform Near] ... [Diff Falling Waveform
// Far]).
//
// The file reader opens a record at [Test Data] (TESTDATA_Open) and hands
// this section every line under its keywords (TESTDATA_HandleLine). Every
// keyword that follows one of them first reaches TESTDATA_KeywordChange,
// which closes what the last keyword opened and, at a keyword outside the
// section, checks the set of golden waveforms and closes the test data. The
// models and test loads it names are checked once the whole file is read.

#include "IbisParser/testload.h"

struct WVFRM;

// The golden waveforms, in the order of their keywords.
enum TESTDATA_Waveform : int {
    TESTDATA_RISING_NEAR,
    TESTDATA_RISING_FAR,
    TESTDATA_FALLING_NEAR,
    TESTDATA_FALLING_FAR,
    TESTDATA_DIFF_RISING_NEAR,
    TESTDATA_DIFF_RISING_FAR,
    TESTDATA_DIFF_FALLING_NEAR,
    TESTDATA_DIFF_FALLING_FAR,
    TESTDATA_WAVEFORM_COUNT
};

// One [Test Data]. Every slot stays empty until its line or keyword is read.
struct TESTDATA {
    TESTDATA* next;
    char name[TESTLOAD_NAME_MAX + 1];
    int test_data_type;  // TESTLOAD_Type
    char driverModel[TESTLOAD_MODEL_NAME_MAX + 1];     // empty: not given
    char driverModelInv[TESTLOAD_MODEL_NAME_MAX + 1];  // empty: not given
    char testLoad[TESTLOAD_NAME_MAX + 1];              // empty: not given
    WVFRM* waveform[TESTDATA_WAVEFORM_COUNT];
    // The names of all test data of the list, shared by its records.
    MSEL_NAMES* index;
};

// Makes a new record at [Test Data], puts it in front of the current IBIS
// record's list and opens it: 1, or 0 after a message (2300).
int TESTDATA_Open();
// A keyword line (PARSE_LINE_KEYWORD) or data line (PARSE_LINE_DATA) under
// keyword `keyword`. Without an open test data: 2302 or 2303. Returns 1.
int TESTDATA_HandleLine(int lineClass, int keyword, char* line);
// The keyword `next` follows one of this section's keywords: closes what the
// last keyword opened; one outside the golden waveforms closes the test data.
void TESTDATA_KeywordChange(int next);
// Closing checks of every test data against the models and test loads it names.
void TESTDATA_CheckList(TESTDATA* list);
// Releases a list with everything it holds.
void TESTDATA_FreeList(TESTDATA* list);
