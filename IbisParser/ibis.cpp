// The stack of IBIS records and their lists.

#include "IbisParser/ibis.h"

#include "IbisParser/circuit.h"
#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt.h"
#include "IbisParser/ebdmdl.h"
#include "IbisParser/hdr.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msel.h"
#include "IbisParser/msg.h"
#include "IbisParser/pkgmdl.h"
#include "IbisParser/submdl.h"
#include "IbisParser/testdata.h"
#include "IbisParser/testload.h"

namespace {

IBIS* g_top = nullptr;

template <class T>
void PutInFront(T** list, T* element) {
    MSG_REQUIRE(list != nullptr && element != nullptr, "IbisParser\\ibis");
    element->next = *list;
    *list = element;
}

}  // namespace

int IBIS_New() {
    IBIS* record = nullptr;
    if (!CMN_Calloc(&record, sizeof *record)) {
        MSG_Error(MSG_IBIS_UNABLE_TO_CREATE);
        return 0;
    }
    record->previous = g_top;
    g_top = record;
    return 1;
}

int IBIS_Current(IBIS** place) {
    MSG_REQUIRE(place != nullptr, "IbisParser\\ibis");
    *place = g_top;
    return g_top != nullptr;
}

void IBIS_Free(IBIS* record) {
    if (record == nullptr) return;
    // Usually the top of the stack; otherwise the record above it is relinked.
    if (g_top == record) {
        g_top = record->previous;
    } else {
        for (IBIS* above = g_top; above != nullptr; above = above->previous) {
            if (above->previous == record) {
                above->previous = record->previous;
                break;
            }
        }
    }
    HDR_FreeList(record->headers);
    CMPNT_FreeList(record->components);
    MDL_FreeList(record->models);
    CIRCUIT_FreeList(record->circuits);
    SUBMDL_FreeList(record->submodels);
    PKGMDL_FreeList(record->packageModels);
    EBDMDL_FreeList(record->boards);
    MSEL_FreeList(record->selectors);
    TESTDATA_FreeList(record->testData);
    TESTLOAD_FreeList(record->testLoads);
    CMN_Free(record);
}

void IBIS_End() {
    IBIS_Free(g_top);
    MSG_Summary();
}

HDR* IBIS_GetHeaders(const IBIS* ibis) { return ibis->headers; }
CMPNT* IBIS_GetComponents(const IBIS* ibis) { return ibis->components; }
MDL* IBIS_GetModels(const IBIS* ibis) { return ibis->models; }
CIRCUIT* IBIS_GetCircuits(const IBIS* ibis) { return ibis->circuits; }
SUBMDL* IBIS_GetSubmodels(const IBIS* ibis) { return ibis->submodels; }
PKGMDL* IBIS_GetPackageModels(const IBIS* ibis) { return ibis->packageModels; }
EBDMDL* IBIS_GetBoards(const IBIS* ibis) { return ibis->boards; }
MSEL* IBIS_GetSelectors(const IBIS* ibis) { return ibis->selectors; }
TESTDATA* IBIS_GetTestData(const IBIS* ibis) { return ibis->testData; }
TESTLOAD* IBIS_GetTestLoads(const IBIS* ibis) { return ibis->testLoads; }

void IBIS_AddHeader(IBIS* ibis, HDR* header) { PutInFront(&ibis->headers, header); }
void IBIS_AddComponent(IBIS* ibis, CMPNT* component) { PutInFront(&ibis->components, component); }
void IBIS_AddModel(IBIS* ibis, MDL* model) { PutInFront(&ibis->models, model); }
void IBIS_AddCircuit(IBIS* ibis, CIRCUIT* circuit) { PutInFront(&ibis->circuits, circuit); }
void IBIS_AddSubmodel(IBIS* ibis, SUBMDL* submodel) { PutInFront(&ibis->submodels, submodel); }
void IBIS_AddPackageModel(IBIS* ibis, PKGMDL* packageModel) { PutInFront(&ibis->packageModels, packageModel); }
void IBIS_AddBoard(IBIS* ibis, EBDMDL* board) { PutInFront(&ibis->boards, board); }
void IBIS_AddSelector(IBIS* ibis, MSEL* selector) { PutInFront(&ibis->selectors, selector); }
void IBIS_AddTestData(IBIS* ibis, TESTDATA* testData) { PutInFront(&ibis->testData, testData); }
void IBIS_AddTestLoad(IBIS* ibis, TESTLOAD* testLoad) { PutInFront(&ibis->testLoads, testLoad); }
