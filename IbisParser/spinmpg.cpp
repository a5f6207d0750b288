// [Series Pin Mapping]: the header, the rows, and the closing checks of the
// pins and the Series or Series_switch models that join them.

#include "IbisParser/spinmpg.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt_internal.h"
#include "IbisParser/ibis.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msel.h"
#include "IbisParser/msg.h"

namespace {

const char* const kColumnNames[3] = {"pin_2", "model_name", "function_table_group"};
constexpr int kRowWords = 4;

bool GroupDefined(const CMPNT* component, const char* function) {
    for (const SSWCH* group = component->series_switch_groups; group != nullptr; group = group->next)
        for (int i = 0; i < group->group_count; ++i)
            if (std::strcmp(group->group_names[i], function) == 0) return true;
    return false;
}

// A row's [Model]: its type must suit a series pin pair.
void CheckModel(const CMPNT* component, const SPINMPG* row, const MDL* model) {
    const int type = model->model_type;
    const char* function = row->function_table_group;
    const bool hasFunction = function[0] != '\0';
    if (!MDL_IsKnownType(type)) {
        MSG_Error(2631, component->name, row->model_name);
    } else if (type == MDL_TYPE_SERIES) {
        if (hasFunction) MSG_Warning(2625, component->name, row->model_name, function);
    } else if (type == MDL_TYPE_SERIES_SWITCH) {
        if (!hasFunction)
            MSG_Error(2627, component->name, row->model_name);
        else if (!GroupDefined(component, function))
            MSG_Error(2629, component->name, row->model_name, function);
    } else if (hasFunction) {
        MSG_Error(2621, component->name, row->model_name);
    } else {
        MSG_Error(2623, component->name, row->model_name);
    }
}

// A model listed by the row's [Model Selector]: the same rules, naming the
// selector too. A listed name that is no [Model] has no type to judge.
void CheckSelectorModel(const CMPNT* component, const SPINMPG* row, const char* modelName, const MDL* model) {
    const int type = model != nullptr ? model->model_type : MDL_TYPE_NONE;
    const char* selector = row->model_name;
    const char* function = row->function_table_group;
    const bool hasFunction = function[0] != '\0';
    if (!MDL_IsKnownType(type)) {
        MSG_Error(2630, component->name, selector, modelName);
    } else if (type == MDL_TYPE_SERIES) {
        if (hasFunction) MSG_Warning(2624, component->name, selector, modelName, function);
    } else if (type == MDL_TYPE_SERIES_SWITCH) {
        if (!hasFunction)
            MSG_Error(2626, component->name, selector, modelName);
        else if (!GroupDefined(component, function))
            MSG_Error(2628, component->name, selector, modelName, function);
    } else if (hasFunction) {
        MSG_Error(2620, component->name, selector, modelName);
    } else {
        MSG_Error(2622, component->name, selector, modelName);
    }
}

}  // namespace

void SPINMPG_HeaderLine(CMPNT* component, const char* rest) {
    if (component->series_pin_mapping_columns != 0) {
        MSG_ErrorLine(542);
        // The rows read so far give way to the ones under the new header.
        SPINMPG_FreeList(component->series_pin_mappings);
        component->series_pin_mappings = nullptr;
        component->seriesPinMappingsTail = nullptr;
    }
    component->series_pin_mapping_columns = 1;
    TOKENLIST words;
    if (!CMPNT_HeaderWords(rest, "Series_Pin_Mapping", &words)) return;
    int count = 1;
    for (int i = 0; i < words.found; ++i) {
        ++count;
        if (i < 3 && i < words.stored) {
            if (!CMN_StrEqualNoCase(words.tokens[i], kColumnNames[i])) MSG_ErrorLine(529, kColumnNames[i]);
        } else if (i == 3) {
            MSG_ErrorLine(543);
        }
    }
    for (int i = words.found; i < 2; ++i) MSG_ErrorLine(529, kColumnNames[i]);
    CMN_FreeTokens(&words);

    component->series_pin_mapping_columns = count;
    if (count != 3 && count != 4) MSG_ErrorLine(532, "Series_Pin_Mappings", 3, 4, count);
}

void SPINMPG_RowLine(CMPNT* component, const char* line) {
    SPINMPG* row = nullptr;
    if (!CMN_Calloc(&row, sizeof *row)) {
        MSG_ErrorLine(2619);
        MSG_ErrorLine(533, "Series_Pin_Mapping");
        return;
    }
    TOKENLIST words;
    if (!CMN_SplitLine(line, kRowWords, &words)) {
        CMN_FreeTokens(&words);
        CMN_Free(row);
        MSG_ErrorLine(533, "Series_Pin_Mapping");
        return;
    }
    if (words.found > kRowWords) MSG_ErrorLine(2600);
    int count = 0;
    if (words.stored == 0) {
        MSG_ErrorLine(2601);
        MSG_ErrorLine(2602);
    } else {
        CMN_CopyField(row->pin_1, words.tokens[0], CMPNT_PIN_NAME_MAX, "Pin1");
        ++count;
        if (words.stored > 1) {
            CMN_CopyField(row->pin_2, words.tokens[1], CMPNT_PIN_NAME_MAX, "Pin2");
            ++count;
        } else {
            MSG_ErrorLine(2602);
        }
    }
    if (words.stored > 2) {
        CMN_CopyField(row->model_name, words.tokens[2], CMPNT_SignalLimit(), "Model");
        ++count;
        CMN_CheckReserved(row->model_name);
    } else {
        MSG_ErrorLine(2603);
    }
    if (words.stored > 3) {
        CMN_CopyField(row->function_table_group, words.tokens[3], CMPNT_GROUP_NAME_MAX, "Function group Name");
        ++count;
        CMN_CheckReserved(row->function_table_group);
    }
    CMN_FreeTokens(&words);
    row->column_count = count;

    if (count != 3 && count != 4) MSG_ErrorLine(2604);
    if (count == 4 && component->series_pin_mapping_columns == 3) MSG_ErrorLine(2605);

    if (component->seriesPinMappingsTail != nullptr)
        component->seriesPinMappingsTail->next = row;
    else
        component->series_pin_mappings = row;
    component->seriesPinMappingsTail = row;
}

void SPINMPG_FreeList(SPINMPG* list) {
    while (list != nullptr) {
        SPINMPG* next = list->next;
        CMN_Free(list);
        list = next;
    }
}

void SPINMPG_CheckComponent(const CMPNT* component, MDL* models, IBIS* ibis) {
    if (ibis == nullptr) {
        MSG_Bug(2606, CMPNT_MODULE, __LINE__);
        return;
    }
    if (component->pins == nullptr) {
        MSG_Error(2618, component->name);
        return;
    }
    for (const SPINMPG* row = component->series_pin_mappings; row != nullptr; row = row->next) {
        if (CMPNT_FindPin(component, row->pin_1) == nullptr) MSG_Error(2607, component->name, row->pin_1);
        if (CMPNT_FindPin(component, row->pin_2) == nullptr) MSG_Error(2611, component->name, row->pin_2);
        // A row without a model name was reported as it was read (2603); the
        // empty name is looked up like any other.
        if (MDL_Exists(models, row->model_name)) {
            CheckModel(component, row, MDL_Find(models, row->model_name));
        } else if (const MSEL* selector = MSEL_Find(ibis->selectors, row->model_name)) {
            for (const MSEL_ENTRY* entry = selector->models; entry != nullptr; entry = entry->next)
                CheckSelectorModel(component, row, entry->name, MDL_Find(models, entry->name));
        } else {
            MSG_Error(2617, component->name, row->model_name);
        }
    }
}
