// I-V tables: starting a table and reading its rows.

#include <cmath>

#include "IbisParser/cmn.h"
#include "IbisParser/crv_internal.h"
#include "IbisParser/msg.h"
#include "IbisParser/rng.h"

namespace {

// Rows an I-V table may hold unless the limit is lifted.
constexpr int kMaxPoints = 100;

int g_unlimitedPoints = 0;

const char* const kColumnNames[4] = {"Voltage", "Typical", "Minimum", "Maximum"};

// Feeds one given value to a column's tracker; notes the first move
// against the direction the column took.
void Track(CRV_TRACKER* tracker, double value, const char* label, const char* column) {
    switch (tracker->state) {
        case 0:
            tracker->state = 1;
            tracker->direction = 0;
            break;
        case 1:
            if (tracker->direction == 0) {
                if (value != tracker->last) tracker->direction = value > tracker->last ? 1 : -1;
            } else if ((tracker->direction > 0 && value < tracker->last) ||
                       (tracker->direction < 0 && value > tracker->last)) {
                MSG_NoteLine(1110, label, column);
                tracker->state = 2;
            }
            break;
        default: return;  // reported once already
    }
    tracker->last = value;
}

// Whether `point` should replace the kept end row: it lies further out, or
// at the same voltage while the kept row has no typical current.
bool Replaces(const CRV_EDGE& edge, const RNGP& point, bool lower) {
    if (!edge.known) return true;
    if (point.x == edge.voltage) return edge.typState != CMN_OPT_GIVEN;
    return lower ? point.x < edge.voltage : point.x > edge.voltage;
}

void Keep(CRV_EDGE* edge, const RNGP& point) {
    edge->voltage = point.x;
    edge->typ = point.value[RNG_TYP];
    edge->typState = point.state[RNG_TYP];
    edge->known = 1;
}

}  // namespace

int CRV_SetUnlimitedPoints(int on) {
    g_unlimitedPoints = on ? 1 : 0;
    return g_unlimitedPoints;
}

CRV* CRV_NewTable() {
    CRV* table = nullptr;
    if (!CMN_Calloc(&table, sizeof *table)) {
        MSG_Bug(1908, CRV_MODULE, __LINE__);
        return nullptr;
    }
    table->startLine = MSG_GetCurrentLine();
    return table;
}

int CRV_Start(const char* line, CRV** slot, const char* label) {
    MSG_REQUIRE(line != nullptr && slot != nullptr && label != nullptr, CRV_MODULE);
    if (*slot != nullptr) {
        MSG_ErrorLine(1100, label);
        CRV_Free(*slot);
        *slot = nullptr;
    }
    CRV* table = CRV_NewTable();
    if (table == nullptr) return 0;
    *slot = table;
    const char* rest = RNGP_AfterKeyword(line);
    const int words = rest != nullptr ? RNGP_CountWords(rest) : 0;
    if (words > 0) MSG_ErrorLine(1104, words + 1, label, 1);
    return 1;
}

void CRV_Row(const char* line, CRV* table, const char* label) {
    MSG_REQUIRE(line != nullptr && table != nullptr && label != nullptr, CRV_MODULE);
    RNGP point;
    if (!RNGP_ReadRow(line, label, "Voltage", &point)) return;
    const int count = RNGP_Append(&table->points, &point, 1);
    if (count == 0) return;

    if (point.xState == CMN_OPT_GIVEN) Track(&table->trackers[0], point.x, label, kColumnNames[0]);
    for (int corner = RNG_TYP; corner <= RNG_MAX; ++corner)
        if (point.state[corner] == CMN_OPT_GIVEN)
            Track(&table->trackers[corner + 1], point.value[corner], label, kColumnNames[corner + 1]);

    if (point.xState == CMN_OPT_NA) {
        MSG_ErrorLine(1106);
    } else if (point.xState == CMN_OPT_GIVEN) {
        // A row that becomes the lowest-voltage row is not weighed as the
        // highest as well: a table listed from the highest voltage down keeps
        // no highest row, and its current direction goes unchecked.
        if (Replaces(table->lowest, point, true))
            Keep(&table->lowest, point);
        else if (Replaces(table->highest, point, false))
            Keep(&table->highest, point);
    }

    if (count == kMaxPoints + 1 && !g_unlimitedPoints) MSG_ErrorLine(1107, kMaxPoints, label);
}

void CRV_Free(CRV* table) {
    if (table == nullptr) return;
    RNGP_FreeRows(&table->points);
    CMN_Free(table);
}

void CRV_FreeList(CRV* list) {
    while (list != nullptr) {
        CRV* next = list->next;
        CRV_Free(list);
        list = next;
    }
}
