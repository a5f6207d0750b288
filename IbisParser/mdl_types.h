#pragma once
// Model types: their codes, names and the groups that decide which
// sub-parameters and keywords a model may have. Components, selectors,
// test data and external models name models by these codes too.

// Model_type codes; 0 means not given and 1 given but invalid.
enum MDL_Type : int {
    MDL_TYPE_NONE = 0,
    MDL_TYPE_INVALID = 1,
    MDL_TYPE_INPUT = 2,
    MDL_TYPE_OUTPUT = 3,
    MDL_TYPE_IO = 4,
    MDL_TYPE_3STATE = 5,
    MDL_TYPE_OPEN_DRAIN = 6,
    MDL_TYPE_IO_OPEN_DRAIN = 7,
    MDL_TYPE_OPEN_SINK = 8,
    MDL_TYPE_IO_OPEN_SINK = 9,
    MDL_TYPE_OPEN_SOURCE = 10,
    MDL_TYPE_IO_OPEN_SOURCE = 11,
    MDL_TYPE_INPUT_ECL = 12,
    MDL_TYPE_OUTPUT_ECL = 13,
    MDL_TYPE_IO_ECL = 14,
    MDL_TYPE_TERMINATOR = 15,
    MDL_TYPE_SERIES = 16,
    MDL_TYPE_SERIES_SWITCH = 17,
    MDL_TYPE_3STATE_ECL = 18,
    MDL_TYPE_IO_DIFF = 19,
    MDL_TYPE_OUTPUT_DIFF = 20,
    MDL_TYPE_3STATE_DIFF = 21,
    MDL_TYPE_INPUT_DIFF = 22,
};

// The name of a type code; "No Type" for codes that name no type.
const char* MDL_TypeName(int code);

// How many type names a version level knows: 14 below level 3 (up to
// Terminator), 17 at level 3 (up to 3-state_ECL), all 21 from level 4.
int MDL_KnownTypeCount(int versionLevel);

// Looks `text` up among the first `count` type names: the code of an exact
// match; for a match that ignores case, -code; 0 for no match.
int MDL_LookupTypeName(const char* text, int count);

bool MDL_IsKnownType(int code);
// Input, I/O, I/O_open_drain, I/O_open_sink, I/O_open_source, Input_ECL, I/O_ECL.
bool MDL_IsReceiverType(int code);
// I/O, I/O_open_drain, I/O_open_sink, I/O_open_source, I/O_ECL.
bool MDL_IsIOType(int code);
// Input, Input_ECL, Terminator, Series, Series_switch, Input_diff.
bool MDL_IsNoTimingLoadType(int code);
// Every driving type, the *_diff drivers included (may carry Rref_diff,
// Cref_diff).
bool MDL_IsDiffLoadDriverType(int code);
// Input_ECL, Output_ECL, I/O_ECL, 3-state_ECL.
bool MDL_IsEclType(int code);
bool MDL_IsSeriesType(int code);  // Series, Series_switch
