// Working I-V curves: copies of tables on the absolute voltage axis, their
// sums, interpolation, the monotonic check and the load-line crossing.

#include <cmath>
#include <cstdlib>

#include "IbisParser/acdc_internal.h"
#include "IbisParser/cmn.h"
#include "IbisParser/crv.h"
#include "IbisParser/msg.h"

namespace {

// Voltages closer than this are one voltage in a sum.
constexpr double kMergeTolerance = 1e-5;
// Nudge applied to an interval of zero width before dividing by it.
constexpr double kZeroWidthNudge = 1e-5;

// The points of a curve that carry a value, packed, with the curve's
// direction and a cursor: queries that move along the curve's direction
// resume where the last one stopped, so a walk over a curve stays linear.
struct Probe {
    const ACDC_POINT* points;
    int count;
    int direction;  // +1 increasing, -1 decreasing, 0 none
    int cursor;
    ACDC_POINT* owned;  // the packed copy, when some points carry no value
};

int DirectionOf(const ACDC_POINT* points, int count) {
    for (int k = 1; k < count; ++k) {
        if (points[k].voltage > points[k - 1].voltage) return 1;
        if (points[k].voltage < points[k - 1].voltage) return -1;
    }
    return 0;
}

Probe MakeProbe(const ACDC_CURVE* curve) {
    Probe probe{nullptr, 0, 0, 0, nullptr};
    if (curve->count <= 0) return probe;
    int given = 0;
    for (int k = 0; k < curve->count; ++k) given += curve->points[k].given ? 1 : 0;
    if (given == curve->count) {
        // Every point carries a value, as nearly always: the curve itself
        // serves, with no copy.
        probe.points = curve->points;
        probe.count = curve->count;
    } else {
        probe.owned = static_cast<ACDC_POINT*>(std::malloc(sizeof(ACDC_POINT) * curve->count));
        if (probe.owned == nullptr) return probe;
        for (int k = 0; k < curve->count; ++k) {
            if (curve->points[k].given) probe.owned[probe.count++] = curve->points[k];
        }
        probe.points = probe.owned;
    }
    probe.direction = DirectionOf(probe.points, probe.count);
    return probe;
}

void FreeProbe(Probe* probe) {
    std::free(probe->owned);
    probe->owned = nullptr;
    probe->points = nullptr;
    probe->count = 0;
}

bool Reaches(const Probe& probe, int k, double x) {
    return probe.direction > 0 ? probe.points[k].voltage >= x : probe.points[k].voltage <= x;
}

int ProbeAt(Probe* probe, double x, double* current) {
    if (probe->direction == 0 || probe->count < 2) return 0;
    int n = probe->count;
    // The cursor is only a valid start when no point before it reaches x.
    if (probe->cursor > 0 && Reaches(*probe, probe->cursor - 1, x)) probe->cursor = 0;
    int k = probe->cursor;
    while (k < n && !Reaches(*probe, k, x)) ++k;
    probe->cursor = k;
    int first;
    if (k == 0) {
        first = 0;
    } else if (k == n) {
        first = n - 2;
    } else {
        first = k - 1;
        if (probe->points[first].voltage == probe->points[k].voltage && first > 0) --first;
    }
    double x1 = probe->points[first].voltage;
    double x2 = probe->points[first + 1].voltage;
    double i1 = probe->points[first].current;
    double i2 = probe->points[first + 1].current;
    if (x1 == x2) x1 += probe->direction > 0 ? kZeroWidthNudge : -kZeroWidthNudge;
    *current = i1 + (i2 - i1) * (x - x1) / (x2 - x1);
    return 1;
}

ACDC_CURVE NewCurve(int capacity) {
    ACDC_CURVE curve{nullptr, 0, 1};
    if (capacity > 0) {
        curve.points = static_cast<ACDC_POINT*>(std::malloc(sizeof(ACDC_POINT) * capacity));
        if (curve.points == nullptr) curve.valid = 0;
    }
    return curve;
}

void Reverse(ACDC_CURVE* curve) {
    for (int a = 0, b = curve->count - 1; a < b; ++a, --b) {
        ACDC_POINT swap = curve->points[a];
        curve->points[a] = curve->points[b];
        curve->points[b] = swap;
    }
}

ACDC_CURVE Copy(const ACDC_CURVE* source) {
    ACDC_CURVE copy = NewCurve(source->count);
    if (!copy.valid) return copy;
    for (int k = 0; k < source->count; ++k) copy.points[k] = source->points[k];
    copy.count = source->count;
    return copy;
}

}  // namespace

const char* ACDC_CornerWord(int corner) {
    static const char* const words[3] = {"Typical", "Minimum", "Maximum"};
    return words[corner];
}

const char* ACDC_CornerTag(int corner) {
    static const char* const tags[3] = {"TYP", "MIN", "MAX"};
    return tags[corner];
}

int ACDC_GivenRows(const CRV* table, int corner) {
    if (table == nullptr) return 0;
    int given = 0;
    for (int k = 0; k < table->points.count; ++k) {
        if (table->points.rows[k].state[corner] == CMN_OPT_GIVEN) ++given;
    }
    return given;
}

int ACDC_GivenPoints(const ACDC_CURVE* curve) {
    int given = 0;
    for (int k = 0; k < curve->count; ++k) given += curve->points[k].given ? 1 : 0;
    return given;
}

int ACDC_CurrentAt(const ACDC_CURVE* curve, double x, double* current) {
    Probe probe = MakeProbe(curve);
    int found = ProbeAt(&probe, x, current);
    FreeProbe(&probe);
    return found;
}

ACDC_CURVE ACDC_CopyTable(const CRV* table, int corner, double sign, double reference) {
    if (table == nullptr) return NewCurve(0);
    const RNGP_TABLE& rows = table->points;
    // The table's own voltages with the corner's values, as stored.
    ACDC_CURVE stored = NewCurve(rows.count);
    if (!stored.valid) return stored;
    for (int k = 0; k < rows.count; ++k) {
        if (rows.rows[k].xState != CMN_OPT_GIVEN) continue;
        ACDC_POINT& point = stored.points[stored.count++];
        point.voltage = rows.rows[k].x;
        point.current = rows.rows[k].value[corner];
        point.given = rows.rows[k].state[corner] == CMN_OPT_GIVEN;
    }
    ACDC_CURVE moved = NewCurve(stored.count);
    Probe probe = MakeProbe(&stored);
    if (moved.valid && (stored.count == 0 || probe.points != nullptr)) {
        for (int k = 0; k < stored.count; ++k) {
            ACDC_POINT& point = moved.points[moved.count++];
            point.voltage = sign * stored.points[k].voltage + reference;
            point.given = ProbeAt(&probe, stored.points[k].voltage, &point.current);
            if (!point.given) point.current = 0.0;
        }
    } else {
        moved.valid = 0;
    }
    FreeProbe(&probe);
    ACDC_Release(&stored);
    return moved;
}

ACDC_CURVE ACDC_Sum(ACDC_CURVE* a, ACDC_CURVE* b) {
    if (!a->valid || !b->valid) return ACDC_CURVE{nullptr, 0, 0};
    if (a->count == 0) return Copy(b);
    if (b->count == 0) return Copy(a);
    ACDC_CURVE sum = NewCurve(a->count + b->count);
    if (!sum.valid) {
        MSG_Bug(3300);
        return sum;
    }
    // Both inputs are walked upwards; a falling one is turned round for the
    // walk and put back afterwards.
    bool reverseA = DirectionOf(a->points, a->count) < 0;
    bool reverseB = DirectionOf(b->points, b->count) < 0;
    if (reverseA) Reverse(a);
    if (reverseB) Reverse(b);
    Probe probeA = MakeProbe(a);
    Probe probeB = MakeProbe(b);
    if ((probeA.points == nullptr) || (probeB.points == nullptr)) {
        sum.valid = 0;
    } else {
        int ia = 0;
        int ib = 0;
        while (ia < a->count || ib < b->count) {
            double x;
            if (ib >= b->count || (ia < a->count && a->points[ia].voltage <= b->points[ib].voltage)) {
                x = a->points[ia++].voltage;
            } else {
                x = b->points[ib++].voltage;
            }
            if (sum.count > 0 && std::fabs(x - sum.points[sum.count - 1].voltage) <= kMergeTolerance) continue;
            double fromA = 0.0;
            double fromB = 0.0;
            int givenA = ProbeAt(&probeA, x, &fromA);
            int givenB = ProbeAt(&probeB, x, &fromB);
            ACDC_POINT& point = sum.points[sum.count++];
            point.voltage = x;
            point.current = (givenA ? fromA : 0.0) + (givenB ? fromB : 0.0);
            point.given = givenA || givenB;
        }
    }
    FreeProbe(&probeA);
    FreeProbe(&probeB);
    if (reverseA) Reverse(a);
    if (reverseB) Reverse(b);
    if (!sum.valid) ACDC_Release(&sum);
    return sum;
}

void ACDC_Release(ACDC_CURVE* curve) {
    std::free(curve->points);
    curve->points = nullptr;
    curve->count = 0;
}

void ACDC_CheckMonotonic(const ACDC_CURVE* curve, const char* label, const char* modelName, int corner) {
    if (!curve->valid || ACDC_GivenPoints(curve) < 2) return;
    CRV_TRACKER tracker{0.0, 0, 0};
    for (int k = 0; k < curve->count; ++k) {
        if (!curve->points[k].given) continue;
        double value = curve->points[k].current;
        if (tracker.state == 0) {
            tracker.last = value;
            tracker.state = 1;
            continue;
        }
        if (value == tracker.last) continue;
        signed char step = value > tracker.last ? 1 : -1;
        if (tracker.direction == 0) {
            tracker.direction = step;
        } else if (step != tracker.direction) {
            MSG_Warning(1509, label, modelName, ACDC_CornerWord(corner));
            return;
        }
        tracker.last = value;
    }
}

int ACDC_LoadLine(const ACDC_CURVE* curve, double r, double v, double guess, double* voltage) {
    if (!curve->valid || ACDC_GivenPoints(curve) < 2) return 0;
    double g = r < 1e-32 ? 1e32 : 1.0 / r;
    bool taken = false;
    bool takenWithin = false;
    double best = 0.0;
    double last = 0.0;
    bool firstSegment = true;
    const ACDC_POINT* previous = nullptr;
    for (int k = 0; k < curve->count; ++k) {
        const ACDC_POINT* point = &curve->points[k];
        if (!point->given) continue;
        if (previous == nullptr) {
            previous = point;
            continue;
        }
        double x1 = previous->voltage;
        double x2 = point->voltage;
        double i1 = previous->current;
        double i2 = point->current;
        double width = x2 - x1;
        double slope = std::fabs(width) < 1e-32 ? 1e32 : (i2 - i1) / width;
        if (std::fabs(-g - slope) < 1e-32) return 0;
        double crossing = (i1 - x1 * slope - g * v) / (-g - slope);
        last = crossing;
        if (firstSegment && crossing <= x1) {
            best = crossing;
            taken = true;
        }
        // A curve copied from a table that runs downwards keeps that order.
        double lowEnd = x1 < x2 ? x1 : x2;
        double highEnd = x1 < x2 ? x2 : x1;
        if (crossing >= lowEnd - 1e-6 && crossing <= highEnd + 1e-6) {
            if (!takenWithin || std::fabs(crossing - guess) < std::fabs(best - guess)) {
                best = crossing;
                taken = true;
                takenWithin = true;
            }
        }
        firstSegment = false;
        previous = point;
    }
    if (previous == nullptr) return 0;
    *voltage = taken ? best : last;
    return 1;
}
