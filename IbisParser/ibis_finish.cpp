// The closing checks that run once a file has been read to its end.

#include "IbisParser/acdc.h"
#include "IbisParser/algmod.h"
#include "IbisParser/cmpnt.h"
#include "IbisParser/drvsh.h"
#include "IbisParser/ebdmdl.h"
#include "IbisParser/ibis.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msel.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"
#include "IbisParser/pkgmdl.h"
#include "IbisParser/rcvth.h"
#include "IbisParser/submdl.h"
#include "IbisParser/testdata.h"
#include "IbisParser/testload.h"

namespace {

// The order matters: selectors are checked before any component uses them,
// and the models' last checks see what the submodel checks concluded.
void FinishIbsFile(IBIS* ibis) {
    if (MDL* models = ibis->models) {
        RCVTH_CheckModels(models);
        ACDC_CheckModels(models);
        ACDC_SanityCheckModels(models);
        DRVSH_CheckModels(models);
        ALGMOD_CheckModelFiles(models);
    }
    if (ibis->selectors != nullptr) MSEL_CheckList(ibis->selectors);
    if (ibis->components != nullptr) {
        ACDC_SanityCheckComponents(ibis->components);
        CMPNT_CheckList(ibis->components, ibis->circuits, ibis->models);
    } else {
        MSG_Error(MSG_IBIS_NO_COMPONENT);
    }
    if (ibis->packageModels != nullptr) PKGMDL_CheckList(ibis->packageModels);
    if (ibis->testData != nullptr) TESTDATA_CheckList(ibis->testData);
    if (ibis->testLoads != nullptr) TESTLOAD_CheckList(ibis->testLoads);
    if (ibis->submodels != nullptr) {
        SUBMDL_CheckReferences(ibis->submodels, ibis->models);
        ACDC_CheckSubmodelRamps(ibis->submodels);
        ACDC_CheckCombinedClamps(ibis->models);
    }
    if (ibis->models != nullptr) MDL_CheckFinal(ibis->models, ibis->submodels);
}

}  // namespace

void IBIS_Finish(int kind, int readResult) {
    IBIS* ibis = nullptr;
    if (!IBIS_Current(&ibis)) return;
    switch (kind) {
        case PARSE_KIND_IBS: FinishIbsFile(ibis); break;
        case PARSE_KIND_AMI: ALGMOD_CheckAmiFile(); break;
        case PARSE_KIND_PKG:
        case PARSE_KIND_EBD: EBDMDL_CheckList(ibis->boards, readResult); break;
        default: break;
    }
}
