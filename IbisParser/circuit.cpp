// [External Circuit] blocks and the [External Model] of the model being read:
// opening them, routing their lines and running their end checks.

#include "IbisParser/circuit.h"

#include <cstring>

#include "IbisParser/circuit_internal.h"
#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt.h"
#include "IbisParser/cmpnt_names.h"
#include "IbisParser/hdr.h"
#include "IbisParser/ibis.h"
#include "IbisParser/mdl.h"
#include "IbisParser/mdl_internal.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"
#include "IbisParser/parse_keywords.h"

namespace {

struct CircuitState {
    CIRCUIT* open;            // the [External Circuit] being read
    CIRCUIT_DESC* modelDesc;  // the [External Model] being read
    const MDL* modelOwner;    // the model whose [External Model] that is
};
CircuitState g_circuit = {nullptr, nullptr, nullptr};

// The names of the current file's external circuits, so that a repeated name
// is found without walking the list. Released with the file's circuit list.
struct NameIndexHolder {
    const IBIS* owner;
    CMPNT_NAMES* index;
};
NameIndexHolder g_names = {nullptr, nullptr};

void FreeModelDesc() {
    if (g_circuit.modelDesc == nullptr) return;
    CIRCUIT_DescFree(g_circuit.modelDesc);
    CMN_Free(g_circuit.modelDesc);
    g_circuit.modelDesc = nullptr;
    g_circuit.modelOwner = nullptr;
}

size_t NameLimit() {
    return HDR_GetVersionLevel() < 4 ? static_cast<size_t>(CIRCUIT_NAME_MAX_BEFORE_4)
                                     : static_cast<size_t>(CIRCUIT_NAME_MAX);
}

void NameLine(CIRCUIT* circuit, char* line) {
    char* cursor = line;
    if (!CMN_SkipPastBracket(&cursor)) {
        MSG_BugLine(125, "External Circuit", CIRCUIT_MODULE, __LINE__);
        return;
    }
    TOKENLIST words;
    if (!CMN_SplitLine(cursor, 2, &words)) {
        CMN_FreeTokens(&words);
        MSG_Error(250);
        return;
    }
    if (words.found == 0) {
        MSG_ErrorLine(251);
    } else {
        if (words.found > 1) MSG_ErrorLine(128, words.found, "Externa Circuit", 1);
        const char* name = words.tokens[0];
        const size_t limit = NameLimit();
        if (std::strlen(name) > limit) {
            MSG_ErrorLine(252, static_cast<int>(limit));
            std::memcpy(circuit->name, name, limit);
            circuit->name[limit] = '\0';
        } else {
            std::strcpy(circuit->name, name);
            if (!CMN_IsNotReserved(name)) MSG_ErrorLine(253, name);
            // A reserved name is still a name: a second circuit of it is named too.
            IBIS* ibis = nullptr;
            IBIS_Current(&ibis);
            if (g_names.owner != ibis) {
                CMPNT_NamesFree(g_names.index);
                g_names = NameIndexHolder{ibis, nullptr};
            }
            if (CMPNT_NamesAdd(&g_names.index, circuit->name, circuit) != nullptr) MSG_ErrorLine(254, circuit->name);
        }
    }
    CMN_FreeTokens(&words);
}

void EndCircuit() {
    CIRCUIT* circuit = g_circuit.open;
    if (circuit == nullptr) {
        MSG_ErrorLine(244);
        return;
    }
    CIRCUIT_DescEnd(&circuit->desc, circuit->name, nullptr);
    circuit->closed = 1;
    g_circuit.open = nullptr;
}

void ModelKeyword() {
    FreeModelDesc();
    CIRCUIT_DESC* desc = nullptr;
    if (!CMN_Calloc(&desc, sizeof *desc)) {
        MSG_BugLine(100, CIRCUIT_MODULE, __LINE__);
        return;
    }
    g_circuit.modelDesc = desc;
    g_circuit.modelOwner = g_mdl.open;
}

void EndModel() {
    const MDL* model = g_mdl.open;
    // An earlier model's [External Model] that never ended is not this
    // model's to check.
    if (g_circuit.modelOwner != model) FreeModelDesc();
    if (g_circuit.modelDesc == nullptr) {
        // A second [External Model] of a model is refused when it starts;
        // its end has nothing to check.
        if (model == nullptr || !MDL_HasKeyword(model, KW::EXTERNAL_MODEL)) MSG_ErrorLine(230);
        return;
    }
    CIRCUIT_DescEnd(g_circuit.modelDesc, model != nullptr ? model->name : "", model);
    FreeModelDesc();
}

}  // namespace

int CIRCUIT_Open() {
    IBIS* ibis = nullptr;
    if (!IBIS_Current(&ibis)) return 0;
    CIRCUIT* record = nullptr;
    if (!CMN_Calloc(&record, sizeof *record)) {
        MSG_BugLine(100, CIRCUIT_MODULE, __LINE__);
        return 0;
    }
    record->line = MSG_GetCurrentLine();
    IBIS_AddCircuit(ibis, record);
    g_circuit.open = record;
    return 1;
}

int CIRCUIT_HandleLine(int lineClass, int keyword, char* line) {
    if (lineClass == PARSE_LINE_KEYWORD) {
        switch (keyword) {
            case KW::EXTERNAL_CIRCUIT:
                if (g_circuit.open == nullptr)
                    MSG_ErrorLine(249);
                else
                    NameLine(g_circuit.open, line);
                break;
            case KW::END_EXTERNAL_CIRCUIT: EndCircuit(); break;
            case KW::EXTERNAL_MODEL: ModelKeyword(); break;
            default: break;  // [End External Model] is closed as the keyword changes
        }
        return 1;
    }
    if (lineClass != PARSE_LINE_DATA) return 1;
    if (keyword == KW::EXTERNAL_CIRCUIT && g_circuit.open != nullptr)
        CIRCUIT_DescLine(&g_circuit.open->desc, false, line);
    else if (keyword == KW::EXTERNAL_MODEL && g_circuit.modelDesc != nullptr && g_circuit.modelOwner == g_mdl.open)
        CIRCUIT_DescLine(g_circuit.modelDesc, true, line);
    else if (keyword == KW::EXTERNAL_MODEL || keyword == KW::EXTERNAL_CIRCUIT || keyword == KW::END_EXTERNAL_CIRCUIT)
        // Data with no block to go to: the lines of a second [External
        // Model] of a model, which was refused (119), or lines after [End
        // External Circuit].
        MSG_ErrorLine(121);
    else
        MSG_BugLine(122, CIRCUIT_MODULE, __LINE__);
    return 1;
}

void CIRCUIT_KeywordChange(int next) {
    if (next == KW::END_EXTERNAL_MODEL) EndModel();
}

void CIRCUIT_FreeList(CIRCUIT* list) {
    FreeModelDesc();
    if (list != nullptr) {
        CMPNT_NamesFree(g_names.index);
        g_names = NameIndexHolder{nullptr, nullptr};
    }
    while (list != nullptr) {
        CIRCUIT* next = list->next;
        if (list == g_circuit.open) g_circuit.open = nullptr;
        CIRCUIT_DescFree(&list->desc);
        CMN_Free(list);
        list = next;
    }
}
