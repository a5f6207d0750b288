// [Component]: the checks once the whole file has been read, of every
// component against the others, its own tables and the file's models.

#include "IbisParser/circuit.h"
#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt_internal.h"
#include "IbisParser/cmpnt_names.h"
#include "IbisParser/cmpntemi.h"
#include "IbisParser/difpin.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msg.h"
#include "IbisParser/pin.h"
#include "IbisParser/pinmpg.h"
#include "IbisParser/pkgmdl.h"
#include "IbisParser/spinmpg.h"
#include "IbisParser/sswch.h"

namespace {

// The package model a component names, looked up in the file and then in
// the .pkg files beside it (516 when found nowhere).
const PKGMDL* FindPackageModel(const char* name, const CMPNT* component) {
    IBIS* ibis = nullptr;
    if (!IBIS_Current(&ibis)) {
        MSG_Bug(515, CMPNT_MODULE, __LINE__);
        return nullptr;
    }
    const PKGMDL* found = PKGMDL_FindOrLoad(name);
    if (found == nullptr) MSG_Error(516, name, component->name);
    return found;
}

// Every pin of the package model's Pin_Numbers must be a pin of the component.
void CheckPackagePins(const CMPNT* component, const PKGMDL* model) {
    for (unsigned i = 0; i < PKGMDL_PinNumberCount(model); ++i) {
        const char* pin = PKGMDL_PinNumber(model, i);
        if (CMPNT_FindPin(component, pin) == nullptr) MSG_Error(613, pin, component->package_model, component->name);
    }
}

}  // namespace

void CMPNT_CheckList(CMPNT* list, CIRCUIT* circuits, MDL* models) {
    IBIS* ibis = nullptr;
    IBIS_Current(&ibis);

    CMPNT_NAMES* names = nullptr;
    for (CMPNT* component = list; component != nullptr; component = component->next)
        if (CMPNT_NamesAdd(&names, component->name, component) != nullptr) MSG_Error(511, component->name);
    CMPNT_NamesFree(names);

    for (CMPNT* component = list; component != nullptr; component = component->next) {
        const PKGMDL* packageModel = nullptr;
        if (component->package_model[0] != '\0') packageModel = FindPackageModel(component->package_model, component);
        if (component->pins == nullptr) {
            MSG_Error(524, component->name);
        } else {
            PIN_CheckComponent(component, models, ibis);
            if (packageModel != nullptr) CheckPackagePins(component, packageModel);
        }
        if (component->pin_mapping_columns != 0) PINMPG_CheckComponent(component);
        if (component->diff_pin_columns != 0) DIFPIN_CheckComponent(component);
        if (component->series_pin_mapping_columns != 0) SPINMPG_CheckComponent(component, models, ibis);
        if (component->series_switch_groups != nullptr) SSWCH_CheckComponent(component);
        CIRCUIT_CheckComponent(component, circuits);
        PIN_CheckDiffModels(component, models);
        for (const APKG* alternate = component->alternate_package_models; alternate != nullptr;
             alternate = alternate->next)
            FindPackageModel(alternate->name, component);
        CMPNTEMI_CheckComponent(component);
    }
}
