// [Model]: the checks at the end of a file.

#include <cstring>
#include <string_view>
#include <unordered_set>

#include "IbisParser/mdl_internal.h"
#include "IbisParser/msg.h"
#include "IbisParser/submdl.h"

namespace {

// The names of the file's submodels, or false when some submodel has no
// name to compare with.
bool SubmodelNames(SUBMDL* submodels, std::unordered_set<std::string_view>* names) {
    for (SUBMDL* submodel = submodels; submodel != nullptr; submodel = submodel->next) {
        const char* name = MDL_SubmodelName(submodel);
        if (name == nullptr) return false;
        names->insert(name);
    }
    return true;
}

// Every [Add Submodel] name must be a [Submodel] of the file.
void CheckAddedSubmodels(MDL* models, const std::unordered_set<std::string_view>& submodelNames,
                         std::unordered_set<std::string_view>* added) {
    for (MDL* model = models; model != nullptr; model = model->next)
        for (const MDL_ADDSUB* entry = model->add_submodels; entry != nullptr; entry = entry->next) {
            added->insert(entry->name);
            if (submodelNames.count(entry->name) == 0) MSG_Error(218, entry->name, model->name);
        }
}

// One warning is enough to point at unused models: the newest one found.
void CheckUnreferencedModels(MDL* models) {
    for (MDL* model = models; model != nullptr; model = model->next)
        if (!model->referenced) {
            MSG_Warning(219, model->name);
            return;
        }
}

void CheckUnusedSubmodels(SUBMDL* submodels, const std::unordered_set<std::string_view>& added) {
    for (SUBMDL* submodel = submodels; submodel != nullptr; submodel = submodel->next) {
        const char* name = MDL_SubmodelName(submodel);
        if (added.count(name) == 0) MSG_Warning(220, name);
    }
}

}  // namespace

void MDL_CheckFinal(MDL* models, SUBMDL* submodels) {
    std::unordered_set<std::string_view> submodelNames;
    std::unordered_set<std::string_view> added;
    // Submodels without names (as long as their section keeps none) can
    // neither be found nor reported.
    const bool namesKnown = SubmodelNames(submodels, &submodelNames);
    if (namesKnown) CheckAddedSubmodels(models, submodelNames, &added);
    CheckUnreferencedModels(models);
    if (namesKnown) CheckUnusedSubmodels(submodels, added);
}
