#pragma once
// [Component] and the keywords that belong to it: [Manufacturer], [Package],
// [Pin], [Package Model], [Pin Mapping], [Diff Pin], [Series Switch Groups],
// [Series Pin Mapping], [Alternate Package Models], [Node Declarations],
// [Circuit Call] and the component EMI keywords.
//
// The file reader opens a record at [Component] (CMPNT_Open) and hands this
// section every line that falls under its keywords (CMPNT_HandleLine), and
// every keyword that follows one of them (CMPNT_KeywordChange), which closes
// the component at a keyword outside it. Each table row is checked as it is
// read; the tables are cross-checked against each other and against the
// file's models once the whole file has been read (CMPNT_CheckList).

struct CIRCUIT;
struct MDL;
struct PKG;
struct CMPNT_NAMES;
struct CMPNTEMI;

// Longest names of the component's fields.
constexpr int CMPNT_NAME_MAX = 40;          // component, manufacturer, package model
constexpr int CMPNT_PIN_NAME_MAX = 5;       // pin names in every table
constexpr int CMPNT_SIGNAL_MAX = 40;        // signal and model names from version level 4
constexpr int CMPNT_SIGNAL_MAX_BEFORE_4 = 20;
constexpr int CMPNT_REF_MAX = 15;           // [Pin Mapping] bus names
constexpr int CMPNT_GROUP_NAME_MAX = 20;    // series switch group names

// si_location and timing_location.
constexpr int CMPNT_LOCATION_NONE = 0;
constexpr int CMPNT_LOCATION_INVALID = 1;
constexpr int CMPNT_LOCATION_DIE = 2;
constexpr int CMPNT_LOCATION_PIN = 3;

// An optional number of a row: state CMN_OPT_ABSENT, CMN_OPT_GIVEN or
// CMN_OPT_NA ([Diff Pin] values never keep NA: they store what it stands for).
struct CMPNT_VALUE {
    double value;
    int state;
};

// One [Pin] row.
struct PIN {
    PIN* next;
    int column_count;
    char pin[CMPNT_PIN_NAME_MAX + 1];
    char signal_name[CMPNT_SIGNAL_MAX + 1];
    char model_name[CMPNT_SIGNAL_MAX + 1];  // a [Model], a [Model Selector], POWER, GND, NC or CIRCUITCALL
    CMPNT_VALUE R_pin;
    CMPNT_VALUE L_pin;
    CMPNT_VALUE C_pin;
};

// One [Pin Mapping] row. An empty reference was not given; "NC" (any case)
// means no connection.
struct PINMPG {
    PINMPG* next;
    int column_count;
    char pin[CMPNT_PIN_NAME_MAX + 1];
    char pulldown_ref[CMPNT_REF_MAX + 1];
    char pullup_ref[CMPNT_REF_MAX + 1];
    char gnd_clamp_ref[CMPNT_REF_MAX + 1];
    char power_clamp_ref[CMPNT_REF_MAX + 1];
    char ext_ref[CMPNT_REF_MAX + 1];
};

// One [Diff Pin] row.
struct DIFPIN {
    DIFPIN* next;
    int column_count;
    char pin[CMPNT_PIN_NAME_MAX + 1];  // the Diff_Pin column
    char inv_pin[CMPNT_PIN_NAME_MAX + 1];
    CMPNT_VALUE vdiff;
    CMPNT_VALUE tdelay_typ;
    CMPNT_VALUE tdelay_min;
    CMPNT_VALUE tdelay_max;
};

// One group of [Series Switch Groups]: its state and the names of the
// series switch functions that turn on or off together.
struct SSWCH {
    SSWCH* next;
    char state[4];  // "On" or "Off"
    char (*group_names)[CMPNT_GROUP_NAME_MAX + 1];
    int group_count;
};

// One [Series Pin Mapping] row.
struct SPINMPG {
    SPINMPG* next;
    int column_count;
    char pin_1[CMPNT_PIN_NAME_MAX + 1];
    char pin_2[CMPNT_PIN_NAME_MAX + 1];
    char model_name[CMPNT_SIGNAL_MAX + 1];
    char function_table_group[CMPNT_GROUP_NAME_MAX + 1];
};

// One name of [Alternate Package Models].
struct APKG {
    APKG* next;
    char name[CMPNT_NAME_MAX + 1];
};

struct CIRCUIT_PORTMAP;
struct NODE;

// One [Circuit Call] of the component, with the line it starts on. The
// circuit call section fills in the reference pins and the port map.
struct CMPNT_CALL {
    CMPNT_CALL* next;
    unsigned long line;
    char name[CMPNT_NAME_MAX + 1];
    char ref_pin_1[CMPNT_PIN_NAME_MAX + 1];  // empty until given
    char ref_pin_2[CMPNT_PIN_NAME_MAX + 1];
    CIRCUIT_PORTMAP* port_map;  // file order
    CIRCUIT_PORTMAP* portMapTail;
    CMPNT_NAMES* portIndex;  // ports mapped so far
};

// One [Component]. The row lists keep file order; each has a tail for
// appending.
struct CMPNT {
    CMPNT* next;
    char name[CMPNT_NAME_MAX + 1];
    char manufacturer[CMPNT_NAME_MAX + 1];
    PKG* package;
    int pin_columns;  // column count of the [Pin] header; 0 = no [Pin] yet
    PIN* pins;
    PIN* pinsTail;
    char package_model[CMPNT_NAME_MAX + 1];
    int pin_mapping_columns;
    PINMPG* pin_mappings;
    PINMPG* pinMappingsTail;
    int diff_pin_columns;
    DIFPIN* diff_pins;
    DIFPIN* diffPinsTail;
    int si_location;  // CMPNT_LOCATION_...
    int timing_location;
    SSWCH* series_switch_groups;
    SSWCH* seriesSwitchGroupsTail;
    int series_pin_mapping_columns;
    SPINMPG* series_pin_mappings;
    SPINMPG* seriesPinMappingsTail;
    APKG* alternate_package_models;
    APKG* alternatePackageModelsTail;
    int node_declarations;  // [Node Declarations] seen
    NODE* nodes;            // the NODE LIST, file order
    NODE* nodesTail;
    CMPNT_NAMES* nodeIndex;
    CMPNT_CALL* circuit_calls;  // newest first
    // Lookup of rows by pin name (the first row of each name).
    CMPNT_NAMES* pinIndex;
    CMPNT_NAMES* pinMappingIndex;
    CMPNT_NAMES* diffPinIndex;  // both columns of [Diff Pin]
    CMPNTEMI* emi;  // [Begin EMI Component] (owned; null when none)
};

// Makes a new record at [Component], appends it to the current IBIS record's
// list (components stay in file order) and opens it: 1, or 0 after a
// message (500, 512).
int CMPNT_Open();
// A keyword line (PARSE_LINE_KEYWORD) or data line (PARSE_LINE_DATA) under
// keyword `keyword`. Returns 1.
int CMPNT_HandleLine(int lineClass, int keyword, char* line);
// The keyword `next` follows one of this section's keywords; one outside
// the section closes the component (514, 519, 1213, 1215, 1217).
void CMPNT_KeywordChange(int next);
// The closing checks of every component against each other, the external
// circuits and the models.
void CMPNT_CheckList(CMPNT* list, CIRCUIT* circuits, MDL* models);
// Releases a list with everything it holds.
void CMPNT_FreeList(CMPNT* list);

// The first pin of that name in the component, or null.
PIN* CMPNT_FindPin(const CMPNT* component, const char* name);
// Whether the pin is the Diff_Pin or inv_pin of any [Diff Pin] row.
int CMPNT_IsDiffPin(const CMPNT* component, const char* name);

// Looks through the [Diff Pin] rows of every component (file order) for a
// pin that uses `model`, directly or through a [Model Selector] that lists
// it (a selector that a differential pin names without listing `model` is
// marked differential, single_ended = 0, on the way). The first
// found marks the model differential (single_ended = 0) and is returned;
// null when there is none (500, 547 when the file's records are missing).
PIN* CMPNT_FindDiffPinForModel(MDL* model);
