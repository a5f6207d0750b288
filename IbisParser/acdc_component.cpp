// Plausible package and pin parasitics of each component, and node names
// that neither repeat nor hide a pin.

#include <string>
#include <unordered_map>
#include <vector>

#include "IbisParser/acdc.h"
#include "IbisParser/acdc_internal.h"
#include "IbisParser/cmn.h"
#include "IbisParser/cmn_pairs.h"
#include "IbisParser/cmpnt.h"
#include "IbisParser/msg.h"
#include "IbisParser/node.h"
#include "IbisParser/pkg.h"
#include "IbisParser/rng.h"

namespace {

constexpr double kMaxResistance = 50.0;  // Ohm
constexpr double kMaxInductance = 1e-6;  // H
constexpr double kMaxCapacitance = 1e-9;  // F

// One package parasitic: its range messages and the unit it is shown in.
struct PackageValue {
    int rangeCode;
    int orderCode;
    double limit;
    double scale;
};

void CheckPackageRange(const CMPNT* component, const RNG* range, const PackageValue& kind) {
    if (range == nullptr) return;
    for (int corner = RNG_TYP; corner <= RNG_MAX; ++corner) {
        if (range->state[corner] != CMN_OPT_GIVEN) continue;
        double value = range->value[corner];
        if (value < 0.0 || value > kind.limit) {
            MSG_Warning(kind.rangeCode, component->name, ACDC_CornerTag(corner), value * kind.scale, 0.0,
                        kind.limit * kind.scale);
        }
    }
    if (range->state[RNG_MIN] == CMN_OPT_GIVEN && range->state[RNG_MAX] == CMN_OPT_GIVEN &&
        range->value[RNG_MIN] > range->value[RNG_MAX]) {
        MSG_Warning(kind.orderCode, component->name);
    }
}

void CheckPins(const CMPNT* component) {
    for (const PIN* pin = component->pins; pin != nullptr; pin = pin->next) {
        if (pin->R_pin.state == CMN_OPT_GIVEN && pin->R_pin.value > kMaxResistance) {
            MSG_Warning(1700, component->name, pin->pin, pin->R_pin.value, kMaxResistance);
        }
        if (pin->L_pin.state == CMN_OPT_GIVEN && pin->L_pin.value > kMaxInductance) {
            MSG_Warning(1701, component->name, pin->pin, pin->L_pin.value * 1e9, kMaxInductance * 1e9);
        }
        if (pin->C_pin.state == CMN_OPT_GIVEN && pin->C_pin.value > kMaxCapacitance) {
            MSG_Warning(1702, component->name, pin->pin, pin->C_pin.value * 1e12, kMaxCapacitance * 1e12);
        }
    }
}

// Equal node names are reported once per pair, a pin named like a node
// once per such node; names are grouped first so that the work follows the
// size of the report rather than the square of the list.
void CheckNodes(const CMPNT* component) {
    if (component->nodes == nullptr) return;
    std::vector<const char*> names;
    for (const NODE* node = component->nodes; node != nullptr; node = node->next) names.push_back(node->name);
    CMN_ReportEqualPairs(names, [component](const char* name) { MSG_Error(1708, component->name, name); });
    std::unordered_map<std::string, int> declared;
    for (const NODE* node = component->nodes; node != nullptr; node = node->next) {
        if (node->name != nullptr) ++declared[node->name];
    }
    for (const PIN* pin = component->pins; pin != nullptr; pin = pin->next) {
        auto found = declared.find(pin->pin);
        if (found == declared.end()) continue;
        for (int k = 0; k < found->second; ++k) MSG_Error(1709, component->name, pin->pin, pin->pin);
    }
}

void SanityCheckComponent(const CMPNT* component) {
    if (component->package != nullptr) {
        CheckPackageRange(component, component->package->R_pkg, {1710, 1711, kMaxResistance, 1.0});
        CheckPackageRange(component, component->package->L_pkg, {1712, 1713, kMaxInductance, 1e9});
        CheckPackageRange(component, component->package->C_pkg, {1714, 1715, kMaxCapacitance, 1e12});
    }
    CheckPins(component);
    CheckNodes(component);
}

}  // namespace

void ACDC_SanityCheckComponents(CMPNT* components) {
    for (const CMPNT* component = components; component != nullptr; component = component->next) {
        SanityCheckComponent(component);
    }
}
