// The keyword tables of IBIS 2.1, 3.2, 4.2 and 5.0.
//
// Each version knows a subset of the ids, listed in a fixed order: the order
// matters because the first entry whose name matches wins, and the ids that
// share a name (Manufacturer, Number of Pins, the submodel tables) must meet
// their lowest id first. The tables are assembled at compile time from runs
// of ids so that each version's list reads as the set of keywords it adds.

#include "IbisParser/parse_keywords.h"

#include <array>
#include <cstddef>

namespace {

// Table name of every id, indexed by id.
constexpr const char* kNames[KW::COUNT] = {
    "IBIS_VER", "COMMENT_CHAR", "FILE_NAME", "FILE_REV", "DATE", "SOURCE", "NOTES", "DISCLAIMER",
    "COPYRIGHT", "COMPONENT", "MANUFACTURER", "PACKAGE", "PIN", "PACKAGE_MODEL", "PIN_MAPPING",
    "DIFF_PIN", "SERIES_SWITCH_GROUPS", "SERIES_PIN_MAPPING", "ALTERNATE_PACKAGE_MODELS",
    "END_ALTERNATE_PACKAGE_MODELS", "NODE_DECLARATIONS", "END_NODE_DECLARATIONS", "CIRCUIT_CALL",
    "END_CIRCUIT_CALL", "EXTERNAL_CIRCUIT", "END_EXTERNAL_CIRCUIT", "BEGIN_EMI_COMPONENT",
    "END_EMI_COMPONENT", "PIN_EMI", "PIN_DOMAIN_EMI", "EXTERNAL_MODEL", "END_EXTERNAL_MODEL", "MODEL",
    "TEMPERATURE_RANGE", "VOLTAGE_RANGE", "PULLUP_REFERENCE", "PULLDOWN_REFERENCE",
    "POWER_CLAMP_REFERENCE", "GND_CLAMP_REFERENCE", "EXTERNAL_REFERENCE", "PULLDOWN", "PULLUP",
    "GND_CLAMP", "POWER_CLAMP", "RGND", "RPOWER", "RAC", "CAC", "RAMP", "RISING_WAVEFORM",
    "FALLING_WAVEFORM", "TTGND", "TTPOWER", "MODEL_SPEC", "RECEIVER_THRESHOLDS", "DRIVER_SCHEDULE", "ON",
    "OFF", "R_SERIES", "L_SERIES", "RL_SERIES", "C_SERIES", "LC_SERIES", "RC_SERIES", "SERIES_CURRENT",
    "SERIES_MOSFET", "ADD_SUBMODEL", "ALGORITHMIC_MODEL", "END_ALGORITHMIC_MODEL", "ISSO_PD", "ISSO_PU",
    "COMPOSITE_CURRENT", "BEGIN_EMI_MODEL", "END_EMI_MODEL", "DEFINE_PACKAGE_MODEL", "MANUFACTURER",
    "OEM", "DESCRIPTION", "NUMBER_OF_PINS", "PIN_NUMBERS", "MODEL_DATA", "RESISTANCE_MATRIX",
    "INDUCTANCE_MATRIX", "CAPACITANCE_MATRIX", "BANDWIDTH", "ROW", "END_MODEL_DATA",
    "END_PACKAGE_MODEL", "NUMBER_OF_SECTIONS", "BEGIN_BOARD_DESCRIPTION", "MANUFACTURER",
    "NUMBER_OF_PINS", "PIN_LIST", "PATH_DESCRIPTION", "REFERENCE_DESIGNATOR_MAP",
    "END_BOARD_DESCRIPTION", "MODEL_SELECTOR", "SUBMODEL", "SUBMODEL_SPEC", "GND_PULSE_TABLE",
    "POWER_PULSE_TABLE", "PULLDOWN", "PULLUP", "GND_CLAMP", "POWER_CLAMP", "RAMP", "RISING_WAVEFORM",
    "FALLING_WAVEFORM", "TEST_DATA", "RISING_WAVEFORM_NEAR", "RISING_WAVEFORM_FAR",
    "FALLING_WAVEFORM_NEAR", "FALLING_WAVEFORM_FAR", "DIFF_RISING_WAVEFORM_NEAR",
    "DIFF_RISING_WAVEFORM_FAR", "DIFF_FALLING_WAVEFORM_NEAR", "DIFF_FALLING_WAVEFORM_FAR", "TEST_LOAD",
    "END", "NOT_KEY",
};

// An inclusive run of ids.
struct IdRun {
    int first;
    int last;
};

template <std::size_t Size, std::size_t Runs>
constexpr std::array<KEYWORD, Size> BuildTable(const IdRun (&runs)[Runs]) {
    std::array<KEYWORD, Size> table{};
    std::size_t at = 0;
    for (const IdRun& run : runs)
        for (int id = run.first; id <= run.last; ++id) table[at++] = KEYWORD{kNames[id], id};
    // Every table closes with [Comment Char], [End] and the end marker.
    table[at++] = KEYWORD{kNames[KW::COMMENT_CHAR], KW::COMMENT_CHAR};
    table[at++] = KEYWORD{kNames[KW::END], KW::END};
    table[at++] = KEYWORD{kNames[KW::NOT_KEY], KW::NOT_KEY};
    // A wrong size leaves a default entry behind, which the checks below catch.
    return table;
}

constexpr IdRun kRuns21[] = {{0, 0}, {2, 15}, {32, 38}, {40, 50}, {74, 87}};
constexpr IdRun kRuns32[] = {{0, 0}, {2, 17}, {32, 53}, {55, 66}, {74, 107}};
constexpr IdRun kRuns42[] = {{0, 0}, {2, 23}, {30, 66}, {74, 117}, {24, 25}};
constexpr IdRun kRuns50[] = {{0, 0}, {2, 23}, {26, 117}, {24, 25}};

constexpr auto kTable21 = BuildTable<50>(kRuns21);
constexpr auto kTable32 = BuildTable<88>(kRuns32);
constexpr auto kTable42 = BuildTable<109>(kRuns42);
constexpr auto kTable50 = BuildTable<120>(kRuns50);

template <std::size_t Size>
constexpr bool EveryEntryFilled(const std::array<KEYWORD, Size>& table) {
    for (const KEYWORD& entry : table)
        if (entry.name == nullptr) return false;
    return table[Size - 1].id == KW::NOT_KEY;
}
static_assert(EveryEntryFilled(kTable21) && EveryEntryFilled(kTable32) && EveryEntryFilled(kTable42) &&
              EveryEntryFilled(kTable50));

}  // namespace

const KEYWORD* PARSE_KeywordTable(PARSE_Version version) {
    switch (version) {
        case PARSE_VERSION_2_1: return kTable21.data();
        case PARSE_VERSION_3_2: return kTable32.data();
        case PARSE_VERSION_4_2: return kTable42.data();
        case PARSE_VERSION_5_0: break;
    }
    return kTable50.data();
}

int PARSE_KeywordTableSize(PARSE_Version version) {
    switch (version) {
        case PARSE_VERSION_2_1: return static_cast<int>(kTable21.size());
        case PARSE_VERSION_3_2: return static_cast<int>(kTable32.size());
        case PARSE_VERSION_4_2: return static_cast<int>(kTable42.size());
        case PARSE_VERSION_5_0: break;
    }
    return static_cast<int>(kTable50.size());
}

PARSE_Version PARSE_VersionOfLevel(int level) {
    if (level <= 2) return PARSE_VERSION_2_1;
    if (level == 3) return PARSE_VERSION_3_2;
    if (level == 4) return PARSE_VERSION_4_2;
    return PARSE_VERSION_5_0;
}
