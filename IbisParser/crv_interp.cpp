// I-V tables: currents between rows, for the consistency checks.

#include <cmath>

#include "IbisParser/cmn.h"
#include "IbisParser/crv_internal.h"
#include "IbisParser/msg.h"
#include "IbisParser/rng.h"

namespace {

// Rows this close to the row before (relative to their voltage) add no
// information and would only divide by almost nothing.
constexpr double kSameVoltage = 1e-6;

// A row's value in one column: the value itself, or for NA the row's typ.
bool ValueOf(const RNGP& row, int corner, double* value) {
    if (row.state[corner] == CMN_OPT_GIVEN) {
        *value = row.value[corner];
        return true;
    }
    if (row.state[corner] == CMN_OPT_NA && row.state[RNG_TYP] == CMN_OPT_GIVEN) {
        *value = row.value[RNG_TYP];
        return true;
    }
    return false;
}

int Interpolate(const RNGP& a, const RNGP& b, double x, CRV_AT* at) {
    const double span = b.x - a.x;
    const double t = span != 0.0 ? (x - a.x) / span : 0.0;
    int produced = 0;
    for (int corner = RNG_TYP; corner <= RNG_MAX; ++corner) {
        double ya = 0.0;
        double yb = 0.0;
        if (ValueOf(a, corner, &ya) && ValueOf(b, corner, &yb)) {
            at->value[corner] = ya + t * (yb - ya);
            at->given[corner] = 1;
            ++produced;
        }
    }
    return produced;
}

}  // namespace

int CRV_CurrentAt(const CRV* table, double x, CRV_AT* at) {
    MSG_REQUIRE(table != nullptr && at != nullptr, CRV_MODULE);
    *at = CRV_AT{};
    const RNGP* previous = nullptr;
    for (int i = 0; i < table->points.count; ++i) {
        const RNGP& row = table->points.rows[i];
        if (row.xState != CMN_OPT_GIVEN) continue;
        if (previous != nullptr) {
            if (std::fabs(row.x - previous->x) < kSameVoltage * std::fabs(row.x)) continue;
            const double low = std::fmin(previous->x, row.x);
            const double high = std::fmax(previous->x, row.x);
            if (x >= low && x <= high) return Interpolate(*previous, row, x, at);
        }
        previous = &row;
    }
    return 0;
}
