// [Model]: what the model checks need from records that other sections own.
// [Receiver Thresholds] and [Model Spec] keep their records in the model.
// Submodels are found by the name their own section keeps.

#include "IbisParser/mdl_internal.h"
#include "IbisParser/submdl.h"
#include "IbisParser/mspec.h"
#include "IbisParser/rcvth.h"

const char* MDL_ReceiverReferenceSupply(const MDL* model) {
    return RCVTH_ReferenceSupply(model->receiverThresholds);
}

bool MDL_SpecGives(const MDL* model, const char* subParameter) {
    return MSPEC_Gives(model->modelSpec, subParameter);
}

const char* MDL_SubmodelName(const SUBMDL* submodel) { return submodel->name; }
