// [Model]: what the model checks need from records that other sections own.
// Those sections ([Receiver Thresholds], [Model Spec], [Submodel]) do not
// keep their values yet; until they do, the answers here are "nothing", so
// the checks that depend on them stay silent rather than guess.

#include "IbisParser/mdl_internal.h"

const char* MDL_ReceiverReferenceSupply(const MDL*) { return nullptr; }

bool MDL_SpecGives(const MDL*, const char*) { return false; }

const char* MDL_SubmodelName(const SUBMDL*) { return nullptr; }
