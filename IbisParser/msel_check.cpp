// [Model Selector]: the checks once the whole file has been read. Each
// listed model must be a [Model] of the file, and a selector should not mix
// differential models with single-ended ones; the kind of its first model
// becomes the selector's.

#include <initializer_list>
#include <new>
#include <string_view>
#include <unordered_set>

#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt.h"
#include "IbisParser/ibis.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msel.h"
#include "IbisParser/msg.h"

namespace {

// The names of the models that the pins of [Diff Pin] rows use, directly or
// through a selector that lists them: what the differential-pin search
// would find for each of them, gathered in one pass over the pins.
class DifferentialUse {
public:
    explicit DifferentialUse(const IBIS* ibis) {
        try {
            for (const CMPNT* component = ibis->components; component != nullptr; component = component->next)
                for (const DIFPIN* row = component->diff_pins; row != nullptr; row = row->next)
                    for (const char* name : {row->pin, row->inv_pin}) Add(ibis, component, name);
        } catch (const std::bad_alloc&) {
            // Without memory for the names no model is taken as differential.
            names_.clear();
        }
    }

    bool Uses(const char* model) const { return names_.count(model) != 0; }

private:
    void Add(const IBIS* ibis, const CMPNT* component, const char* pinName) {
        if (pinName[0] == '\0') return;
        const PIN* pin = CMPNT_FindPin(component, pinName);
        if (pin == nullptr || pin->model_name[0] == '\0') return;
        names_.insert(pin->model_name);
        const MSEL* selector = MSEL_Find(ibis->selectors, pin->model_name);
        // Each selector's models are taken once, however many pins name it.
        if (selector == nullptr || !followed_.insert(selector).second) return;
        for (const MSEL_ENTRY* entry = selector->models; entry != nullptr; entry = entry->next)
            names_.insert(entry->name);
    }

    std::unordered_set<std::string_view> names_;
    std::unordered_set<const MSEL*> followed_;
};

// Whether the listed model is differential; reports it when it is no
// [Model] of the file (it then counts as single-ended).
bool IsDifferential(const MSEL* selector, const MSEL_ENTRY* entry, MDL* models, const DifferentialUse& use) {
    if (CMN_IsNotReserved(entry->name) && !MDL_Exists(models, entry->name)) {
        MSG_Error(4024, entry->name, selector->name);
        return false;
    }
    MDL* model = MDL_Find(models, entry->name);
    if (model == nullptr) return false;
    if (use.Uses(model->name)) model->single_ended = 0;
    return model->single_ended == 0;
}

void CheckSelector(MSEL* selector, MDL* models, const DifferentialUse& use) {
    // Finding the model marks it referenced, as every lookup by name does.
    if (MDL_Exists(models, selector->name)) MSG_Error(4021, selector->name);
    bool firstDifferential = false;
    for (const MSEL_ENTRY* entry = selector->models; entry != nullptr; entry = entry->next) {
        const bool differential = IsDifferential(selector, entry, models, use);
        if (entry == selector->models)
            firstDifferential = differential;
        else if (differential != firstDifferential)
            differential ? MSG_Warning(4022, entry->name, selector->name)
                         : MSG_Warning(4023, entry->name, selector->name);
    }
    selector->single_ended = firstDifferential ? 0 : 1;
}

}  // namespace

void MSEL_CheckList(MSEL* list) {
    IBIS* ibis = nullptr;
    if (!IBIS_Current(&ibis)) return;
    const DifferentialUse use(ibis);
    for (MSEL* selector = list; selector != nullptr; selector = selector->next)
        CheckSelector(selector, ibis->models, use);
}
