// [Pin]: the header with its optional R_pin, L_pin and C_pin columns, the
// rows, and the closing checks of each pin against the file's models.

#include "IbisParser/pin.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt_internal.h"
#include "IbisParser/cmpnt_names.h"
#include "IbisParser/hdr.h"
#include "IbisParser/ibis.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msel.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse_keywords.h"

namespace {

enum RlcColumn { kR = 0, kL = 1, kC = 2 };
const char* const kRlcNames[3] = {"R_pin", "L_pin", "C_pin"};

// Where the last [Pin] header put R_pin, L_pin and C_pin among the optional
// columns. A header that leaves one out keeps the position it had.
int g_rlcOrder[3] = {0, 0, 0};

// A header counts its headerless first column, the two required ones, the
// three optional ones and one more.
constexpr int kMaxHeaderCount = 7;
constexpr int kRowWords = 6;

bool IsSupplyOrSpecial(const char* modelName) {
    return CMN_StrEqualNoCase(modelName, "POWER") || CMN_StrEqualNoCase(modelName, "GND") ||
           CMN_StrEqualNoCase(modelName, "CIRCUITCALL") || CMN_StrEqualNoCase(modelName, "NC");
}

bool IsDiffType(int type) {
    return type == MDL_TYPE_IO_DIFF || type == MDL_TYPE_OUTPUT_DIFF || type == MDL_TYPE_3STATE_DIFF ||
           type == MDL_TYPE_INPUT_DIFF;
}

int RlcColumnOf(const char* word) {
    for (int column = kR; column <= kC; ++column)
        if (CMN_StrEqualNoCase(kRlcNames[column], word)) return column;
    return -1;
}

// The model of one pin, from IBIS version 3 on.
void CheckPinModel(const CMPNT* component, const PIN* pin, MDL* models, const IBIS* ibis) {
    if (MDL_Exists(models, pin->model_name)) {
        const MDL* model = MDL_Find(models, pin->model_name);
        if (MDL_IsSeriesType(model->model_type))
            MSG_Error(610, component->name, pin->pin, pin->model_name);
        if (model->single_ended == 0 && !CMPNT_IsDiffPin(component, pin->pin))
            MSG_Caution(611, pin->pin, pin->model_name);
        return;
    }
    if (const MSEL* selector = ibis != nullptr ? MSEL_Find(ibis->selectors, pin->model_name) : nullptr) {
        if (selector->single_ended == 0 && !CMPNT_IsDiffPin(component, pin->pin))
            MSG_Caution(609, pin->pin, pin->model_name);
        return;
    }
    MSG_Error(608, component->name, pin->model_name, pin->pin);
}

}  // namespace

void PIN_GetColumnOrder(int order[3]) {
    for (int column = kR; column <= kC; ++column) order[column] = g_rlcOrder[column];
}

void PIN_HeaderLine(CMPNT* component, const char* rest) {
    if (component->pin_columns != 0) {
        MSG_ErrorLine(523);
        return;
    }
    component->pin_columns = 1;
    TOKENLIST words;
    if (!CMPNT_HeaderWords(rest, "Pin", &words)) return;

    static const char* const kRequired[2] = {"signal_name", "model_name"};
    int count = 1;
    int position = 0;
    bool seen[3] = {false, false, false};
    for (int i = 0; i < words.stored && count < kMaxHeaderCount; ++i) {
        ++count;
        const char* word = words.tokens[i];
        if (i < 2) {
            if (!CMN_StrEqualNoCase(word, kRequired[i])) MSG_ErrorLine(529, kRequired[i]);
            continue;
        }
        const int column = RlcColumnOf(word);
        if (column < 0) {
            MSG_ErrorLine(530, word);
        } else if (seen[column]) {
            MSG_ErrorLine(531, word);
        } else {
            seen[column] = true;
            g_rlcOrder[column] = position++;
        }
    }
    for (int i = words.stored; i < 2; ++i) MSG_ErrorLine(529, kRequired[i]);
    CMN_FreeTokens(&words);

    component->pin_columns = count;
    if (count != 3 && count != 6) MSG_ErrorLine(532, "Pin", 3, 6, count);
}

void PIN_RowLine(CMPNT* component, const char* line) {
    PIN* pin = nullptr;
    if (!CMN_Calloc(&pin, sizeof *pin)) {
        MSG_ErrorLine(614);
        MSG_ErrorLine(600);
        MSG_ErrorLine(533, "Pin");
        return;
    }
    TOKENLIST words;
    if (!CMN_SplitLine(line, kRowWords, &words)) {
        CMN_FreeTokens(&words);
        CMN_Free(pin);
        MSG_ErrorLine(600);
        MSG_ErrorLine(533, "Pin");
        return;
    }
    int count = 0;
    if (words.stored == 0) {
        MSG_ErrorLine(601);
        MSG_ErrorLine(602);
    } else {
        CMN_CopyField(pin->pin, words.tokens[0], CMPNT_PIN_NAME_MAX, "Pin");
        ++count;
        if (words.stored > 1) {
            CMN_CopyField(pin->signal_name, words.tokens[1], CMPNT_SignalLimit(), "Signal name");
            ++count;
        } else {
            MSG_ErrorLine(602);
        }
    }
    if (words.stored > 2) {
        CMN_CopyField(pin->model_name, words.tokens[2], CMPNT_SignalLimit(), "Model name");
        ++count;
    } else {
        MSG_ErrorLine(603);
    }
    CMPNT_VALUE* values[3] = {&pin->R_pin, &pin->L_pin, &pin->C_pin};
    for (int column = kR; column <= kC; ++column) {
        const int word = 3 + g_rlcOrder[column];
        if (word >= words.stored) continue;
        ++count;
        CMN_GetOptionalValue(words.tokens[word], "Pin", kRlcNames[column], &values[column]->value,
                             &values[column]->state);
    }
    CMN_FreeTokens(&words);
    pin->column_count = count;

    if (count != 3 && count != 6) MSG_ErrorLine(604);
    if (count == 6 && component->pin_columns == 3) MSG_ErrorLine(605);

    if (component->pinsTail != nullptr)
        component->pinsTail->next = pin;
    else
        component->pins = pin;
    component->pinsTail = pin;
    if (CMPNT_NamesAdd(&component->pinIndex, pin->pin, pin) != nullptr) MSG_ErrorLine(606, pin->pin);
}

void PIN_FreeList(PIN* list) {
    while (list != nullptr) {
        PIN* next = list->next;
        CMN_Free(list);
        list = next;
    }
}

PIN* CMPNT_FindPin(const CMPNT* component, const char* name) {
    return static_cast<PIN*>(CMPNT_NamesFind(component->pinIndex, name));
}

void PIN_CheckComponent(CMPNT* component, MDL* models, IBIS* ibis) {
    const int level = HDR_GetVersionLevel();
    const bool hasPinMapping = component->pin_mapping_columns != 0;
    for (const PIN* pin = component->pins; pin != nullptr; pin = pin->next) {
        // A row without a model name was reported as it was read (603), and
        // its empty name is looked up like any other.
        if (!IsSupplyOrSpecial(pin->model_name)) {
            if (level <= 2) {
                if (!MDL_Exists(models, pin->model_name))
                    MSG_Error(608, component->name, pin->model_name, pin->pin);
            } else {
                CheckPinModel(component, pin, models, ibis);
            }
        }
        if (hasPinMapping && CMPNT_NamesFind(component->pinMappingIndex, pin->pin) == nullptr)
            MSG_Error(612, component->name, pin->pin);
    }
}

void PIN_CheckDiffModels(const CMPNT* component, MDL* models) {
    for (const PIN* pin = component->pins; pin != nullptr; pin = pin->next) {
        const MDL* model = MDL_Find(models, pin->model_name);
        if (model == nullptr || !IsDiffType(model->model_type)) continue;
        if (!MDL_HasKeyword(model, KW::EXTERNAL_MODEL)) MSG_Error(544);
        if (!CMPNT_IsDiffPin(component, pin->pin))
            MSG_Error(545, component->name, pin->pin, pin->model_name, MDL_TypeName(model->model_type));
    }
}
