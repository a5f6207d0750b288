// [Test Load]: the checks when a test load ends, and its receiver models
// once the whole file has been read.

#include "IbisParser/cmpnt.h"
#include "IbisParser/ibis.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msg.h"
#include "IbisParser/testload_internal.h"
#include "IbisParser/testload_diffpin.h"

namespace {

// Types that drive and never receive: a receiver model of such a type is
// suspicious.
bool IsDriveOnlyType(int code) {
    switch (code) {
        case MDL_TYPE_OUTPUT:
        case MDL_TYPE_3STATE:
        case MDL_TYPE_OPEN_DRAIN:
        case MDL_TYPE_OPEN_SINK:
        case MDL_TYPE_OPEN_SOURCE:
        case MDL_TYPE_OUTPUT_ECL:
        case MDL_TYPE_SERIES:
        case MDL_TYPE_SERIES_SWITCH:
        case MDL_TYPE_3STATE_ECL: return true;
        default: return false;
    }
}

void CheckReceivers(const TESTLOAD* load, MDL* models, TESTLOAD_DiffPinCache* pins) {
    if (load->receiverModel[0] != '\0') {
        const MDL* model = MDL_Find(models, load->receiverModel);
        if (model == nullptr)
            MSG_Error(2233, load->receiverModel, load->name);
        else if (IsDriveOnlyType(model->model_type))
            MSG_Warning(2234, load->receiverModel, load->name);
    }
    if (load->receiverModelInv[0] != '\0') {
        MDL* model = MDL_Find(models, load->receiverModelInv);
        if (model == nullptr) {
            MSG_Error(2235, load->receiverModelInv, load->name);
            return;
        }
        if (IsDriveOnlyType(model->model_type)) MSG_Warning(2234, load->receiverModelInv, load->name);
        if (!TESTLOAD_HasDiffPin(pins, model)) MSG_Warning(2236, load->receiverModelInv, load->name);
    }
}

}  // namespace

void TESTLOAD_CheckLoad(const TESTLOAD* load) {
    const char* name = load->name;
    if (load->test_load_type == TESTLOAD_TYPE_NONE) MSG_Error(2224, name, "Test_load_type");
    if (load->elementGiven[TESTLOAD_TD] && !load->elementGiven[TESTLOAD_ZO]) MSG_Error(2225, name);
    if ((load->elementGiven[TESTLOAD_RP1_NEAR] || load->elementGiven[TESTLOAD_RP1_FAR]) && load->vTerm1 == nullptr)
        MSG_Error(2226, name);
    if ((load->elementGiven[TESTLOAD_RP2_NEAR] || load->elementGiven[TESTLOAD_RP2_FAR]) && load->vTerm2 == nullptr)
        MSG_Error(2227, name);
    if (load->test_load_type != TESTLOAD_TYPE_DIFFERENTIAL) {
        if (load->elementGiven[TESTLOAD_R_DIFF_NEAR]) MSG_Warning(2228, name);
        if (load->elementGiven[TESTLOAD_R_DIFF_FAR]) MSG_Warning(2229, name);
        if (load->receiverModelInv[0] != '\0') MSG_Warning(2230, name);
    }
}

void TESTLOAD_CheckList(TESTLOAD* list) {
    IBIS* ibis = nullptr;
    if (!IBIS_Current(&ibis)) {
        MSG_Bug(2231, TESTLOAD_MODULE, __LINE__);
        return;
    }
    MDL* models = IBIS_GetModels(ibis);
    TESTLOAD_DiffPinCache* pins = TESTLOAD_DiffPinCacheNew();
    for (const TESTLOAD* load = list; load != nullptr; load = load->next) {
        if (load->receiverModel[0] == '\0' && load->receiverModelInv[0] == '\0') continue;
        if (models == nullptr) {
            MSG_Error(2232, load->name);
            continue;
        }
        CheckReceivers(load, models, pins);
    }
    TESTLOAD_DiffPinCacheFree(pins);
}
