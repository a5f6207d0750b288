// [External Circuit]: records are opened and released; lines are accepted
// without findings until the section's checks are written.

#include "IbisParser/circuit.h"

#include "IbisParser/cmn.h"
#include "IbisParser/ibis.h"

int CIRCUIT_Open() {
    IBIS* ibis = nullptr;
    if (!IBIS_Current(&ibis)) return 0;
    CIRCUIT* record = nullptr;
    if (!CMN_Calloc(&record, sizeof *record)) return 0;
    IBIS_AddCircuit(ibis, record);
    return 1;
}

int CIRCUIT_HandleLine(int, int, char*) { return 1; }

void CIRCUIT_KeywordChange(int) {}

void CIRCUIT_FreeList(CIRCUIT* list) {
    while (list != nullptr) {
        CIRCUIT* next = list->next;
        CMN_Free(list);
        list = next;
    }
}
