// [Submodel]: opening records, handing lines to the keyword handlers, the
// lookup by name and releasing records.

#include <cstring>
#include <initializer_list>

#include "IbisParser/cmn.h"
#include "IbisParser/crv.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msel_names.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"
#include "IbisParser/parse_keywords.h"
#include "IbisParser/ramp.h"
#include "IbisParser/smspec.h"
#include "IbisParser/submdl_internal.h"

SubmdlState g_submdl;

namespace {

void FreeSubmodel(SUBMDL* submodel) {
    CRV_Free(submodel->pulldown);
    CRV_Free(submodel->pullup);
    CRV_Free(submodel->gndClamp);
    CRV_Free(submodel->powerClamp);
    RAMP_Free(submodel->ramp);
    // A waveform still being read goes with its submodel.
    const WVFRM* current = WVFRM_Current();
    bool ownsCurrent = current != nullptr && (current == submodel->gndPulse || current == submodel->powerPulse);
    for (const WVFRM_LIST* list : {&submodel->rising, &submodel->falling})
        for (const WVFRM* waveform = list->head; waveform != nullptr; waveform = waveform->next)
            if (waveform == current) ownsCurrent = true;
    if (ownsCurrent) WVFRM_ClearCurrent();
    WVFRM_FreeList(&submodel->rising);
    WVFRM_FreeList(&submodel->falling);
    WVFRM_Free(submodel->gndPulse);
    WVFRM_Free(submodel->powerPulse);
    SMSPEC_Free(submodel->specRecord);
    CMN_Free(submodel);
}

}  // namespace

int SUBMDL_Open() {
    g_submdl = SubmdlState{};
    IBIS* ibis = nullptr;
    if (!IBIS_Current(&ibis)) return 0;
    SUBMDL* record = nullptr;
    if (!CMN_Calloc(&record, sizeof *record)) {
        MSG_Bug(2400, SUBMDL_MODULE, __LINE__);
        return 0;
    }
    SUBMDL* head = IBIS_GetSubmodels(ibis);
    record->index = head != nullptr ? head->index : MSEL_NamesNew();
    IBIS_AddSubmodel(ibis, record);
    g_submdl.open = record;
    g_submdl.lastKeyword = KW::SUBMODEL;
    return 1;
}

int SUBMDL_HandleLine(int lineClass, int keyword, char* line) {
    MSG_REQUIRE(line != nullptr, SUBMDL_MODULE);
    SUBMDL* submodel = g_submdl.open;
    if (lineClass == PARSE_LINE_KEYWORD) {
        if (submodel == nullptr) {
            MSG_ErrorLine(2402);
            return 1;
        }
        g_submdl.lastKeyword = keyword;
        if (keyword == KW::SUBMODEL)
            SUBMDL_NameLine(submodel, line);
        else
            SUBMDL_KeywordLine(submodel, keyword, line);
        return 1;
    }
    if (submodel == nullptr) {
        MSG_ErrorLine(2403);
        return 1;
    }
    if (g_submdl.lastKeyword == KW::SUBMODEL)
        SUBMDL_SubParameterLine(submodel, line);
    else
        SUBMDL_DataLine(submodel, g_submdl.lastKeyword, line);
    return 1;
}

void SUBMDL_KeywordChange(int next) {
    SUBMDL* submodel = g_submdl.open;
    if (submodel == nullptr) return;
    SUBMDL_CloseKeyword(submodel, g_submdl.lastKeyword);
    g_submdl.openTable = nullptr;
    if (next >= KW::SUBMODEL_SPEC && next <= KW::FALLING_WAVEFORM_SUBMDL) return;
    SUBMDL_CheckSubmodel(submodel);
    g_submdl = SubmdlState{};
}

void SUBMDL_CheckReferences(SUBMDL*, MDL*) {}

SUBMDL* SUBMDL_Find(const SUBMDL* list, const char* name) {
    MSG_REQUIRE(name != nullptr, SUBMDL_MODULE);
    if (list == nullptr) return nullptr;
    if (MSEL_NamesComplete(list->index)) return static_cast<SUBMDL*>(MSEL_NamesFind(list->index, name));
    for (const SUBMDL* submodel = list; submodel != nullptr; submodel = submodel->next)
        if (std::strcmp(submodel->name, name) == 0) return const_cast<SUBMDL*>(submodel);
    return nullptr;
}

void SUBMDL_FreeList(SUBMDL* list) {
    if (list == nullptr) return;
    MSEL_NamesFree(list->index);
    while (list != nullptr) {
        SUBMDL* next = list->next;
        if (list == g_submdl.open) g_submdl = SubmdlState{};
        FreeSubmodel(list);
        list = next;
    }
}
