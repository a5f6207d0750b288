// [Define Package Model]: the checks when a package model ends, the check of
// the file's models against each other, lookups and the release of the list.

#include <cstring>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

#include "IbisParser/cmn.h"
#include "IbisParser/cmn_pairs.h"
#include "IbisParser/msg.h"
#include "IbisParser/mtx.h"
#include "IbisParser/pkgmdl_internal.h"
#include "IbisParser/sect.h"

struct PKGMDL_PIN_INDEX {
    std::unordered_map<std::string, unsigned> positions;
};

namespace {

void CheckHeader(const PKGMDL* model) {
    if (model->name[0] == '\0') MSG_Error(3417);
    if (model->manufacturer[0] == '\0') MSG_Error(3467, "Manufacturer", model->name);
    if (model->OEM[0] == '\0') MSG_Error(3418, model->name);
    if (model->description[0] == '\0') MSG_Error(3419, model->name);
    if (model->number_of_pins == 0) MSG_Error(3431, model->name);
}

void CheckPinNumbers(const PKGMDL* model) {
    if (!g_pkgmdl.pinNumbersSeen)
        MSG_Error(3452, model->name);
    else if (model->number_of_pins > 0 && model->pinCount == 0)
        MSG_Error(3453, model->name);
    else if (model->pinCount < model->number_of_pins)
        MSG_Error(3454, model->number_of_pins, model->pinCount, model->name);
}

void CheckSections(const PKGMDL* model) {
    if (g_pkgmdl.fork != nullptr) MSG_Error(3450);
    // A count that was bad or zero has been reported; every pin would exceed it.
    if (model->number_of_sections == 0) return;
    for (unsigned i = 0; i < model->pinCount; ++i)
        if (model->pins[i].sectionCount > model->number_of_sections)
            MSG_Error(3451, model->pins[i].name, static_cast<int>(model->pins[i].sectionCount),
                      static_cast<int>(model->number_of_sections));
}

void CheckMatrices(const PKGMDL* model) {
    if (g_pkgmdl.sectionsGiven) {
        if (model->resistance != nullptr) MSG_Error(3411, model->name);
        if (model->inductance != nullptr) MSG_Error(3412, model->name);
        if (model->capacitance != nullptr) MSG_Error(3414, model->name);
        return;
    }
    const struct {
        const MTX* matrix;
        const char* label;
        int missing;  // 0: the matrix is optional
    } kMatrices[] = {{model->resistance, "Resistance", 0},
                     {model->inductance, "Inductance", 3413},
                     {model->capacitance, "Capacitance", 3415}};
    for (const auto& entry : kMatrices) {
        if (entry.matrix == nullptr) {
            if (entry.missing != 0) MSG_Error(entry.missing, model->name);
        } else if (MTX_IsBanded(entry.matrix) && !entry.matrix->bandwidthGiven) {
            MSG_Error(3716, entry.label);
        }
    }
}

void FreeNodes(PKGMDL_NODE* node) {
    // Forks nest; walk the tree without recursion so that deep nesting in a
    // hostile file cannot exhaust the stack.
    while (node != nullptr) {
        if (node->branch != nullptr) {
            PKGMDL_NODE* child = node->branch;
            node->branch = nullptr;
            // Splice the branch in front of the rest of this level.
            PKGMDL_NODE* last = child;
            while (last->next != nullptr) last = last->next;
            last->next = node->next;
            node->next = child;
        }
        PKGMDL_NODE* next = node->next;
        SECT_Free(node->section);
        CMN_Free(node);
        node = next;
    }
}

}  // namespace

void PKGMDL_CloseModel() {
    PKGMDL* model = g_pkgmdl.open;
    if (model == nullptr) return;
    MTX_CloseOpen();
    CheckHeader(model);
    CheckPinNumbers(model);
    if (g_pkgmdl.sectionsGiven) CheckSections(model);
    if (g_pkgmdl.sectionsGiven) {
        if (g_pkgmdl.modelDataSeen) MSG_Error(3456, model->name);
    } else if (!g_pkgmdl.modelDataSeen) {
        MSG_Error(3455, model->name);
    }
    CheckMatrices(model);
    if (g_pkgmdl.sectionsGiven) {
        if (g_pkgmdl.endModelDataSeen) MSG_Error(3458, model->name);
    } else if (!g_pkgmdl.endModelDataSeen) {
        MSG_Error(3457, model->name);
    }
    if (!g_pkgmdl.endPackageModelSeen) MSG_Error(3459);
    PKGMDL_IndexFree(g_pkgmdl.pinIndex);
    g_pkgmdl = PkgmdlState{};
}

void PKGMDL_CheckList(PKGMDL* list) {
    // One finding for every pair of models of one name, in list order.
    std::vector<const char*> names;
    try {
        for (const PKGMDL* model = list; model != nullptr; model = model->next) names.push_back(model->name);
    } catch (const std::bad_alloc&) {
        return;  // without memory the names escape the check
    }
    CMN_ReportEqualPairs(names, [](const char* name) { MSG_Error(3410, name); });
}

void PKGMDL_FreePins(PKGMDL* model) {
    for (unsigned i = 0; i < model->pinCount; ++i) FreeNodes(model->pins[i].sections);
    if (model->pins != nullptr) CMN_Free(model->pins);
    model->pins = nullptr;
    model->pinCount = 0;
}

void PKGMDL_FreeList(PKGMDL* list) {
    PKGMDL_ForgetLookups();
    while (list != nullptr) {
        PKGMDL* next = list->next;
        if (list == g_pkgmdl.open) {
            PKGMDL_IndexFree(g_pkgmdl.pinIndex);
            g_pkgmdl = PkgmdlState{};
        }
        PKGMDL_FreePins(list);
        MTX_Free(list->resistance);
        MTX_Free(list->inductance);
        MTX_Free(list->capacitance);
        CMN_Free(list);
        list = next;
    }
}


unsigned PKGMDL_PinNumberCount(const PKGMDL* model) { return model != nullptr ? model->pinCount : 0; }

const char* PKGMDL_PinNumber(const PKGMDL* model, unsigned index) {
    if (model == nullptr || index >= model->pinCount) return nullptr;
    return model->pins[index].name;
}

unsigned PKGMDL_IndexAdd(PKGMDL_PIN_INDEX** index, const char* name, unsigned position) {
    try {
        if (*index == nullptr) *index = new PKGMDL_PIN_INDEX;
        auto [where, added] = (*index)->positions.try_emplace(name, position);
        return added ? 0 : where->second;
    } catch (const std::bad_alloc&) {
        return 0;  // the name stays unindexed: only lookups of it fail
    }
}

unsigned PKGMDL_IndexFind(const PKGMDL_PIN_INDEX* index, const char* name) {
    if (index == nullptr) return 0;
    try {
        auto where = index->positions.find(name);
        return where == index->positions.end() ? 0 : where->second;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

void PKGMDL_IndexFree(PKGMDL_PIN_INDEX* index) { delete index; }
