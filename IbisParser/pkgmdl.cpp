// [Define Package Model]: records are opened and released; lines are accepted without
// findings until the section's checks are written.

#include "IbisParser/pkgmdl.h"

#include "IbisParser/cmn.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msg.h"

#define PKGMDL_MODULE "IbisParser\\pkgmdl"

int PKGMDL_Open() {
    IBIS* ibis = nullptr;
    if (!IBIS_Current(&ibis)) {
        MSG_BugLine(3400, PKGMDL_MODULE, __LINE__);
        return 0;
    }
    PKGMDL* record = nullptr;
    if (!CMN_Calloc(&record, sizeof *record)) {
        MSG_ErrorLine(3416);
        return 0;
    }
    IBIS_AddPackageModel(ibis, record);
    return 1;
}

int PKGMDL_HandleLine(int, int, char*) { return 1; }

void PKGMDL_KeywordChange(int) {}

void PKGMDL_CheckList(PKGMDL*) {}

void PKGMDL_FreeList(PKGMDL* list) {
    while (list != nullptr) {
        PKGMDL* next = list->next;
        CMN_Free(list);
        list = next;
    }
}
