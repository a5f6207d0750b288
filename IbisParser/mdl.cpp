// [Model]: opening records, handing lines to the keyword handlers, presence
// of a model's keywords, and releasing records.

#include "IbisParser/algmod.h"
#include "IbisParser/cmn.h"
#include "IbisParser/crv.h"
#include "IbisParser/drvsh.h"
#include "IbisParser/ibis.h"
#include "IbisParser/mdl_internal.h"
#include "IbisParser/mdlemi.h"
#include "IbisParser/msg.h"
#include "IbisParser/mspec.h"
#include "IbisParser/parse.h"
#include "IbisParser/ramp.h"
#include "IbisParser/rcvth.h"
#include "IbisParser/rng.h"
#include "IbisParser/sinfo.h"

MdlState g_mdl;

namespace {

constexpr int kFirstModelKeyword = KW::EXTERNAL_MODEL;
constexpr int kLastModelKeyword = KW::END_EMI_MODEL;

void FreeAddSubmodels(MDL_ADDSUB* list) {
    while (list != nullptr) {
        MDL_ADDSUB* next = list->next;
        CMN_Free(list);
        list = next;
    }
}

}  // namespace

void MDL_FreeModel(MDL* model) {
    RNG* const ranges[] = {
        model->cComp,
        model->cCompPullup,
        model->cCompPulldown,
        model->cCompPowerClamp,
        model->cCompGndClamp,
        model->temperatureRange,
        model->voltageRange,
        model->pullupReference,
        model->pulldownReference,
        model->powerClampReference,
        model->gndClampReference,
        model->externalReference,
        model->ttgnd,
        model->ttpower,
        model->rgnd,
        model->rpower,
        model->rac,
        model->cac,
    };
    for (RNG* range : ranges) RNG_Free(range);
    DRVSH_Free(model->driverSchedule);
    MSPEC_Free(model->modelSpec);
    RCVTH_Free(model->receiverThresholds);
    SINFO_Free(model->on);
    SINFO_Free(model->off);
    FreeAddSubmodels(model->add_submodels);
    CRV_Free(model->pulldown);
    CRV_Free(model->pullup);
    CRV_Free(model->gndClamp);
    CRV_Free(model->powerClamp);
    CRV_Free(model->issoPu);
    CRV_Free(model->issoPd);
    RAMP_Free(model->ramp);
    WVFRM_FreeList(&model->rising);
    WVFRM_FreeList(&model->falling);
    ALGMOD_FreeList(model->algmod);
    MDLEMI_Free(model->emi);
    CMN_Free(model);
}

int MDL_Open() {
    IBIS* ibis = nullptr;
    if (!IBIS_Current(&ibis)) {
        MSG_BugLine(101);
        return 0;
    }
    MDL* model = nullptr;
    if (!CMN_Calloc(&model, sizeof *model)) {
        MSG_BugLine(100, MDL_MODULE, __LINE__);
        g_mdl = MdlState{};
        return 0;
    }
    model->single_ended = 2;
    MDL_IndexJoin(model, IBIS_GetModels(ibis));
    IBIS_AddModel(ibis, model);
    g_mdl = MdlState{};
    g_mdl.open = model;
    g_mdl.lastKeyword = KW::MODEL;
    return 1;
}

int MDL_HandleLine(int lineClass, int keyword, char* line) {
    MSG_REQUIRE(line != nullptr, MDL_MODULE);
    MDL* model = g_mdl.open;
    if (lineClass == PARSE_LINE_KEYWORD) {
        if (model == nullptr) {
            MSG_ErrorLine(102);
            return 1;
        }
        const int previous = g_mdl.lastKeyword;
        g_mdl.lastKeyword = keyword;
        MDL_KeywordLine(model, keyword, previous, line);
        return 1;
    }
    if (model == nullptr) {
        MSG_ErrorLine(107);
        return 1;
    }
    MDL_DataLine(model, g_mdl.lastKeyword, line);
    return 1;
}

MDL* MDL_Current() { return g_mdl.open; }

int MDL_HasKeyword(const MDL* model, int keyword) {
    MSG_REQUIRE(model != nullptr, MDL_MODULE);
    if (keyword < kFirstModelKeyword || keyword > kLastModelKeyword) return 0;
    return (model->keywordsSeen >> (keyword - kFirstModelKeyword)) & 1ULL ? 1 : 0;
}

void MDL_MarkKeyword(MDL* model, int keyword) {
    if (keyword < kFirstModelKeyword || keyword > kLastModelKeyword) return;
    model->keywordsSeen |= 1ULL << (keyword - kFirstModelKeyword);
}

bool MDL_Present(const MDL* model, int keyword) {
    switch (keyword) {
        case KW::TEMPERATURE_RANGE: return model->temperatureRange != nullptr;
        case KW::VOLTAGE_RANGE: return model->voltageRange != nullptr;
        case KW::PULLUP_REFERENCE: return model->pullupReference != nullptr;
        case KW::PULLDOWN_REFERENCE: return model->pulldownReference != nullptr;
        case KW::POWER_CLAMP_REFERENCE: return model->powerClampReference != nullptr;
        case KW::GND_CLAMP_REFERENCE: return model->gndClampReference != nullptr;
        case KW::EXTERNAL_REFERENCE: return model->externalReference != nullptr;
        case KW::PULLDOWN: return model->pulldown != nullptr;
        case KW::PULLUP: return model->pullup != nullptr;
        case KW::GND_CLAMP: return model->gndClamp != nullptr;
        case KW::POWER_CLAMP: return model->powerClamp != nullptr;
        case KW::RGND: return model->rgnd != nullptr;
        case KW::RPOWER: return model->rpower != nullptr;
        case KW::RAC: return model->rac != nullptr;
        case KW::CAC: return model->cac != nullptr;
        case KW::RAMP: return model->ramp != nullptr;
        case KW::RISING_WAVEFORM: return model->rising.count > 0;
        case KW::FALLING_WAVEFORM: return model->falling.count > 0;
        case KW::TTGND: return model->ttgnd != nullptr;
        case KW::TTPOWER: return model->ttpower != nullptr;
        case KW::ISSO_PD: return model->issoPd != nullptr;
        case KW::ISSO_PU: return model->issoPu != nullptr;
        default: return MDL_HasKeyword(model, keyword) != 0;
    }
}

void MDL_FreeList(MDL* list) {
    MDL_INDEX* index = list != nullptr ? list->index : nullptr;
    while (list != nullptr) {
        MDL* next = list->next;
        if (list == g_mdl.open) g_mdl = MdlState{};
        MDL_FreeModel(list);
        list = next;
    }
    MDL_IndexFree(index);
}
