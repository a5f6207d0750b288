// [Test Data]: the name on the keyword line, the sub-parameter lines and
// the golden waveform keywords.

#include <cstring>

#include "IbisParser/msel_names.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse_keywords.h"
#include "IbisParser/testdata_internal.h"
#include "IbisParser/testload_fields.h"
#include "IbisParser/wvfrm.h"

namespace {

enum SubParameter : int { SUB_TEST_DATA_TYPE, SUB_DRIVER_MODEL, SUB_DRIVER_MODEL_INV, SUB_TEST_LOAD, SUB_COUNT };
const char* const kNames[SUB_COUNT] = {"Test_data_type", "Driver_model", "Driver_model_inv", "Test_load"};

const TESTLOAD_NAMECODES kNameCodes = {"TestData", "Test Data", 2314, 2316, 2317, 2318, 2319};
const TESTLOAD_SUBCODES kSubCodes = {2324, 2325, 2326, 2327, 2328, 2329, 2330, 2331};

// "[Rising Waveform Near] Already Defined" and its siblings, by waveform.
const int kAlreadyDefined[TESTDATA_WAVEFORM_COUNT] = {2304, 2306, 2305, 2307, 2308, 2310, 2309, 2311};

bool NameTaken(const TESTDATA* data, const char* name) {
    if (MSEL_NamesComplete(data->index)) return MSEL_NamesFind(data->index, name) != nullptr;
    for (const TESTDATA* other = data->next; other != nullptr; other = other->next)
        if (std::strcmp(other->name, name) == 0) return true;
    return false;
}

}  // namespace

void TESTDATA_NameLine(TESTDATA* data, const char* line) {
    char name[TESTLOAD_NAME_MAX + 1];
    const int result = TESTLOAD_ReadName(line, kNameCodes, name);
    if (result == TESTLOAD_NAME_NONE) return;
    if (result == TESTLOAD_NAME_READ && NameTaken(data, name)) MSG_ErrorLine(2320, name);
    std::memcpy(data->name, name, std::strlen(name) + 1);
    MSEL_NamesAdd(data->index, data->name, data);
}

void TESTDATA_SubParameterLine(TESTDATA* data, const char* line) {
    const int sub = TESTLOAD_SubParameterIndex(line, kNames, SUB_COUNT, nullptr);
    if (sub < 0) {
        MSG_ErrorLine(2322);
        return;
    }
    const char* name = kNames[sub];
    switch (sub) {
        case SUB_TEST_DATA_TYPE: TESTLOAD_ReadType(line, name, data->name, &data->test_data_type, kSubCodes); break;
        case SUB_DRIVER_MODEL:
            TESTLOAD_ReadModelName(line, name, data->name, data->driverModel, TESTLOAD_ModelNameLimit(), kSubCodes);
            break;
        case SUB_DRIVER_MODEL_INV:
            TESTLOAD_ReadModelName(line, name, data->name, data->driverModelInv, TESTLOAD_ModelNameLimit(),
                                   kSubCodes);
            break;
        default:
            // A test load may be named with as many characters as it was defined with.
            TESTLOAD_ReadModelName(line, name, data->name, data->testLoad, TESTLOAD_NAME_MAX, kSubCodes);
            break;
    }
}

void TESTDATA_WaveformLine(TESTDATA* data, int keyword, const char* line) {
    const int slot = keyword - KW::RISING_WAVEFORM_NEAR;
    // A repeated waveform replaces the one before it.
    if (data->waveform[slot] != nullptr) MSG_ErrorLine(kAlreadyDefined[slot]);
    WVFRM_StartIn(line, &data->waveform[slot], TESTDATA_WaveformLabel(keyword));
}
