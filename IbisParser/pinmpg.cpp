// [Pin Mapping]: the header, the rows, and the closing checks of which
// buses the pins' references connect to.

#include "IbisParser/pinmpg.h"

#include <new>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt_internal.h"
#include "IbisParser/cmpnt_names.h"
#include "IbisParser/hdr.h"
#include "IbisParser/msg.h"

namespace {

constexpr int kReferences = 5;
const char* const kColumnNames[kReferences] = {"pulldown_ref", "pullup_ref", "gnd_clamp_ref", "power_clamp_ref",
                                               "ext_ref"};
enum Column { kPulldown = 0, kPullup = 1, kGndClamp = 2, kPowerClamp = 3, kExt = 4 };

// The header counts its headerless first column and at most five more.
constexpr int kMaxHeaderCount = 6;
constexpr int kRowWords = 6;

char* ReferenceOf(PINMPG* row, int column) {
    switch (column) {
        case kPulldown: return row->pulldown_ref;
        case kPullup: return row->pullup_ref;
        case kGndClamp: return row->gnd_clamp_ref;
        case kPowerClamp: return row->power_clamp_ref;
        default: return row->ext_ref;
    }
}
const char* ReferenceOf(const PINMPG* row, int column) { return ReferenceOf(const_cast<PINMPG*>(row), column); }

enum PinKind { kOther, kPower, kGnd, kNc };

PinKind KindOf(const CMPNT* component, const char* pinName) {
    const PIN* pin = CMPNT_FindPin(component, pinName);
    if (pin == nullptr) return kOther;
    if (CMN_StrEqualNoCase(pin->model_name, "POWER")) return kPower;
    if (CMN_StrEqualNoCase(pin->model_name, "GND")) return kGnd;
    if (CMN_StrEqualNoCase(pin->model_name, "NC")) return kNc;
    return kOther;
}

bool IsSupply(PinKind kind) { return kind == kPower || kind == kGnd; }

// What the bus checks look up: the rows of each column's bus names whose
// pin is a supply pin (the first two, so that a row can skip itself), and
// every pullup_ref name.
struct BusIndex {
    struct FirstTwo {
        int first = -1;
        int second = -1;
    };
    std::vector<const PINMPG*> rows;
    std::vector<PinKind> kinds;
    std::unordered_map<std::string, FirstTwo> supplyRows[2];  // by pulldown_ref, by pullup_ref
    std::unordered_set<std::string> pullups;

    void Build(const CMPNT* component) {
        for (const PINMPG* row = component->pin_mappings; row != nullptr; row = row->next) {
            const int index = static_cast<int>(rows.size());
            rows.push_back(row);
            kinds.push_back(KindOf(component, row->pin));
            if (row->pullup_ref[0] != '\0') pullups.insert(row->pullup_ref);
            if (!IsSupply(kinds.back())) continue;
            for (int column : {kPulldown, kPullup}) {
                const char* name = ReferenceOf(row, column);
                if (name[0] == '\0') continue;
                FirstTwo& entry = supplyRows[column][name];
                if (entry.first < 0)
                    entry.first = index;
                else if (entry.second < 0)
                    entry.second = index;
            }
        }
    }

    // The first row other than `self` whose `column` holds `name` and whose
    // pin is a supply pin, or -1.
    int FirstSupplyRow(int column, const char* name, int self) const {
        auto where = supplyRows[column].find(name);
        if (where == supplyRows[column].end()) return -1;
        return where->second.first != self ? where->second.first : where->second.second;
    }
};

struct BusRule {
    int column;
    int comparedWith;  // kPulldown or kPullup; ext_ref tries pullup_ref, then pulldown_ref
    PinKind expected;
    int warning;
    int error;
};
const BusRule kBusRules[kReferences] = {
    {kPulldown, kPulldown, kGnd, 717, 716},  {kPullup, kPullup, kPower, 721, 720},
    {kGndClamp, kPulldown, kGnd, 723, 722},  {kPowerClamp, kPullup, kPower, 725, 724},
    {kExt, kPullup, kPower, 727, 726},
};

void CheckBuses(const CMPNT* component, const BusIndex& index, int level) {
    const int rules = level >= 4 ? kReferences : kReferences - 1;
    for (int r = 0; r < rules; ++r) {
        const BusRule& rule = kBusRules[r];
        for (size_t i = 0; i < index.rows.size(); ++i) {
            const PINMPG* row = index.rows[i];
            const char* name = ReferenceOf(row, rule.column);
            if (!CMPNT_IsConnected(name)) continue;
            const int self = static_cast<int>(i);
            if (IsSupply(index.kinds[i])) {
                // A supply pin's own bus: its pulldown should not also pull up.
                if (rule.column == kPulldown && index.pullups.count(name) != 0) {
                    if (level >= 4)
                        MSG_Warning(718, component->name, name);
                    else
                        MSG_Warning(719, name);
                }
                continue;
            }
            int other = index.FirstSupplyRow(rule.comparedWith, name, self);
            if (other < 0 && rule.column == kExt) other = index.FirstSupplyRow(kPulldown, name, self);
            if (other < 0)
                MSG_Error(rule.error, component->name, name);
            else if (index.kinds[static_cast<size_t>(other)] != rule.expected)
                MSG_Warning(rule.warning, component->name, row->pin);
        }
    }
}

// A supply or NC pin whose mapping row holds unusual references.
void CheckSupplyPinRow(const CMPNT* component, const PINMPG* row, PinKind kind, int level) {
    const bool pulldown = CMPNT_IsConnected(row->pulldown_ref);
    const bool pullup = CMPNT_IsConnected(row->pullup_ref);
    const bool clamps = CMPNT_IsConnected(row->gnd_clamp_ref) || CMPNT_IsConnected(row->power_clamp_ref);
    const bool named = level >= 4;
    if (kind == kPower && !(pullup && !pulldown && !clamps)) {
        if (named)
            MSG_Warning(709, component->name, row->pin);
        else
            MSG_Warning(710, row->pin);
    } else if (kind == kGnd && !(pulldown && !pullup && !clamps)) {
        if (named)
            MSG_Warning(711, component->name, row->pin);
        else
            MSG_Warning(712, row->pin);
    } else if (kind == kNc && (pulldown || pullup || clamps || CMPNT_IsConnected(row->ext_ref))) {
        if (named)
            MSG_Warning(713, component->name, row->pin);
        else
            MSG_Warning(714, row->pin);
    }
}

}  // namespace

void PINMPG_HeaderLine(CMPNT* component, const char* rest) {
    if (component->pin_mapping_columns != 0) {
        MSG_ErrorLine(525);
        return;
    }
    component->pin_mapping_columns = 1;
    TOKENLIST words;
    if (!CMPNT_HeaderWords(rest, "Pin_Mapping", &words)) return;
    int count = 1;
    for (int i = 0; i < words.stored && count < kMaxHeaderCount; ++i) {
        ++count;
        if (!CMN_StrEqualNoCase(words.tokens[i], kColumnNames[i])) MSG_ErrorLine(529, kColumnNames[i]);
    }
    for (int i = words.stored; i < 2; ++i) MSG_ErrorLine(529, kColumnNames[i]);
    CMN_FreeTokens(&words);

    component->pin_mapping_columns = count;
    if (HDR_GetVersionLevel() >= 4) {
        if (count != 3 && count != 5 && count != 6) MSG_ErrorLine(526, count);
    } else if (count != 3 && count != 5) {
        MSG_ErrorLine(532, "Pin_Mappings", 3, 5, count);
    }
}

void PINMPG_RowLine(CMPNT* component, const char* line) {
    PINMPG* row = nullptr;
    if (!CMN_Calloc(&row, sizeof *row)) {
        MSG_ErrorLine(728);
        MSG_ErrorLine(533, "Pin_Mapping");
        return;
    }
    TOKENLIST words;
    if (!CMN_SplitLine(line, kRowWords, &words)) {
        CMN_FreeTokens(&words);
        CMN_Free(row);
        MSG_ErrorLine(533, "Pin_Mapping");
        return;
    }
    if (words.found > kRowWords) MSG_ErrorLine(700);
    int count = 0;
    if (words.stored == 0) {
        MSG_ErrorLine(701);
        MSG_ErrorLine(702);
    } else {
        CMN_CopyField(row->pin, words.tokens[0], CMPNT_PIN_NAME_MAX, "Pin");
        ++count;
        for (int column = kPulldown; column <= kExt; ++column) {
            const int word = column + 1;
            if (word >= words.stored) {
                if (column == kPulldown) MSG_ErrorLine(702);
                if (column == kPullup) MSG_ErrorLine(703);
                continue;
            }
            ++count;
            CMN_CopyField(ReferenceOf(row, column), words.tokens[word], CMPNT_REF_MAX, kColumnNames[column]);
            if (CMN_StrEqualNoCase(words.tokens[word], "NA")) MSG_ErrorLine(729, words.tokens[word]);
        }
    }
    CMN_FreeTokens(&words);
    row->column_count = count;

    const int level = HDR_GetVersionLevel();
    if (level < 4) {
        if (count != 3 && count != 5) MSG_ErrorLine(705);
    } else if (count != 3 && count != 5 && count != 6) {
        MSG_ErrorLine(704);
    }
    if (count == 5 && component->pin_mapping_columns == 3) MSG_ErrorLine(706);
    if (level >= 4 && count == 6 && component->pin_mapping_columns != 6) MSG_ErrorLine(707);

    if (component->pinMappingsTail != nullptr)
        component->pinMappingsTail->next = row;
    else
        component->pin_mappings = row;
    component->pinMappingsTail = row;
    if (CMPNT_NamesAdd(&component->pinMappingIndex, row->pin, row) != nullptr) MSG_ErrorLine(708);
}

void PINMPG_FreeList(PINMPG* list) {
    while (list != nullptr) {
        PINMPG* next = list->next;
        CMN_Free(list);
        list = next;
    }
}

void PINMPG_CheckComponent(const CMPNT* component) {
    const int level = HDR_GetVersionLevel();
    for (const PINMPG* row = component->pin_mappings; row != nullptr; row = row->next) {
        const PIN* pin = CMPNT_FindPin(component, row->pin);
        if (pin == nullptr) {
            MSG_Error(715, component->name, row->pin);
            continue;
        }
        // A pin mapped twice (708) is judged by its first row.
        if (CMPNT_NamesFind(component->pinMappingIndex, row->pin) != row) continue;
        CheckSupplyPinRow(component, row, KindOf(component, row->pin), level);
    }
    try {
        BusIndex index;
        index.Build(component);
        CheckBuses(component, index, level);
    } catch (const std::bad_alloc&) {
        // Without memory for the index the bus checks are left out.
    }
}
