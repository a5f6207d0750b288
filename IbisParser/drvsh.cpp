// [Driver Schedule]: the keyword line, one line per scheduled model (its
// name and four delays), the closing check and the end-of-file lookups.

#include "IbisParser/drvsh.h"

#include <cstring>
#include <string>
#include <unordered_set>

#include "IbisParser/cmn.h"
#include "IbisParser/hdr.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msg.h"
#include "IbisParser/rngp.h"

#define DRVSH_MODULE "IbisParser\\drvsh"

namespace {

const char* const kDelayNames[DRVSH_DELAYS] = {"Rise_on_dly", "Rise_off_dly", "Fall_on_dly", "Fall_off_dly"};

// The names of the schedule being read, so that a repeat is found without
// walking the entries for every line.
std::unordered_set<std::string>& NamesInSchedule() {
    static std::unordered_set<std::string> names;
    return names;
}

// Stores the scheduled model's name, reporting what is wrong with it.
void ReadName(DRVSH_ENTRY* entry, const RNGP_WORDS& words, const MDL& model) {
    const size_t limit = HDR_GetVersionLevel() < 4 ? DRVSH_NAME_MAX_BEFORE_4 : DRVSH_NAME_MAX;
    size_t length = words.length[0];
    if (length > limit) {
        MSG_ErrorLine(4212, static_cast<int>(limit));
        length = limit;
    }
    std::memcpy(entry->name, words.start[0], length);
    entry->name[length] = '\0';
    if (std::strcmp(entry->name, model.name) == 0)
        MSG_ErrorLine(4213, entry->name);
    else if (!CMN_IsNotReserved(entry->name))
        MSG_ErrorLine(4214, entry->name);
    if (!NamesInSchedule().insert(entry->name).second) MSG_ErrorLine(4215, entry->name);
}

// The four delays after the name: each a number, "NA" or missing.
void ReadDelays(DRVSH_ENTRY* entry, const RNGP_WORDS& words) {
    const int delays = words.found - 1;
    if (delays >= 1 && delays < DRVSH_DELAYS) MSG_ErrorLine(4501, kDelayNames[delays], entry->name);
    if (delays > DRVSH_DELAYS) MSG_ErrorLine(4502, words.found, "Driver Schedule", DRVSH_DELAYS + 1);
    for (int i = 0; i < DRVSH_DELAYS; ++i) {
        char text[RNGP_WORD_MAX + 1];
        RNGP_WordText(&words, i + 1, text, sizeof text);
        CMN_GetOptionalValue(text, "delay", kDelayNames[i], &entry->delay[i], &entry->state[i]);
    }

    const auto given = [entry](int i) { return entry->state[i] == CMN_OPT_GIVEN; };
    const int count = given(DRVSH_RISE_ON) + given(DRVSH_RISE_OFF) + given(DRVSH_FALL_ON) + given(DRVSH_FALL_OFF);
    if (count < 2) MSG_ErrorLine(4504);
    // A driver that turns on at one edge and off at the other never settles:
    // on and off delays pair up only when all four are given.
    if (count < DRVSH_DELAYS) {
        if (given(DRVSH_RISE_ON) && given(DRVSH_FALL_OFF)) MSG_ErrorLine(4505, "Rise_on_dly", "Fall_off_delay");
        if (given(DRVSH_RISE_OFF) && given(DRVSH_FALL_ON)) MSG_ErrorLine(4505, "Rise_off_dly", "Fall_on_delay");
    }
    for (int i = 0; i < DRVSH_DELAYS; ++i)
        if (given(i) && entry->delay[i] < 0.0) MSG_ErrorLine(4506, kDelayNames[i]);
}

void FreeEntries(DRVSH_ENTRY* entry) {
    while (entry != nullptr) {
        DRVSH_ENTRY* next = entry->next;
        CMN_Free(entry);
        entry = next;
    }
}

bool IsInputOnly(int type) {
    return type == MDL_TYPE_INPUT || type == MDL_TYPE_INPUT_ECL || type == MDL_TYPE_TERMINATOR ||
           type == MDL_TYPE_SERIES || type == MDL_TYPE_SERIES_SWITCH;
}

}  // namespace

void DRVSH_Free(DRVSH* record) {
    if (record == nullptr) return;
    FreeEntries(record->entries);
    CMN_Free(record);
}

int DRVSH_KeywordLine(int, char* line) {
    MSG_REQUIRE(line != nullptr, DRVSH_MODULE);
    NamesInSchedule().clear();
    MDL* model = MDL_Current();
    if (model == nullptr) return 1;
    if (model->driverSchedule != nullptr) {
        MSG_ErrorLine(4200);
        DRVSH_Free(model->driverSchedule);
        model->driverSchedule = nullptr;
    }
    const char* rest = RNGP_AfterKeyword(line);
    const int words = rest != nullptr ? RNGP_CountWords(rest) : 0;
    if (words > 0) MSG_ErrorLine(4204, words + 1, "Driver Schedule", 1);

    DRVSH* record = nullptr;
    if (!CMN_Calloc(&record, sizeof *record)) {
        MSG_Bug(4201, DRVSH_MODULE, __LINE__);
        return 1;
    }
    record->startLine = MSG_GetCurrentLine();
    model->driverSchedule = record;
    return 1;
}

int DRVSH_DataLine(int, char* line) {
    MSG_REQUIRE(line != nullptr, DRVSH_MODULE);
    MDL* model = MDL_Current();
    if (model == nullptr || model->driverSchedule == nullptr) return 1;

    DRVSH_ENTRY* entry = nullptr;
    if (!CMN_Calloc(&entry, sizeof *entry)) {
        MSG_ErrorLine(4216);
        return 1;
    }
    RNGP_WORDS words;
    RNGP_SplitWords(line, DRVSH_DELAYS + 1, '\0', &words);
    if (words.found == 0) {
        // Nothing to schedule: the line is dropped.
        MSG_ErrorLine(4211);
        CMN_Free(entry);
        return 1;
    }
    ReadName(entry, words, *model);
    ReadDelays(entry, words);
    entry->next = model->driverSchedule->entries;
    model->driverSchedule->entries = entry;
    return 1;
}

void DRVSH_KeywordChange(int) {
    NamesInSchedule().clear();
    const MDL* model = MDL_Current();
    if (model == nullptr || model->driverSchedule == nullptr) return;
    const DRVSH_ENTRY* entries = model->driverSchedule->entries;
    if (entries == nullptr)
        MSG_Error(4205, model->name);
    else if (entries->next == nullptr)
        MSG_Warning(4206, model->name);
}

void DRVSH_CheckModels(MDL* models) {
    for (const MDL* model = models; model != nullptr; model = model->next) {
        if (model->driverSchedule == nullptr) continue;
        for (const DRVSH_ENTRY* entry = model->driverSchedule->entries; entry != nullptr; entry = entry->next) {
            if (!MDL_Exists(models, entry->name)) {
                MSG_Error(4207, entry->name, model->name);
                continue;
            }
            const MDL* scheduled = MDL_Find(models, entry->name);
            if (scheduled->driverSchedule != nullptr) MSG_Error(4208, entry->name, model->name);
            if (IsInputOnly(scheduled->model_type)) MSG_Error(4209, entry->name, model->name);
        }
    }
}
