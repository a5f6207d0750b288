// I-V tables: the closing checks of a table.

#include <cmath>

#include "IbisParser/cmn.h"
#include "IbisParser/crv_internal.h"
#include "IbisParser/mdl_types.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse_keywords.h"
#include "IbisParser/rng.h"
#include "IbisParser/rngp.h"

namespace {

// Values within this distance of zero count as a zero crossing.
constexpr double kZeroBand = 1e-6;


// NA in the first or last row: typ always counts, min and max only when
// some row of the table gives that column.
void CheckEndRowsForNA(const CRV& table, const char* label) {
    const RNGP_TABLE& points = table.points;
    const int line = static_cast<int>(table.startLine);
    const RNGP* ends[2] = {&points.rows[0], &points.rows[points.count - 1]};
    const char* const endNames[2] = {"First", "Last"};
    bool columnUsed[3];
    for (int corner = RNG_TYP; corner <= RNG_MAX; ++corner)
        columnUsed[corner] = corner == RNG_TYP || RNGP_AnyGiven(&points, corner);
    for (int end = 0; end < 2; ++end)
        for (int corner = RNG_TYP; corner <= RNG_MAX; ++corner)
            if (columnUsed[corner] && ends[end]->state[corner] == CMN_OPT_NA)
                MSG_Error(1109, endNames[end], RNGP_ColumnName(corner), label, line);
}

// +1 when the table should carry more current at its highest voltage than at
// its lowest, -1 for the reverse, 0 when the kind is not checked.
int ExpectedDirection(int keyword, int modelType) {
    const bool series = modelType == MDL_TYPE_SERIES || modelType == MDL_TYPE_SERIES_SWITCH;
    switch (keyword) {
        case KW::ISSO_PD:
        case KW::ISSO_PU: return 0;
        case KW::GND_CLAMP: return 1;
        case KW::PULLDOWN: return MDL_IsEclType(modelType) ? -1 : 1;
        case KW::SERIES_MOSFET: return series ? 1 : -1;
        case KW::SERIES_CURRENT: return series ? 0 : -1;
        default: return -1;
    }
}

void CheckDirection(const CRV& table, const char* ownerName, int modelType, int keyword, const char* label,
                    const char* ownerWord) {
    if (!MDL_IsKnownType(modelType)) return;
    const CRV_EDGE& low = table.lowest;
    const CRV_EDGE& high = table.highest;
    if (!low.known || !high.known || low.typState != CMN_OPT_GIVEN || high.typState != CMN_OPT_GIVEN) return;
    const int expected = ExpectedDirection(keyword, modelType);
    if (expected > 0 && low.typ > high.typ) MSG_Warning(1111, ownerWord, ownerName, label);
    if (expected < 0 && low.typ < high.typ) MSG_Warning(1112, ownerWord, ownerName, label);
}

// A clamp's current must change sign somewhere (or touch zero) in each
// column that both end rows give.
void CheckZeroCrossing(const CRV& table, const char* ownerName, const char* label, const char* ownerWord) {
    const RNGP_TABLE& points = table.points;
    if (points.count == 0) return;
    static const int kMessages[3] = {1113, 1114, 1115};
    for (int corner = RNG_TYP; corner <= RNG_MAX; ++corner) {
        if (points.rows[0].state[corner] != CMN_OPT_GIVEN ||
            points.rows[points.count - 1].state[corner] != CMN_OPT_GIVEN)
            continue;
        double smallest = points.rows[0].value[corner];
        double largest = smallest;
        bool touchesZero = false;
        for (int i = 0; i < points.count; ++i) {
            if (points.rows[i].state[corner] != CMN_OPT_GIVEN) continue;
            const double value = points.rows[i].value[corner];
            if (std::fabs(value) < kZeroBand) touchesZero = true;
            if (value < smallest) smallest = value;
            if (value > largest) largest = value;
        }
        if (touchesZero) continue;
        if ((smallest < 0.0 && largest < 0.0) || (smallest > 0.0 && largest > 0.0))
            MSG_Warning(kMessages[corner], ownerWord, ownerName, label);
    }
}

}  // namespace

void CRV_End(const char* ownerName, int modelType, int keyword, CRV* table, const char* label, const char* ownerWord) {
    MSG_REQUIRE(ownerName != nullptr && table != nullptr && label != nullptr && ownerWord != nullptr, CRV_MODULE);
    RNGP_FinishAppending(&table->points);
    if (table->points.count < 2)
        MSG_Error(1108, label, static_cast<int>(table->startLine));
    else
        CheckEndRowsForNA(*table, label);
    CheckDirection(*table, ownerName, modelType, keyword, label, ownerWord);
    if (keyword == KW::GND_CLAMP || keyword == KW::POWER_CLAMP) CheckZeroCrossing(*table, ownerName, label, ownerWord);
}
