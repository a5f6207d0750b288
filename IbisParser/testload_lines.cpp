// [Test Load]: the name on the keyword line and the sub-parameter lines.

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/msel_names.h"
#include "IbisParser/msg.h"
#include "IbisParser/rng.h"
#include "IbisParser/rngp.h"
#include "IbisParser/testload_fields.h"
#include "IbisParser/testload_internal.h"

namespace {

// The sub-parameters in the order of their codes.
enum SubParameter : int {
    SUB_TEST_LOAD_TYPE,
    SUB_FIRST_ELEMENT,  // C1_near ... C1_far follow in element order
    SUB_V_TERM1 = SUB_FIRST_ELEMENT + TESTLOAD_R_DIFF_NEAR,
    SUB_V_TERM2,
    SUB_RECEIVER_MODEL,
    SUB_RECEIVER_MODEL_INV,
    SUB_R_DIFF_NEAR,
    SUB_R_DIFF_FAR,
    SUB_COUNT
};
const char* const kNames[SUB_COUNT] = {
    "Test_load_type",
    "C1_near", "Rs_near", "Ls_near", "C2_near", "Rp1_near", "Rp2_near", "Td",
    "Zo", "Rp1_far", "Rp2_far", "C2_far", "Ls_far", "Rs_far", "C1_far",
    "V_term1", "V_term2", "Receiver_model", "Receiver_model_inv", "R_diff_near", "R_diff_far",
};

const TESTLOAD_NAMECODES kNameCodes = {"TestLoad", "Test Load", 2206, 2208, 2209, 2210, 2211};
const TESTLOAD_SUBCODES kSubCodes = {2216, 2217, 2218, 2219, 2220, 2221, 2222, 2223};
const RNGP_NAMEVALUE kValueMessages = {2219, nullptr, 2218, 2238, 0, nullptr};

// The test load of that name among the others of the list.
bool NameTaken(const TESTLOAD* load, const char* name) {
    if (MSEL_NamesComplete(load->index)) return MSEL_NamesFind(load->index, name) != nullptr;
    for (const TESTLOAD* other = load->next; other != nullptr; other = other->next)
        if (std::strcmp(other->name, name) == 0) return true;
    return false;
}

void ReadElement(TESTLOAD* load, int element, const char* name, const char* line) {
    if (load->elementGiven[element]) {
        MSG_ErrorLine(2237, name);
        return;
    }
    double value = 0.0;
    if (RNGP_ReadNameValue(line, name, kValueMessages, &value)) {
        load->element[element] = value;
        load->elementGiven[element] = 1;
    }
}

void ReadTermination(TESTLOAD* load, RNG** slot, const char* name, const char* rest) {
    if (*slot != nullptr) {
        MSG_ErrorLine(2216, name, load->name);
        return;
    }
    RNG_ParseLine(rest, name, slot);
    if (*slot != nullptr && (*slot)->state[RNG_TYP] == CMN_OPT_NA) MSG_ErrorLine(2239);
}

}  // namespace

void TESTLOAD_NameLine(TESTLOAD* load, const char* line) {
    char name[TESTLOAD_NAME_MAX + 1];
    const int result = TESTLOAD_ReadName(line, kNameCodes, name);
    if (result == TESTLOAD_NAME_NONE) return;
    if (result == TESTLOAD_NAME_READ && NameTaken(load, name)) MSG_ErrorLine(2212, name);
    std::memcpy(load->name, name, std::strlen(name) + 1);
    MSEL_NamesAdd(load->index, load->name, load);
}

void TESTLOAD_SubParameterLine(TESTLOAD* load, const char* line) {
    const char* rest = line;
    const int sub = TESTLOAD_SubParameterIndex(line, kNames, SUB_COUNT, &rest);
    if (sub < 0) {
        MSG_ErrorLine(2214);
        return;
    }
    const char* name = kNames[sub];
    switch (sub) {
        case SUB_TEST_LOAD_TYPE: TESTLOAD_ReadType(line, name, load->name, &load->test_load_type, kSubCodes); break;
        case SUB_V_TERM1: ReadTermination(load, &load->vTerm1, name, rest); break;
        case SUB_V_TERM2: ReadTermination(load, &load->vTerm2, name, rest); break;
        case SUB_RECEIVER_MODEL:
            TESTLOAD_ReadModelName(line, name, load->name, load->receiverModel, TESTLOAD_ModelNameLimit(), kSubCodes);
            break;
        case SUB_RECEIVER_MODEL_INV:
            TESTLOAD_ReadModelName(line, name, load->name, load->receiverModelInv, TESTLOAD_ModelNameLimit(),
                                   kSubCodes);
            break;
        case SUB_R_DIFF_NEAR: ReadElement(load, TESTLOAD_R_DIFF_NEAR, name, line); break;
        case SUB_R_DIFF_FAR: ReadElement(load, TESTLOAD_R_DIFF_FAR, name, line); break;
        default: ReadElement(load, sub - SUB_FIRST_ELEMENT, name, line); break;
    }
}
