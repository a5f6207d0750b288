#pragma once
// [Model] and the keywords that belong to it: the sub-parameters on the
// lines after [Model], the reference and range keywords, the I-V tables,
// [Ramp], the waveforms and [Composite Current], series elements ([On],
// [Off], [R Series] ... [Series MOSFET]), [Add Submodel], and the routing of
// [Model Spec], [Receiver Thresholds], [Driver Schedule], [External Model],
// [Algorithmic Model] and the model EMI keywords to their own sections.
//
// The file reader opens a record at [Model] (MDL_Open) and hands this
// section every keyword line and data line of the model's keywords
// (MDL_HandleLine), and every keyword that follows one of them
// (MDL_KeywordChange), which closes what the last keyword opened and ends
// the model at a keyword outside it, running the end-of-model checks. The
// end-of-file checks run from the closing checks of the file.

#include "IbisParser/mdl_types.h"
#include "IbisParser/wvfrm.h"

struct CRV;
struct RAMP;
struct RNG;
struct SINFO;
struct SUBMDL;
struct ALGMOD_LIST;
struct MDL_INDEX;
struct MSPEC;
struct RCVTH;
struct DRVSH;
struct MDLEMI;

// Longest model name from version level 4 on (20 below it), and longest
// [Add Submodel] name.
constexpr int MDL_NAME_MAX = 40;
constexpr int MDL_NAME_MAX_BEFORE_4 = 20;
constexpr int MDL_SUBMODEL_NAME_MAX = 20;

// A single sub-parameter value.
struct MDL_VALUE {
    double value;
    int given;
};

// Values of the Polarity and Enable sub-parameters (0 not given, 1 given
// but invalid).
constexpr int MDL_NON_INVERTING = 2;
constexpr int MDL_INVERTING = 3;
constexpr int MDL_ACTIVE_HIGH = 2;
constexpr int MDL_ACTIVE_LOW = 3;

// [Add Submodel] modes.
enum MDL_SubmodelMode : int {
    MDL_MODE_DRIVING = 0,
    MDL_MODE_NON_DRIVING = 1,
    MDL_MODE_ALL = 2,
    MDL_MODE_NOT_GIVEN = 3,
};

// One line of [Add Submodel]; the entries of a model are in file order.
struct MDL_ADDSUB {
    MDL_ADDSUB* next;
    char name[MDL_SUBMODEL_NAME_MAX + 1];
    int mode;
};

// One [Model]. Every slot stays empty (null, not given, or an empty list)
// until its keyword or sub-parameter is read.
struct MDL {
    MDL* next;
    char name[MDL_NAME_MAX + 1];
    int model_type;  // MDL_Type: 0 not given, 1 given but invalid
    int polarity;    // 0, 1, MDL_NON_INVERTING, MDL_INVERTING
    int enable;      // 0, 1, MDL_ACTIVE_HIGH, MDL_ACTIVE_LOW
    MDL_VALUE vinl;
    MDL_VALUE vinh;
    RNG* cComp;
    RNG* cCompPullup;
    RNG* cCompPulldown;
    RNG* cCompPowerClamp;
    RNG* cCompGndClamp;
    MDL_VALUE vmeas;
    MDL_VALUE cref;
    MDL_VALUE rref;
    MDL_VALUE vref;
    MDL_VALUE crefDiff;
    MDL_VALUE rrefDiff;
    RNG* temperatureRange;
    RNG* voltageRange;
    RNG* pullupReference;
    RNG* pulldownReference;
    RNG* powerClampReference;
    RNG* gndClampReference;
    RNG* externalReference;
    RNG* ttgnd;
    RNG* ttpower;
    // [Driver Schedule], [Model Spec], [Receiver Thresholds] (owned; null
    // when the model has none).
    DRVSH* driverSchedule;
    MSPEC* modelSpec;
    RCVTH* receiverThresholds;
    SINFO* on;  // a Series model keeps its single series element here
    SINFO* off;
    MDL_ADDSUB* add_submodels;
    MDL_ADDSUB* addSubmodelsTail;
    CRV* pulldown;
    CRV* pullup;
    CRV* gndClamp;
    CRV* powerClamp;
    RNG* rgnd;
    RNG* rpower;
    RNG* rac;
    RNG* cac;
    RAMP* ramp;
    WVFRM_LIST rising;
    WVFRM_LIST falling;
    CRV* issoPu;
    CRV* issoPd;
    // Set by every lookup that finds the model by name (MDL_Exists).
    int referenced;
    // 2 at creation (undetermined); 0 once a differential pin uses it.
    int single_ended;
    // Which model keywords (ids 30 to 73) the model holds: bit id - 30. The
    // sections with records of their own ([Model Spec], [Receiver
    // Thresholds], [Driver Schedule], [External Model], [Algorithmic Model],
    // [Begin EMI Model]) are known to be present through it.
    unsigned long long keywordsSeen;
    // Lookup by name: the file's models share one index.
    unsigned long serial;
    MDL* indexNext;
    MDL_INDEX* index;
    // [Algorithmic Model] (owned; null when the model has none).
    ALGMOD_LIST* algmod;
    // [Begin EMI Model] (owned; null when the model has none).
    MDLEMI* emi;
};

// --- The file reader's side ---------------------------------------------------------
// Makes a new record at [Model], puts it in front of the current IBIS
// record's list and opens it: 1, or 0 after a message (101, 100).
int MDL_Open();
// A keyword line (PARSE_LINE_KEYWORD) or data line (PARSE_LINE_DATA) under
// the model keyword `keyword`. Without an open model: 102 or 107. Returns 1.
int MDL_HandleLine(int lineClass, int keyword, char* line);
// The keyword `next` follows one of the model's keywords: closes what the
// last keyword opened and, at a new [Model] or a keyword outside the model,
// runs the end-of-model checks and closes the model.
void MDL_KeywordChange(int next);
// The model lines are currently read into (for the sections the model
// routes its keywords to); null outside a model.
MDL* MDL_Current();
// Whether the model holds the keyword `keyword` (an id from 30 to 73).
int MDL_HasKeyword(const MDL* model, int keyword);

// --- End of file ------------------------------------------------------------------
// The model checks at the end of a file, with the file's submodels:
// [Add Submodel] names without a [Submodel] (218), the newest unreferenced
// model (219, once), and submodels no model adds (220).
void MDL_CheckFinal(MDL* models, SUBMDL* submodels);

// --- Lookups by exact name over a model list ---------------------------------------
// 1 when a model of that name exists, which is then marked referenced.
int MDL_Exists(MDL* list, const char* name);
// The model of that name (the newest, should there be several), or null.
MDL* MDL_Find(MDL* list, const char* name);
// Its model_type, or 0 when there is no such model.
int MDL_TypeOf(MDL* list, const char* name);

// Releases a list with everything it holds.
void MDL_FreeList(MDL* list);
