// Waveforms: the closing checks, and the time points a composite current
// must share with its waveform.

#include <cmath>
#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"
#include "IbisParser/rng.h"
#include "IbisParser/rngp.h"
#include "IbisParser/wvfrm.h"

namespace {

// Times closer than this fraction of their size are the same time.
constexpr double kSameTime = 1e-6;


void CheckEndRowsForNA(const WVFRM& waveform, const char* label, int line) {
    const RNGP_TABLE& points = waveform.points;
    const RNGP* ends[2] = {&points.rows[0], &points.rows[points.count - 1]};
    const char* const endNames[2] = {"First", "Last"};
    bool columnUsed[3];
    for (int corner = RNG_TYP; corner <= RNG_MAX; ++corner)
        columnUsed[corner] = corner == RNG_TYP || RNGP_AnyGiven(&points, corner);
    for (int end = 0; end < 2; ++end)
        for (int corner = RNG_TYP; corner <= RNG_MAX; ++corner)
            if (columnUsed[corner] && ends[end]->state[corner] == CMN_OPT_NA)
                MSG_Error(2006, endNames[end], RNGP_ColumnName(corner), label, line);
}

// A pulse returns to where it started, and its offsets keep to one side of
// zero: below it never for the GND table, above it never for the POWER one.
void CheckPulseTable(const WVFRM& waveform, const char* label, int line) {
    const RNGP_TABLE& points = waveform.points;
    if (points.count == 0) return;
    const RNGP& first = points.rows[0];
    const RNGP& last = points.rows[points.count - 1];
    for (int corner = RNG_TYP; corner <= RNG_MAX; ++corner)
        if (first.state[corner] == CMN_OPT_GIVEN && last.state[corner] == CMN_OPT_GIVEN &&
            first.value[corner] != last.value[corner])
            MSG_Error(2007, RNGP_ColumnName(corner), label, line);

    const bool gnd = std::strcmp(label, "GND Pulse Table") == 0;
    const bool power = std::strcmp(label, "POWER Pulse Table") == 0;
    if (!gnd && !power) return;
    for (int corner = RNG_TYP; corner <= RNG_MAX; ++corner) {
        for (int i = 0; i < points.count; ++i) {
            const RNGP& row = points.rows[i];
            if (row.state[corner] != CMN_OPT_GIVEN) continue;
            if (gnd && row.value[corner] < 0.0) {
                MSG_Warning(2008, label, RNGP_ColumnName(corner), line);
                break;
            }
            if (power && row.value[corner] > 0.0) {
                MSG_Warning(2009, label, RNGP_ColumnName(corner), line);
                break;
            }
        }
    }
}

bool SameTimePoints(const RNGP_TABLE& a, const RNGP_TABLE& b) {
    if (a.count != b.count) return false;
    for (int i = 0; i < a.count; ++i) {
        if (a.rows[i].xState != b.rows[i].xState) return false;
        if (a.rows[i].xState != CMN_OPT_GIVEN) continue;
        const double scale = std::fmax(std::fabs(a.rows[i].x), std::fabs(b.rows[i].x));
        if (std::fabs(a.rows[i].x - b.rows[i].x) > kSameTime * scale) return false;
    }
    return true;
}

}  // namespace

void WVFRM_End(const char* label, int kind) {
    MSG_REQUIRE(label != nullptr, "IbisParser\\wvfrm");
    WVFRM* waveform = WVFRM_Current();
    if (waveform == nullptr) return;
    WVFRM_ClearCurrent();
    RNGP_FinishAppending(&waveform->points);
    const int line = static_cast<int>(waveform->startLine);
    if (kind == WVFRM_KIND_MODEL) {
        if (!waveform->fixtureGiven[WVFRM_R_FIXTURE]) MSG_Error(2004, "R_fixture", label, line);
        if (!waveform->fixtureGiven[WVFRM_V_FIXTURE]) MSG_Error(2004, "V_fixture", label, line);
    }
    if (waveform->points.count < 2)
        MSG_Error(2005, label, line);
    else
        CheckEndRowsForNA(*waveform, label, line);
    if (kind == WVFRM_KIND_PULSE) CheckPulseTable(*waveform, label, line);
}

void WVFRM_CheckCompositeTimes(const char* modelName, const WVFRM_LIST* list, const char* kindWord) {
    MSG_REQUIRE(modelName != nullptr && list != nullptr && kindWord != nullptr, "IbisParser\\wvfrm");
    int number = 1;
    for (const WVFRM* waveform = list->head; waveform != nullptr; waveform = waveform->next, ++number)
        if (waveform->composite != nullptr && !SameTimePoints(waveform->points, waveform->composite->points))
            MSG_Error(2021, modelName, kindWord, number);
}
