// [Model Spec]: the checks across its values once the keyword ends:
// hysteresis thresholds, the signs of the overshoot and pulse limits, the
// values that need one another, and the edge-specific timing test loads.

#include <cstdio>
#include <initializer_list>

#include "IbisParser/cmn.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msg.h"
#include "IbisParser/mspec.h"
#include "IbisParser/rng.h"

namespace {

const char* const kCornerNames[3] = {"Typ", "Min", "Max"};  // indexed by RNG_Corner

// The value a range holds for one corner: a given value, or for the minimum
// and maximum an "NA" standing for the typical value. False when there is
// none to compare.
bool CornerValue(const RNG* range, int corner, double* value) {
    if (range == nullptr) return false;
    if (range->state[corner] == CMN_OPT_GIVEN) {
        *value = range->value[corner];
        return true;
    }
    if (corner != RNG_TYP && range->state[corner] == CMN_OPT_NA && range->state[RNG_TYP] == CMN_OPT_GIVEN) {
        *value = range->value[RNG_TYP];
        return true;
    }
    return false;
}

enum class Order { Greater, GreaterOrEqual, Less };

bool Holds(Order order, double a, double b) {
    switch (order) {
        case Order::Greater: return a > b;
        case Order::GreaterOrEqual: return a >= b;
        case Order::Less: return a < b;
    }
    return true;
}

class SpecChecks {
public:
    SpecChecks(MSPEC& specRecord, const MDL& model)
        : spec_(specRecord), model_(model), line_(static_cast<int>(specRecord.startLine)) {}

    void Run() {
        CheckHysteresis();
        CheckSigns();
        CheckDynamicOvershoot(MSPEC_D_OVERSHOOT_HIGH, MSPEC_S_OVERSHOOT_HIGH, Order::Greater, 3818);
        CheckDynamicOvershoot(MSPEC_D_OVERSHOOT_LOW, MSPEC_S_OVERSHOOT_LOW, Order::Less, 3817);
        CheckArea(MSPEC_D_OVERSHOOT_AREA_H, MSPEC_D_OVERSHOOT_AMP_H);
        CheckArea(MSPEC_D_OVERSHOOT_AREA_L, MSPEC_D_OVERSHOOT_AMP_L);
        if (OrphanOvershootTime()) MSG_Warning(3814, "D_overshoot_time", line_);
        if (OrphanPulseTime()) MSG_Warning(3814, "Pulse_time", line_);
        CheckPulse(MSPEC_PULSE_HIGH);
        CheckPulse(MSPEC_PULSE_LOW);
        CheckEdgePair(MSPEC_VMEAS, MSPEC_VMEAS_RISING, MSPEC_VMEAS_FALLING);
        CheckEdgePair(MSPEC_VREF, MSPEC_VREF_RISING, MSPEC_VREF_FALLING);
        CheckEdgePair(MSPEC_CREF, MSPEC_CREF_RISING, MSPEC_CREF_FALLING);
        CheckEdgePair(MSPEC_RREF, MSPEC_RREF_RISING, MSPEC_RREF_FALLING);
    }

private:
    bool Has(int code) const { return spec_.value[code] != nullptr; }
    const RNG* Get(int code) const { return spec_.value[code]; }

    // Warns (code `message`, naming both sides and the corner) for each
    // corner in which both ranges hold a value and `order` does not hold.
    void CompareCorners(const RNG* a, const char* aName, const RNG* b, const char* bName, Order order,
                        int message) const {
        for (int corner : {RNG_TYP, RNG_MIN, RNG_MAX}) {
            double x = 0.0;
            double y = 0.0;
            if (!CornerValue(a, corner, &x) || !CornerValue(b, corner, &y)) continue;
            if (!Holds(order, x, y))
                MSG_Warning(message, aName, kCornerNames[corner], bName, kCornerNames[corner], line_);
        }
    }

    // Against a single value of the model, such as its Vinl.
    void CompareWithValue(const RNG* a, const char* aName, double b, const char* bName, Order order,
                          int message) const {
        for (int corner : {RNG_TYP, RNG_MIN, RNG_MAX}) {
            double x = 0.0;
            if (CornerValue(a, corner, &x) && !Holds(order, x, b))
                MSG_Warning(message, aName, kCornerNames[corner], bName, kCornerNames[corner], line_);
        }
    }

    void CheckHysteresis() {
        const int given = Has(MSPEC_VINH_PLUS) + Has(MSPEC_VINH_MINUS) + Has(MSPEC_VINL_PLUS) + Has(MSPEC_VINL_MINUS);
        spec_.hysteresis = given == 4;
        if (given > 0 && given < 4) MSG_Warning(3809, "", line_);
        if (!spec_.hysteresis) return;
        CompareCorners(Get(MSPEC_VINH_PLUS), "Vinh+", Get(MSPEC_VINH_MINUS), "Vinh-", Order::GreaterOrEqual, 3820);
        CompareCorners(Get(MSPEC_VINL_PLUS), "Vinl+", Get(MSPEC_VINL_MINUS), "Vinl-", Order::GreaterOrEqual, 3820);
    }

    // One sign check over the corners, typical first, then maximum, minimum.
    void CheckSign(int code, bool mustNotBeNegative) const {
        const RNG* range = Get(code);
        if (range == nullptr) return;
        for (int corner : {RNG_TYP, RNG_MAX, RNG_MIN}) {
            double value = 0.0;
            if (!CornerValue(range, corner, &value)) continue;
            const bool wrong = mustNotBeNegative ? value < 0.0 : value > 0.0;
            if (!wrong) continue;
            char label[64];
            std::snprintf(label, sizeof label, "%s (%s)", MSPEC_Name(code), kCornerNames[corner]);
            MSG_Warning(mustNotBeNegative ? 3811 : 3810, label, line_);
        }
    }

    void CheckSigns() const {
        for (int code : {MSPEC_S_OVERSHOOT_HIGH, MSPEC_D_OVERSHOOT_HIGH, MSPEC_D_OVERSHOOT_AREA_H,
                         MSPEC_D_OVERSHOOT_AREA_L, MSPEC_D_OVERSHOOT_AMP_H, MSPEC_D_OVERSHOOT_AMP_L})
            CheckSign(code, true);
        // An orphan time gets its own warning instead.
        if (!OrphanOvershootTime()) CheckSign(MSPEC_D_OVERSHOOT_TIME, true);
        if (!OrphanPulseTime()) CheckSign(MSPEC_PULSE_TIME, true);
        CheckSign(MSPEC_S_OVERSHOOT_LOW, false);
        CheckSign(MSPEC_D_OVERSHOOT_LOW, false);
    }

    bool OrphanOvershootTime() const {
        return Has(MSPEC_D_OVERSHOOT_TIME) && !Has(MSPEC_D_OVERSHOOT_HIGH) && !Has(MSPEC_D_OVERSHOOT_LOW);
    }
    bool OrphanPulseTime() const { return Has(MSPEC_PULSE_TIME) && !Has(MSPEC_PULSE_HIGH) && !Has(MSPEC_PULSE_LOW); }

    void Requires(int code, int needed) const {
        if (!Has(needed)) MSG_Error(3812, MSPEC_Name(code), MSPEC_Name(needed), line_);
    }

    // A dynamic overshoot limit lies beyond the static one and needs the
    // time it may last.
    void CheckDynamicOvershoot(int dynamic, int stat, Order order, int message) const {
        if (!Has(dynamic)) return;
        if (Has(stat))
            CompareCorners(Get(dynamic), MSPEC_Name(dynamic), Get(stat), MSPEC_Name(stat), order, message);
        else
            Requires(dynamic, stat);
        Requires(dynamic, MSPEC_D_OVERSHOOT_TIME);
    }

    void CheckArea(int area, int amplitude) const {
        if (Has(area) && !Has(amplitude)) MSG_Error(3813, MSPEC_Name(amplitude), MSPEC_Name(area), line_);
    }

    // A pulse limit must stay clear of the input threshold on its side: the
    // hysteresis threshold when all four are given, else the threshold of
    // this record, else the model's own.
    void CheckPulse(int pulse) const {
        if (!Has(pulse)) return;
        const bool high = pulse == MSPEC_PULSE_HIGH;
        const char* name = MSPEC_Name(pulse);
        Requires(pulse, MSPEC_PULSE_TIME);
        const Order order = high ? Order::Greater : Order::Less;
        const int message = high ? 3818 : 3817;
        const int hysteresisThreshold = high ? MSPEC_VINH_MINUS : MSPEC_VINL_PLUS;
        const int threshold = high ? MSPEC_VINL : MSPEC_VINH;
        const MDL_VALUE& modelThreshold = high ? model_.vinl : model_.vinh;
        if (spec_.hysteresis)
            CompareCorners(Get(pulse), name, Get(hysteresisThreshold), MSPEC_Name(hysteresisThreshold), order, message);
        else if (Has(threshold))
            CompareCorners(Get(pulse), name, Get(threshold), MSPEC_Name(threshold), order, message);
        else if (modelThreshold.given)
            CompareWithValue(Get(pulse), name, modelThreshold.value, high ? "Vinl" : "Vinh", order, message);
        else
            MSG_Error(3812, name, "Thresholds or Hysteresis Thresholds", line_);
    }

    // Edge-specific values come in pairs and replace the plain one.
    void CheckEdgePair(int plain, int rising, int falling) const {
        if (Has(rising) && !Has(falling)) MSG_Error(3815, MSPEC_Name(falling), MSPEC_Name(rising));
        if (Has(falling) && !Has(rising)) MSG_Error(3815, MSPEC_Name(rising), MSPEC_Name(falling));
        if (!Has(plain)) return;
        if (Has(rising)) MSG_Error(3816, MSPEC_Name(plain), MSPEC_Name(rising));
        if (Has(falling)) MSG_Error(3816, MSPEC_Name(plain), MSPEC_Name(falling));
    }

    MSPEC& spec_;
    const MDL& model_;
    int line_;
};

}  // namespace

void MSPEC_KeywordChange(int) {
    MDL* model = MDL_Current();
    if (model == nullptr || model->modelSpec == nullptr) return;
    SpecChecks(*model->modelSpec, *model).Run();
}
