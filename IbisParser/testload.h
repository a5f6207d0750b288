#pragma once
// [Test Load]: a measurement load with its near and far elements, the
// transmission line between them, termination voltages and an optional
// receiver model.
//
// The file reader opens a record at [Test Load] (TESTLOAD_Open) and hands
// this section the keyword line and the sub-parameter lines after it
// (TESTLOAD_HandleLine). The next keyword of any kind ends the test load
// (TESTLOAD_KeywordChange), which runs its own checks; the receiver models
// it names are checked once the whole file has been read.

struct MSEL_NAMES;
struct RNG;

// Longest test load (and test data) name.
constexpr int TESTLOAD_NAME_MAX = 109;
// Longest model name a test load or test data names, from version level 4
// (20 below it).
constexpr int TESTLOAD_MODEL_NAME_MAX = 40;
constexpr int TESTLOAD_MODEL_NAME_MAX_BEFORE_4 = 20;

// Test_load_type and Test_data_type (0 not given, 1 given but invalid).
enum TESTLOAD_Type : int {
    TESTLOAD_TYPE_NONE = 0,
    TESTLOAD_TYPE_INVALID = 1,
    TESTLOAD_TYPE_SINGLE_ENDED = 2,
    TESTLOAD_TYPE_DIFFERENTIAL = 3,
};

// The single-value elements, in the order of their sub-parameters.
enum TESTLOAD_Element : int {
    TESTLOAD_C1_NEAR,
    TESTLOAD_RS_NEAR,
    TESTLOAD_LS_NEAR,
    TESTLOAD_C2_NEAR,
    TESTLOAD_RP1_NEAR,
    TESTLOAD_RP2_NEAR,
    TESTLOAD_TD,
    TESTLOAD_ZO,
    TESTLOAD_RP1_FAR,
    TESTLOAD_RP2_FAR,
    TESTLOAD_C2_FAR,
    TESTLOAD_LS_FAR,
    TESTLOAD_RS_FAR,
    TESTLOAD_C1_FAR,
    TESTLOAD_R_DIFF_NEAR,
    TESTLOAD_R_DIFF_FAR,
    TESTLOAD_ELEMENT_COUNT
};

// One [Test Load]. Every slot stays empty until its sub-parameter is read.
struct TESTLOAD {
    TESTLOAD* next;
    char name[TESTLOAD_NAME_MAX + 1];
    int test_load_type;  // TESTLOAD_Type
    double element[TESTLOAD_ELEMENT_COUNT];
    int elementGiven[TESTLOAD_ELEMENT_COUNT];
    RNG* vTerm1;
    RNG* vTerm2;
    char receiverModel[TESTLOAD_MODEL_NAME_MAX + 1];     // empty: not given
    char receiverModelInv[TESTLOAD_MODEL_NAME_MAX + 1];  // empty: not given
    // The names of all test loads of the list, shared by its records.
    MSEL_NAMES* index;
};

// Makes a new record at [Test Load] and puts it in front of the current IBIS
// record's list: 1, or 0 after a message (2200).
int TESTLOAD_Open();
// A keyword line (PARSE_LINE_KEYWORD) or data line (PARSE_LINE_DATA) under
// keyword `keyword`. Without an open test load: 2202 or 2203. Returns 1.
int TESTLOAD_HandleLine(int lineClass, int keyword, char* line);
// The keyword `next` follows [Test Load] or its lines: the test load's own
// checks run (2224 to 2230) and it is closed.
void TESTLOAD_KeywordChange(int next);
// Closing checks of every test load against the models it names.
void TESTLOAD_CheckList(TESTLOAD* list);
// The test load of that exact name (the newest, should there be several),
// or null.
TESTLOAD* TESTLOAD_Find(const TESTLOAD* list, const char* name);
// Releases a list with everything it holds.
void TESTLOAD_FreeList(TESTLOAD* list);
