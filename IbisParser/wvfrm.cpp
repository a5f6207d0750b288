// Waveforms: starting them and reading their lines.

#include "IbisParser/wvfrm.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/hdr.h"
#include "IbisParser/msg.h"

#define WVFRM_MODULE "IbisParser\\wvfrm"

namespace {

// Waveforms a list may hold before 2000.
constexpr int kMaxWaveforms = 100;
// Rows a waveform may hold: below version level 4, and from it on (pulse
// tables keep the lower limit).
constexpr int kRowsBefore4 = 100;
constexpr int kRowsFrom4 = 1000;

const char* const kFixtureNames[WVFRM_FIXTURE_COUNT] = {
    "R_fixture", "V_fixture", "V_fixture_min", "V_fixture_max", "C_fixture", "L_fixture", "R_dut", "L_dut", "C_dut",
};

const char* const kGoldenLabels[] = {
    "Rising Waveform Near",      "Rising Waveform Far",      "Falling Waveform Near",      "Falling Waveform Far",
    "Diff Rising Waveform Near", "Diff Rising Waveform Far", "Diff Falling Waveform Near", "Diff Falling Waveform Far",
};

WVFRM* g_current = nullptr;

bool IsGolden(const char* label) {
    for (const char* golden : kGoldenLabels)
        if (std::strcmp(golden, label) == 0) return true;
    return false;
}

bool IsPulseTable(const char* label) {
    return std::strcmp(label, "GND Pulse Table") == 0 || std::strcmp(label, "POWER Pulse Table") == 0;
}

int RowLimit(const char* label) {
    return HDR_GetVersionLevel() >= 4 && !IsPulseTable(label) ? kRowsFrom4 : kRowsBefore4;
}

// Index of the fixture sub-parameter the word names, or -1.
int FixtureIndex(const RNGP_WORDS& words) {
    if (words.stored == 0) return -1;
    for (int i = 0; i < WVFRM_FIXTURE_COUNT; ++i) {
        const size_t length = std::strlen(kFixtureNames[i]);
        if (words.length[0] == length && std::strncmp(words.start[0], kFixtureNames[i], length) == 0) return i;
    }
    return -1;
}

WVFRM* NewWaveform() {
    WVFRM* waveform = nullptr;
    if (!CMN_Calloc(&waveform, sizeof *waveform)) {
        MSG_Bug(2012, WVFRM_MODULE, __LINE__);
        return nullptr;
    }
    waveform->startLine = MSG_GetCurrentLine();
    return waveform;
}

// Words after the keyword; then the waveform becomes current.
WVFRM* MakeCurrent(WVFRM* waveform, const char* line, const char* label) {
    const char* rest = RNGP_AfterKeyword(line);
    const int words = rest != nullptr ? RNGP_CountWords(rest) : 0;
    if (words > 0) MSG_ErrorLine(2003, words + 1, label, 1);
    g_current = waveform;
    return waveform;
}

void ReadFixture(WVFRM* waveform, int index, const char* line, const char* label) {
    const char* name = kFixtureNames[index];
    if (waveform->points.count > 0) {
        MSG_ErrorLine(2013, line);
        return;
    }
    if (waveform->fixtureGiven[index]) {
        MSG_ErrorLine(2014, label, name);
        return;
    }
    const RNGP_NAMEVALUE messages = {2003, label, 2015, 2017, 2016, label};
    double value = 0.0;
    if (RNGP_ReadNameValue(line, name, messages, &value)) {
        waveform->fixture[index] = value;
        waveform->fixtureGiven[index] = 1;
    }
}

void ReadRow(WVFRM* waveform, const RNGP_WORDS& words, const char* line, const char* label) {
    char first[RNGP_WORD_MAX + 1];
    RNGP_WordText(&words, 0, first, sizeof first);
    double number = 0.0;
    int isNA = 0;
    if (CMN_GetValueOrNA(first, &number, &isNA) == CMN_NUM_BAD) {
        MSG_ErrorLine(2011, label);
        return;
    }
    RNGP point;
    if (!RNGP_ReadRow(line, label, "Time", &point)) return;
    const int count = RNGP_Append(&waveform->points, &point, 1);
    if (count == 0) return;
    const int limit = RowLimit(label);
    if (count > limit) MSG_ErrorLine(2018, limit, label);
    if (point.xState == CMN_OPT_NA) {
        MSG_ErrorLine(2019, "Time");
    } else if (point.xState == CMN_OPT_GIVEN) {
        if (waveform->lastTimeGiven && point.x <= waveform->lastTime) MSG_ErrorLine(2020);
        waveform->lastTime = point.x;
        waveform->lastTimeGiven = 1;
    }
}

}  // namespace

WVFRM* WVFRM_Start(const char* line, WVFRM_LIST* list, const char* label) {
    MSG_REQUIRE(line != nullptr && list != nullptr && label != nullptr, WVFRM_MODULE);
    g_current = nullptr;
    if (list->count >= kMaxWaveforms) MSG_ErrorLine(2000, label);
    WVFRM* waveform = NewWaveform();
    if (waveform == nullptr) return nullptr;
    if (list->tail == nullptr)
        list->head = waveform;
    else
        list->tail->next = waveform;
    list->tail = waveform;
    ++list->count;
    return MakeCurrent(waveform, line, label);
}

WVFRM* WVFRM_StartIn(const char* line, WVFRM** slot, const char* label) {
    MSG_REQUIRE(line != nullptr && slot != nullptr && label != nullptr, WVFRM_MODULE);
    g_current = nullptr;
    WVFRM_Free(*slot);
    *slot = nullptr;
    WVFRM* waveform = NewWaveform();
    if (waveform == nullptr) return nullptr;
    *slot = waveform;
    return MakeCurrent(waveform, line, label);
}

void WVFRM_DataLine(const char* line, const char* label) {
    MSG_REQUIRE(line != nullptr && label != nullptr, WVFRM_MODULE);
    WVFRM* waveform = g_current;
    if (waveform == nullptr) return;
    // The first word tells a fixture line from a row.
    RNGP_WORDS words;
    RNGP_LeadingWords(line, 1, '=', &words);
    const int fixture = FixtureIndex(words);
    if (fixture >= 0) {
        if (IsGolden(label))
            MSG_ErrorLine(2010);
        else
            ReadFixture(waveform, fixture, line, label);
        return;
    }
    ReadRow(waveform, words, line, label);
}

WVFRM* WVFRM_Current() { return g_current; }

void WVFRM_ClearCurrent() { g_current = nullptr; }

void WVFRM_Free(WVFRM* waveform) {
    if (waveform == nullptr) return;
    if (waveform == g_current) g_current = nullptr;
    WVFRM_Free(waveform->composite);
    RNGP_FreeRows(&waveform->points);
    CMN_Free(waveform);
}

void WVFRM_FreeList(WVFRM_LIST* list) {
    if (list == nullptr) return;
    for (WVFRM* waveform = list->head; waveform != nullptr;) {
        WVFRM* next = waveform->next;
        WVFRM_Free(waveform);
        waveform = next;
    }
    *list = WVFRM_LIST{};
}
