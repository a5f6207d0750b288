// [Component]: the checks once the whole file has been read, of every
// component against the others, its own tables and the file's models.

#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt_internal.h"
#include "IbisParser/cmpnt_names.h"
#include "IbisParser/difpin.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msg.h"
#include "IbisParser/pin.h"
#include "IbisParser/pinmpg.h"
#include "IbisParser/spinmpg.h"
#include "IbisParser/sswch.h"

// Package models and external circuits keep no names yet,
// so the checks against them ([Package Model] and [Alternate Package Models]
// names, pins of a package model's Pin_Numbers list, nodes and circuit
// calls) wait for those sections; the others run here.
void CMPNT_CheckList(CMPNT* list, CIRCUIT*, MDL* models) {
    IBIS* ibis = nullptr;
    IBIS_Current(&ibis);

    CMPNT_NAMES* names = nullptr;
    for (CMPNT* component = list; component != nullptr; component = component->next)
        if (CMPNT_NamesAdd(&names, component->name, component) != nullptr) MSG_Error(511, component->name);
    CMPNT_NamesFree(names);

    for (CMPNT* component = list; component != nullptr; component = component->next) {
        if (component->pins == nullptr)
            MSG_Error(524, component->name);
        else
            PIN_CheckComponent(component, models, ibis);
        if (component->pin_mapping_columns != 0) PINMPG_CheckComponent(component);
        if (component->diff_pin_columns != 0) DIFPIN_CheckComponent(component);
        if (component->series_pin_mapping_columns != 0) SPINMPG_CheckComponent(component, models, ibis);
        if (component->series_switch_groups != nullptr) SSWCH_CheckComponent(component);
        PIN_CheckDiffModels(component, models);
    }
}
