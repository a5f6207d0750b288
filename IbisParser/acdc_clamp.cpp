// The clamps of a model together with those of its dynamic-clamp
// submodels, in the modes the submodels are added for, must stay monotonic.

#include "IbisParser/acdc.h"
#include "IbisParser/acdc_internal.h"
#include "IbisParser/acdc_types.h"
#include "IbisParser/cmn.h"
#include "IbisParser/ibis.h"
#include "IbisParser/mdl.h"
#include "IbisParser/rng.h"
#include "IbisParser/submdl.h"

namespace {

bool NonDriving(int type) {
    return type == MDL_TYPE_INPUT || type == MDL_TYPE_IO || type == MDL_TYPE_IO_OPEN_DRAIN ||
           type == MDL_TYPE_IO_OPEN_SINK || type == MDL_TYPE_IO_OPEN_SOURCE || type == MDL_TYPE_IO_ECL ||
           type == MDL_TYPE_INPUT_ECL || type == MDL_TYPE_TERMINATOR;
}

bool Driving(int type) {
    return type == MDL_TYPE_OUTPUT || type == MDL_TYPE_IO || type == MDL_TYPE_3STATE || ACDC_IsOpenDrain(type) ||
           ACDC_IsOpenSource(type) || type == MDL_TYPE_OUTPUT_ECL || type == MDL_TYPE_IO_ECL ||
           type == MDL_TYPE_3STATE_ECL;
}

double CornerOrTyp(const RNG* range, int corner) {
    if (range == nullptr) return 0.0;
    return range->state[corner] == CMN_OPT_GIVEN ? range->value[corner] : range->value[RNG_TYP];
}

// Adds `table` moved by `sign` and `reference` to *sum.
void AddTable(ACDC_CURVE* sum, const CRV* table, int corner, double sign, double reference) {
    if (table == nullptr || !sum->valid) return;
    ACDC_CURVE moved = ACDC_CopyTable(table, corner, sign, reference);
    ACDC_CURVE next = ACDC_Sum(sum, &moved);
    ACDC_Release(&moved);
    ACDC_Release(sum);
    *sum = next;
}

void CheckMode(const MDL* model, const SUBMDL* submodels, int corner, const ACDC_CURVE* gnd,
               const ACDC_CURVE* power, bool drivingMode) {
    ACDC_CURVE gndCopy = *gnd;
    ACDC_CURVE powerCopy = *power;
    ACDC_CURVE sum = ACDC_Sum(&gndCopy, &powerCopy);
    double gndRef = CornerOrTyp(model->gndClampReference, corner);
    double powerRef = CornerOrTyp(model->powerClampReference != nullptr ? model->powerClampReference
                                                                        : model->voltageRange,
                                  corner);
    for (const MDL_ADDSUB* entry = model->add_submodels; entry != nullptr; entry = entry->next) {
        bool modeFits = entry->mode == MDL_MODE_ALL ||
                        entry->mode == (drivingMode ? MDL_MODE_DRIVING : MDL_MODE_NON_DRIVING);
        if (!modeFits) continue;
        const SUBMDL* submodel = SUBMDL_Find(submodels, entry->name);
        if (submodel == nullptr || submodel->submodel_type != SUBMDL_TYPE_DYNAMIC_CLAMP) continue;
        AddTable(&sum, submodel->gndClamp, corner, 1.0, gndRef);
        AddTable(&sum, submodel->powerClamp, corner, -1.0, powerRef);
    }
    ACDC_CheckMonotonic(&sum,
                        drivingMode ? "Combined Clamp in Driving Mode for Model"
                                    : "Combined Clamp in Non Driving Mode for Model",
                        model->name, corner);
    ACDC_Release(&sum);
}

void CheckModelClamps(const MDL* model, const SUBMDL* submodels) {
    int type = model->model_type;
    for (int corner = RNG_TYP; corner <= RNG_MAX; ++corner) {
        if (model->gndClamp != nullptr && model->powerClamp != nullptr &&
            ACDC_GivenRows(model->gndClamp, corner) < 2 && ACDC_GivenRows(model->powerClamp, corner) < 2) {
            continue;
        }
        double gndRef = CornerOrTyp(model->gndClampReference, corner);
        double powerRef = CornerOrTyp(model->powerClampReference != nullptr ? model->powerClampReference
                                                                            : model->voltageRange,
                                      corner);
        ACDC_CURVE gnd = ACDC_CopyTable(model->gndClamp, corner, 1.0, gndRef);
        ACDC_CURVE power = ACDC_CopyTable(model->powerClamp, corner, -1.0, powerRef);
        if (NonDriving(type)) CheckMode(model, submodels, corner, &gnd, &power, false);
        if (Driving(type)) CheckMode(model, submodels, corner, &gnd, &power, true);
        ACDC_Release(&gnd);
        ACDC_Release(&power);
    }
}

}  // namespace

void ACDC_CheckCombinedClamps(MDL* models) {
    const SUBMDL* submodels = nullptr;
    IBIS* ibis = nullptr;
    if (IBIS_Current(&ibis) && ibis != nullptr) submodels = ibis->submodels;
    for (const MDL* model = models; model != nullptr; model = model->next) {
        if (model->add_submodels != nullptr) CheckModelClamps(model, submodels);
    }
}
