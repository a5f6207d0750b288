#pragma once
// Shared between the mdl source files only.

#include "IbisParser/mdl.h"

#define MDL_MODULE "IbisParser\\mdl"

struct CRV;
struct SINFO;
struct SMOSFET;
struct WVFRM;

// What the model section keeps while a model is read.
struct MdlState {
    MDL* open;        // the model being read; null outside a model
    int lastKeyword;  // the last model keyword met in it
    SINFO* series;    // the series element record in use
    // What the last keyword opened, for closing it at the next keyword.
    CRV* openTable;
    SMOSFET* openMosfet;
    WVFRM* openComposite;
    // The list of the last [Rising Waveform] or [Falling Waveform], which a
    // [Composite Current] attaches to.
    WVFRM_LIST* lastWaveformList;
};
extern MdlState g_mdl;

// Releases one model and what it holds (not the shared name index).
void MDL_FreeModel(MDL* model);

// Keyword lines and data lines of an open model.
void MDL_KeywordLine(MDL* model, int keyword, int previous, char* line);
void MDL_DataLine(MDL* model, int keyword, char* line);
// The [Model] keyword line: the model's name.
void MDL_NameLine(MDL* model, const char* line);
// A data line after [Model]: one sub-parameter.
void MDL_SubParameterLine(MDL* model, const char* line);
// [Add Submodel] keyword and data lines.
void MDL_AddSubmodelKeyword(MDL* model, const char* line);
void MDL_AddSubmodelLine(MDL* model, const char* line);

// The checks when the sub-parameters end (180, 182, 183).
void MDL_CheckSubParameters(const MDL* model);
// The checks when the model ends (181 to 202).
void MDL_CheckModel(MDL* model);

// Presence of a keyword's data in the model, for the order checks and the
// end-of-model checks: its slot or list when it has one, else whether the
// keyword was met.
bool MDL_Present(const MDL* model, int keyword);
void MDL_MarkKeyword(MDL* model, int keyword);

// The model name index.
// Makes the model findable by its (now set) name.
void MDL_IndexAdd(MDL* model);
// The newest other model of the same list with that name, or null.
MDL* MDL_IndexFind(const MDL* model, const char* name);
// Makes a new model part of the index of the list it is put in front of.
void MDL_IndexJoin(MDL* model, MDL* head);
void MDL_IndexFree(MDL_INDEX* index);

// What the model checks read from records that other sections own. The
// sections for [Receiver Thresholds] and [Model Spec] fill these in.
// The Reference_supply of the model's [Receiver Thresholds], or null.
const char* MDL_ReceiverReferenceSupply(const MDL* model);
// Whether the model's [Model Spec] gives `subParameter` (Vmeas, Vref, Rref).
bool MDL_SpecGives(const MDL* model, const char* subParameter);
// The name of a submodel, or null while the submodel section keeps none.
const char* MDL_SubmodelName(const SUBMDL* submodel);
