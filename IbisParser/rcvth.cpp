// [Receiver Thresholds]: the keyword line, the sub-parameter lines, the
// closing check and the end-of-file check of the values a receiver needs.

#include "IbisParser/rcvth.h"

#include <algorithm>
#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt.h"
#include "IbisParser/ibis.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msg.h"
#include "IbisParser/rngp.h"

#define RCVTH_MODULE "IbisParser\\rcvth"

namespace {

// Indexed by RCVTH_Code.
const char* const kNames[RCVTH_SLOTS] = {
    "",         "Vth",      "Vth_min",  "Vth_max",  "Vinh_ac",  "Vinh_dc",
    "Vinl_ac",  "Vinl_dc",  "Threshold_sensitivity", "Reference_supply",
    "Vcross_low", "Vcross_high", "Vdiff_ac", "Vdiff_dc", "Tslew_ac", "Tdiffslew_ac",
};

const char* const kSupplies[] = {"Power_clamp_ref", "Gnd_clamp_ref", "Pullup_ref", "Pulldown_ref", "Ext_ref"};

const RNGP_NAMEVALUE kValueMessages = {3204, nullptr, 3232, 3233, 0, nullptr};

int LookupCode(const char* word, size_t length) {
    for (int code = 1; code < RCVTH_SLOTS; ++code)
        if (std::strlen(kNames[code]) == length && std::strncmp(kNames[code], word, length) == 0) return code;
    return 0;
}

// "Reference_supply <word>": the word, exact case, from the list of
// supplies. It is kept even when unknown, so that a second line is still
// reported as a repeat.
void ReadReferenceSupply(RCVTH* record, const char* line) {
    const char* name = kNames[RCVTH_REFERENCE_SUPPLY];
    RNGP_WORDS words;
    RNGP_SplitWords(line, 3, '=', &words);
    if (words.found < 2) {
        MSG_ErrorLine(3232, name);
        return;
    }
    if (words.found == 3) {
        if (words.length[1] == 1 && words.start[1][0] == '=')
            MSG_ErrorLine(3232, name);
        else
            MSG_ErrorLine(3204, 3, name, 2);
        return;
    }
    if (words.found > 3) MSG_ErrorLine(3204, words.found, name, 2);
    char text[RNGP_WORD_MAX + 1];
    RNGP_WordText(&words, 1, text, sizeof text);
    bool known = false;
    for (const char* supply : kSupplies) known = known || std::strcmp(supply, text) == 0;
    if (!known) MSG_ErrorLine(3234, text);
    // Cut to the field: a longer name has already drawn 3234.
    const std::size_t length = std::min(std::strlen(text), static_cast<std::size_t>(RCVTH_SUPPLY_MAX));
    std::memcpy(record->referenceSupply, text, length);
    record->referenceSupply[length] = '\0';
    record->given[RCVTH_REFERENCE_SUPPLY] = 1;
}

// The values a differential receiver needs, and those of a single-ended one.
struct Needed {
    int code;
    int message;
};
const Needed kDifferential[] = {
    {RCVTH_VCROSS_LOW, 3206}, {RCVTH_VCROSS_HIGH, 3207},  {RCVTH_VDIFF_AC, 3208},
    {RCVTH_VDIFF_DC, 3209},   {RCVTH_TDIFFSLEW_AC, 3210},
};
const Needed kSingleEnded[] = {
    {RCVTH_VTH, 3219},     {RCVTH_VINH_AC, 3220}, {RCVTH_VINL_AC, 3221},
    {RCVTH_VINH_DC, 3222}, {RCVTH_VINL_DC, 3223}, {RCVTH_TSLEW_AC, 3224},
};

// The differential pin that uses the model, or null. A file without
// components has none (the missing [Component] is reported on its own).
const PIN* DifferentialPin(MDL* model) {
    IBIS* ibis = nullptr;
    if (!IBIS_Current(&ibis) || ibis->components == nullptr) return nullptr;
    return CMPNT_FindDiffPinForModel(model);
}

}  // namespace

const char* RCVTH_ReferenceSupply(const RCVTH* record) {
    return record != nullptr && record->given[RCVTH_REFERENCE_SUPPLY] ? record->referenceSupply : nullptr;
}

void RCVTH_Free(RCVTH* record) {
    if (record != nullptr) CMN_Free(record);
}

int RCVTH_KeywordLine(int, char* line) {
    MSG_REQUIRE(line != nullptr, RCVTH_MODULE);
    MDL* model = MDL_Current();
    if (model == nullptr) return 1;
    if (model->receiverThresholds != nullptr) {
        MSG_ErrorLine(3200);
        RCVTH_Free(model->receiverThresholds);
        model->receiverThresholds = nullptr;
    }
    const char* rest = RNGP_AfterKeyword(line);
    const int words = rest != nullptr ? RNGP_CountWords(rest) : 0;
    if (words > 0) MSG_ErrorLine(3204, words + 1, "Receiver Threshold", 1);

    RCVTH* record = nullptr;
    if (!CMN_Calloc(&record, sizeof *record)) {
        MSG_Bug(3201, RCVTH_MODULE, __LINE__);
        return 1;
    }
    record->startLine = MSG_GetCurrentLine();
    model->receiverThresholds = record;
    return 1;
}

int RCVTH_DataLine(int, char* line) {
    MSG_REQUIRE(line != nullptr, RCVTH_MODULE);
    MDL* model = MDL_Current();
    if (model == nullptr || model->receiverThresholds == nullptr) return 1;
    RCVTH* record = model->receiverThresholds;

    RNGP_WORDS first;
    RNGP_SplitWords(line, 1, '=', &first);
    const int code = first.stored == 1 ? LookupCode(first.start[0], first.length[0]) : 0;
    if (code == 0) {
        MSG_ErrorLine(3230);
        return 1;
    }
    if (record->given[code]) {
        MSG_ErrorLine(3231, kNames[code]);
        return 1;
    }
    if (code == RCVTH_REFERENCE_SUPPLY) {
        ReadReferenceSupply(record, line);
        return 1;
    }
    double value = 0.0;
    if (RNGP_ReadNameValue(line, kNames[code], kValueMessages, &value)) {
        record->value[code] = value;
        record->given[code] = 1;
    }
    return 1;
}

void RCVTH_KeywordChange(int) {
    const MDL* model = MDL_Current();
    if (model == nullptr || model->receiverThresholds == nullptr) return;
    const RCVTH& record = *model->receiverThresholds;
    if (record.given[RCVTH_THRESHOLD_SENSITIVITY] && !record.given[RCVTH_REFERENCE_SUPPLY])
        MSG_Error(3205, model->name);
}

void RCVTH_CheckModels(MDL* models) {
    for (MDL* model = models; model != nullptr; model = model->next) {
        const RCVTH* record = model->receiverThresholds;
        if (record == nullptr) continue;
        if (const PIN* pin = DifferentialPin(model)) {
            for (const Needed& needed : kDifferential)
                if (!record->given[needed.code]) MSG_Warning(needed.message, model->name, pin->pin);
        } else {
            for (const Needed& needed : kSingleEnded)
                if (!record->given[needed.code]) MSG_Warning(needed.message, model->name);
        }
    }
}
