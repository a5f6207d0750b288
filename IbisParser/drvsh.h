#pragma once
// [Driver Schedule] of a model: the models that drive in turn, each with
// the delays after which it turns on and off on rising and falling edges.
//
// Lines reach this section through the model, which routes them here and
// calls DRVSH_KeywordChange when the next keyword arrives. The record
// belongs to the model (MDL::driverSchedule). At the end of the file
// DRVSH_CheckModels looks up every scheduled model.

struct MDL;

// Delays of one entry, in the order of their columns.
enum DRVSH_Delay : int {
    DRVSH_RISE_ON = 0,
    DRVSH_RISE_OFF,
    DRVSH_FALL_ON,
    DRVSH_FALL_OFF,
    DRVSH_DELAYS
};

// Longest scheduled model name from version level 4 on (20 below it).
constexpr int DRVSH_NAME_MAX = 40;
constexpr int DRVSH_NAME_MAX_BEFORE_4 = 20;

struct DRVSH_ENTRY {
    DRVSH_ENTRY* next;
    char name[DRVSH_NAME_MAX + 1];
    double delay[DRVSH_DELAYS];
    int state[DRVSH_DELAYS];  // CMN_OPT_ABSENT, CMN_OPT_GIVEN or CMN_OPT_NA
};

struct DRVSH {
    DRVSH_ENTRY* entries;  // newest first
    unsigned long startLine;
};

// The keyword line; the record goes to the open model. Returns 1.
int DRVSH_KeywordLine(int keyword, char* line);
// One scheduled model with its delays. Returns 1.
int DRVSH_DataLine(int keyword, char* line);
// The keyword `next` follows [Driver Schedule]: its closing check.
void DRVSH_KeywordChange(int next);
// End of file: every scheduled model exists, drives, and has no schedule of
// its own; the models found are marked referenced.
void DRVSH_CheckModels(MDL* models);

void DRVSH_Free(DRVSH* record);
