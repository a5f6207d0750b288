// [Diff Pin]: the header, the rows with their threshold and delays, the
// closing checks of the pin pairs, and the search that marks a model as
// differential when a [Diff Pin] pin uses it.

#include "IbisParser/difpin.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt_internal.h"
#include "IbisParser/cmpnt_names.h"
#include "IbisParser/ibis.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msel.h"
#include "IbisParser/msg.h"

namespace {

const char* const kColumnNames[5] = {"inv_pin", "vdiff", "tdelay_typ", "tdelay_min", "tdelay_max"};
// The header counts its headerless first column, five more and one beyond.
constexpr int kMaxHeaderCount = 7;
constexpr int kRowWords = 6;

// Reads one number-or-NA column. NA stands for 0, except in tdelay_max,
// where it stands for the typical delay.
void ReadValue(const char* text, const char* column, double naValue, CMPNT_VALUE* value) {
    double number = 0.0;
    int isNA = 0;
    const int result = CMN_GetValueOrNA(text, &number, &isNA);
    switch (result) {
        case CMN_NUM_BAD: MSG_ErrorLine(816, column); return;
        case CMN_NUM_SUSPICIOUS: MSG_WarningLine(817, column); break;
        case CMN_NUM_GOOD: break;
        default: MSG_BugLine(818, CMPNT_MODULE, __LINE__); return;
    }
    value->value = isNA ? naValue : number;
    value->state = CMN_OPT_GIVEN;
}

void Append(CMPNT* component, DIFPIN* row) {
    if (component->diffPinsTail != nullptr)
        component->diffPinsTail->next = row;
    else
        component->diff_pins = row;
    component->diffPinsTail = row;
    if (row->pin[0] != '\0') CMPNT_NamesAdd(&component->diffPinIndex, row->pin, row);
    if (row->inv_pin[0] != '\0') CMPNT_NamesAdd(&component->diffPinIndex, row->inv_pin, row);
}

// Every later row that shares a pin with an earlier one, in the order of
// the earlier row, then the later row, then the kind of clash.
void CheckUniqueness(const CMPNT* component) {
    std::vector<const DIFPIN*> rows;
    std::unordered_map<std::string, std::vector<int>> byDiffPin;
    std::unordered_map<std::string, std::vector<int>> byInvPin;
    for (const DIFPIN* row = component->diff_pins; row != nullptr; row = row->next) {
        const int index = static_cast<int>(rows.size());
        rows.push_back(row);
        if (row->pin[0] != '\0') byDiffPin[row->pin].push_back(index);
        if (row->inv_pin[0] != '\0') byInvPin[row->inv_pin].push_back(index);
    }
    enum Clash { kSameDiffPin = 0, kDiffPinIsLaterInvPin = 1, kInvPinIsLaterDiffPin = 2, kSameInvPin = 3 };
    auto later = [](const std::unordered_map<std::string, std::vector<int>>& map, const char* name, int after,
                    int clash, std::vector<std::pair<int, int>>* found) {
        if (name[0] == '\0') return;
        auto where = map.find(name);
        if (where == map.end()) return;
        for (int index : where->second)
            if (index > after) found->emplace_back(index, clash);
    };
    std::vector<std::pair<int, int>> clashes;
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const DIFPIN* row = rows[static_cast<size_t>(i)];
        clashes.clear();
        later(byDiffPin, row->pin, i, kSameDiffPin, &clashes);
        later(byInvPin, row->pin, i, kDiffPinIsLaterInvPin, &clashes);
        later(byDiffPin, row->inv_pin, i, kInvPinIsLaterDiffPin, &clashes);
        later(byInvPin, row->inv_pin, i, kSameInvPin, &clashes);
        std::sort(clashes.begin(), clashes.end());
        for (const auto& [index, clash] : clashes) {
            switch (clash) {
                case kSameDiffPin: MSG_Warning(812, component->name, row->pin); break;
                case kDiffPinIsLaterInvPin: MSG_Error(813, component->name, row->pin); break;
                case kInvPinIsLaterDiffPin: MSG_Error(814, component->name, row->inv_pin); break;
                default: MSG_Warning(815, component->name, row->inv_pin); break;
            }
        }
    }
}

}  // namespace

void DIFPIN_HeaderLine(CMPNT* component, const char* rest) {
    if (component->diff_pin_columns != 0) {
        MSG_ErrorLine(527);
        return;
    }
    component->diff_pin_columns = 1;
    TOKENLIST words;
    if (!CMPNT_HeaderWords(rest, "Diff_Pins", &words)) return;
    int count = 1;
    for (int i = 0; i < words.stored && count < kMaxHeaderCount; ++i) {
        ++count;
        if (i < 5 && !CMN_StrEqualNoCase(words.tokens[i], kColumnNames[i])) MSG_ErrorLine(529, kColumnNames[i]);
    }
    for (int i = words.stored; i < 3; ++i) MSG_ErrorLine(529, kColumnNames[i]);
    CMN_FreeTokens(&words);

    component->diff_pin_columns = count;
    if (count != 4 && count != 6) MSG_ErrorLine(532, "Diff_Pins", 4, 6, count);
}

void DIFPIN_RowLine(CMPNT* component, const char* line) {
    DIFPIN* row = nullptr;
    if (!CMN_Calloc(&row, sizeof *row)) {
        MSG_ErrorLine(800);
        MSG_ErrorLine(533, "Diff_Pin");
        return;
    }
    TOKENLIST words;
    if (!CMN_SplitLine(line, kRowWords, &words)) {
        CMN_FreeTokens(&words);
        CMN_Free(row);
        MSG_ErrorLine(533, "Diff_Pin");
        return;
    }
    if (words.found > kRowWords) MSG_ErrorLine(801);
    int count = 0;
    if (words.stored == 0) {
        MSG_ErrorLine(802);
        MSG_ErrorLine(803);
    } else {
        CMN_CopyField(row->pin, words.tokens[0], CMPNT_PIN_NAME_MAX, "Diff_Pin column");
        ++count;
        if (words.stored > 1) {
            CMN_CopyField(row->inv_pin, words.tokens[1], CMPNT_PIN_NAME_MAX, "inv_pin column");
            ++count;
            if (std::strcmp(row->pin, row->inv_pin) == 0) MSG_ErrorLine(804);
        } else {
            MSG_ErrorLine(803);
        }
    }
    CMPNT_VALUE* values[4] = {&row->vdiff, &row->tdelay_typ, &row->tdelay_min, &row->tdelay_max};
    for (int column = 0; column < 4; ++column) {
        const int word = column + 2;
        if (word >= words.stored) {
            if (column == 0) MSG_ErrorLine(805);
            if (column == 1) MSG_ErrorLine(806);
            continue;
        }
        ++count;
        const double naValue = column == 3 ? row->tdelay_typ.value : 0.0;
        ReadValue(words.tokens[word], kColumnNames[column + 1], naValue, values[column]);
    }
    CMN_FreeTokens(&words);
    row->column_count = count;

    const CMPNT_VALUE& typ = row->tdelay_typ;
    const CMPNT_VALUE& min = row->tdelay_min;
    const CMPNT_VALUE& max = row->tdelay_max;
    if (typ.state == CMN_OPT_GIVEN && min.state == CMN_OPT_GIVEN && max.state == CMN_OPT_GIVEN &&
        ((min.value > typ.value && max.value > typ.value) || (min.value < typ.value && max.value < typ.value)))
        MSG_WarningLine(807);

    if (count != 4 && count != 6) MSG_ErrorLine(808);
    if (count == 6 && component->diff_pin_columns == 4) MSG_ErrorLine(809);
    Append(component, row);
}

void DIFPIN_FreeList(DIFPIN* list) {
    while (list != nullptr) {
        DIFPIN* next = list->next;
        CMN_Free(list);
        list = next;
    }
}

int CMPNT_IsDiffPin(const CMPNT* component, const char* name) {
    return name[0] != '\0' && CMPNT_NamesFind(component->diffPinIndex, name) != nullptr;
}

void DIFPIN_CheckComponent(const CMPNT* component) {
    if (component->pins != nullptr) {
        // Rows without a pin were reported as they were read (802, 803); an
        // empty name is still looked up like any other.
        for (const DIFPIN* row = component->diff_pins; row != nullptr; row = row->next) {
            if (CMPNT_FindPin(component, row->pin) == nullptr) MSG_Error(810, component->name, row->pin);
            if (CMPNT_FindPin(component, row->inv_pin) == nullptr) MSG_Error(811, component->name, row->inv_pin);
        }
    }
    try {
        CheckUniqueness(component);
    } catch (const std::bad_alloc&) {
        // Without memory for the lookup the uniqueness checks are left out.
    }
}

PIN* CMPNT_FindDiffPinForModel(MDL* model) {
    IBIS* ibis = nullptr;
    if (!IBIS_Current(&ibis)) {
        MSG_BugLine(500, CMPNT_MODULE, __LINE__);
        return nullptr;
    }
    if (ibis->components == nullptr) {
        MSG_BugLine(547, CMPNT_MODULE, __LINE__);
        return nullptr;
    }
    for (const CMPNT* component = ibis->components; component != nullptr; component = component->next) {
        for (const DIFPIN* row = component->diff_pins; row != nullptr; row = row->next) {
            for (const char* name : {row->pin, row->inv_pin}) {
                PIN* pin = CMPNT_FindPin(component, name);
                if (pin == nullptr) continue;
                if (std::strcmp(pin->model_name, model->name) != 0) {
                    // A pin may reach the model through a [Model Selector];
                    // a selector that a differential pin uses is differential
                    // itself, whichever models it lists.
                    MSEL* selector = MSEL_Find(ibis->selectors, pin->model_name);
                    if (selector == nullptr) continue;
                    if (!MSEL_ListsModel(selector, model->name)) {
                        selector->single_ended = 0;
                        continue;
                    }
                }
                model->single_ended = 0;
                return pin;
            }
        }
    }
    return nullptr;
}
