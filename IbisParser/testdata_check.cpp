// [Test Data]: the checks when its sub-parameters end and when it closes,
// and its models and test load once the whole file has been read.

#include "IbisParser/ibis.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msg.h"
#include "IbisParser/testdata_internal.h"
#include "IbisParser/testload_diffpin.h"

namespace {

// Types that never drive: a driver model of such a type is suspicious.
bool IsReceiveOnlyType(int code) {
    switch (code) {
        case MDL_TYPE_INPUT:
        case MDL_TYPE_INPUT_ECL:
        case MDL_TYPE_TERMINATOR:
        case MDL_TYPE_SERIES:
        case MDL_TYPE_SERIES_SWITCH: return true;
        default: return false;
    }
}

bool AnyWaveform(const TESTDATA* data, int first, int last) {
    for (int i = first; i <= last; ++i)
        if (data->waveform[i] != nullptr) return true;
    return false;
}

void CheckDrivers(const TESTDATA* data, MDL* models, TESTLOAD_DiffPinCache* pins) {
    if (data->driverModel[0] != '\0') {
        const MDL* model = MDL_Find(models, data->driverModel);
        if (model == nullptr)
            MSG_Error(2338, data->driverModel, data->name);
        else if (IsReceiveOnlyType(model->model_type))
            MSG_Warning(2339, data->driverModel, data->name);
    }
    if (data->driverModelInv[0] != '\0') {
        MDL* model = MDL_Find(models, data->driverModelInv);
        if (model == nullptr) {
            MSG_Error(2340, data->driverModelInv, data->name);
            return;
        }
        if (IsReceiveOnlyType(model->model_type)) MSG_Warning(2339, data->driverModelInv, data->name);
        if (!TESTLOAD_HasDiffPin(pins, model)) MSG_Warning(2341, data->driverModelInv, data->name);
    }
}

void CheckTestLoad(const TESTDATA* data, const TESTLOAD* loads) {
    if (loads == nullptr) {
        MSG_Error(2342, data->name);
        return;
    }
    if (data->testLoad[0] == '\0') return;
    const TESTLOAD* load = TESTLOAD_Find(loads, data->testLoad);
    if (load == nullptr)
        MSG_Error(2343, data->testLoad, data->name);
    else if (load->test_load_type != data->test_data_type)
        MSG_Error(2344, data->name, data->testLoad);
}

}  // namespace

void TESTDATA_CheckSubParameters(const TESTDATA* data) {
    const char* name = data->name;
    if (data->test_data_type == TESTLOAD_TYPE_NONE) MSG_Error(2332, name, "Test_data_type");
    if (data->driverModel[0] == '\0') MSG_Error(2332, name, "Driver_model");
    if (data->testLoad[0] == '\0') MSG_Error(2332, name, "Test_load");
    if (data->driverModelInv[0] != '\0' && data->test_data_type != TESTLOAD_TYPE_DIFFERENTIAL)
        MSG_Error(2333, name);
}

void TESTDATA_CheckWaveformSet(const TESTDATA* data) {
    const bool differential = data->test_data_type == TESTLOAD_TYPE_DIFFERENTIAL;
    const bool anyDifferential = AnyWaveform(data, TESTDATA_DIFF_RISING_NEAR, TESTDATA_DIFF_FALLING_FAR);
    if (!AnyWaveform(data, TESTDATA_RISING_NEAR, TESTDATA_FALLING_FAR)) {
        if (data->waveform[TESTDATA_DIFF_RISING_NEAR] != nullptr) {
            if (!differential) {
                MSG_Error(2335, data->name);
                return;
            }
        } else if (!anyDifferential) {
            MSG_Error(2334, data->name);
        }
    }
    if (anyDifferential && !differential) MSG_Error(2335, data->name);
}

void TESTDATA_CheckList(TESTDATA* list) {
    IBIS* ibis = nullptr;
    if (!IBIS_Current(&ibis)) {
        MSG_Bug(2336, TESTDATA_MODULE, __LINE__);
        return;
    }
    MDL* models = IBIS_GetModels(ibis);
    const TESTLOAD* loads = IBIS_GetTestLoads(ibis);
    TESTLOAD_DiffPinCache* pins = TESTLOAD_DiffPinCacheNew();
    for (const TESTDATA* data = list; data != nullptr; data = data->next) {
        if (data->driverModel[0] != '\0' || data->driverModelInv[0] != '\0') {
            if (models == nullptr)
                MSG_Error(2337, data->name);
            else
                CheckDrivers(data, models, pins);
        }
        CheckTestLoad(data, loads);
    }
    TESTLOAD_DiffPinCacheFree(pins);
}
