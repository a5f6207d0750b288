#pragma once
// Keyword ids of the IBIS checker and the keyword table of each IBIS version.
//
// Every bracketed keyword the checker knows has one id (0 to 119). A few
// names stand for several ids: [Manufacturer] is a component keyword, a
// package model keyword or a board description keyword depending on where it
// stands, and [Pulldown], [Pullup], ... belong to a [Submodel] once one has
// started. A table lists the first (lowest) id of such a name; the reader
// remaps it by context.

namespace KW {

enum Id : int {
    IBIS_VER = 0,
    COMMENT_CHAR = 1,
    FILE_NAME = 2,
    FILE_REV = 3,
    DATE = 4,
    SOURCE = 5,
    NOTES = 6,
    DISCLAIMER = 7,
    COPYRIGHT = 8,
    COMPONENT = 9,
    MANUFACTURER = 10,
    PACKAGE = 11,
    PIN = 12,
    PACKAGE_MODEL = 13,
    PIN_MAPPING = 14,
    DIFF_PIN = 15,
    SERIES_SWITCH_GROUPS = 16,
    SERIES_PIN_MAPPING = 17,
    ALTERNATE_PACKAGE_MODELS = 18,
    END_ALTERNATE_PACKAGE_MODELS = 19,
    NODE_DECLARATIONS = 20,
    END_NODE_DECLARATIONS = 21,
    CIRCUIT_CALL = 22,
    END_CIRCUIT_CALL = 23,
    EXTERNAL_CIRCUIT = 24,
    END_EXTERNAL_CIRCUIT = 25,
    BEGIN_EMI_COMPONENT = 26,
    END_EMI_COMPONENT = 27,
    PIN_EMI = 28,
    PIN_DOMAIN_EMI = 29,
    EXTERNAL_MODEL = 30,
    END_EXTERNAL_MODEL = 31,
    MODEL = 32,
    TEMPERATURE_RANGE = 33,
    VOLTAGE_RANGE = 34,
    PULLUP_REFERENCE = 35,
    PULLDOWN_REFERENCE = 36,
    POWER_CLAMP_REFERENCE = 37,
    GND_CLAMP_REFERENCE = 38,
    EXTERNAL_REFERENCE = 39,
    PULLDOWN = 40,
    PULLUP = 41,
    GND_CLAMP = 42,
    POWER_CLAMP = 43,
    RGND = 44,
    RPOWER = 45,
    RAC = 46,
    CAC = 47,
    RAMP = 48,
    RISING_WAVEFORM = 49,
    FALLING_WAVEFORM = 50,
    TTGND = 51,
    TTPOWER = 52,
    MODEL_SPEC = 53,
    RECEIVER_THRESHOLDS = 54,
    DRIVER_SCHEDULE = 55,
    ON = 56,
    OFF = 57,
    R_SERIES = 58,
    L_SERIES = 59,
    RL_SERIES = 60,
    C_SERIES = 61,
    LC_SERIES = 62,
    RC_SERIES = 63,
    SERIES_CURRENT = 64,
    SERIES_MOSFET = 65,
    ADD_SUBMODEL = 66,
    ALGORITHMIC_MODEL = 67,
    END_ALGORITHMIC_MODEL = 68,
    ISSO_PD = 69,
    ISSO_PU = 70,
    COMPOSITE_CURRENT = 71,
    BEGIN_EMI_MODEL = 72,
    END_EMI_MODEL = 73,
    DEFINE_PACKAGE_MODEL = 74,
    MANUFACTURER_PKGMDL = 75,  // [Manufacturer] inside a package model
    OEM = 76,
    DESCRIPTION = 77,
    NUMBER_OF_PINS = 78,
    PIN_NUMBERS = 79,
    MODEL_DATA = 80,
    RESISTANCE_MATRIX = 81,
    INDUCTANCE_MATRIX = 82,
    CAPACITANCE_MATRIX = 83,
    BANDWIDTH = 84,
    ROW = 85,
    END_MODEL_DATA = 86,
    END_PACKAGE_MODEL = 87,
    NUMBER_OF_SECTIONS = 88,
    BEGIN_BOARD_DESCRIPTION = 89,
    MANUFACTURER_EBD = 90,    // [Manufacturer] inside a board description
    NUMBER_OF_PINS_EBD = 91,  // [Number of Pins] of an .ebd file
    PIN_LIST = 92,
    PATH_DESCRIPTION = 93,
    REFERENCE_DESIGNATOR_MAP = 94,
    END_BOARD_DESCRIPTION = 95,
    MODEL_SELECTOR = 96,
    SUBMODEL = 97,
    SUBMODEL_SPEC = 98,
    GND_PULSE_TABLE = 99,
    POWER_PULSE_TABLE = 100,
    PULLDOWN_SUBMDL = 101,  // the I-V tables and waveforms of a [Submodel]
    PULLUP_SUBMDL = 102,
    GND_CLAMP_SUBMDL = 103,
    POWER_CLAMP_SUBMDL = 104,
    RAMP_SUBMDL = 105,
    RISING_WAVEFORM_SUBMDL = 106,
    FALLING_WAVEFORM_SUBMDL = 107,
    TEST_DATA = 108,
    RISING_WAVEFORM_NEAR = 109,
    RISING_WAVEFORM_FAR = 110,
    FALLING_WAVEFORM_NEAR = 111,
    FALLING_WAVEFORM_FAR = 112,
    DIFF_RISING_WAVEFORM_NEAR = 113,
    DIFF_RISING_WAVEFORM_FAR = 114,
    DIFF_FALLING_WAVEFORM_NEAR = 115,
    DIFF_FALLING_WAVEFORM_FAR = 116,
    TEST_LOAD = 117,
    END = 118,
    NOT_KEY = 119,  // no keyword, or an unrecognised one; also ends every table
};

constexpr int COUNT = 120;

}  // namespace KW

// One entry of a version's keyword table.
struct KEYWORD {
    const char* name;  // upper case, words joined by '_'
    int id;
};

// The four IBIS versions the checker knows, in the order of their tables.
enum PARSE_Version { PARSE_VERSION_2_1, PARSE_VERSION_3_2, PARSE_VERSION_4_2, PARSE_VERSION_5_0 };

// The keyword table of a version; the last entry is {"NOT_KEY", KW::NOT_KEY}.
const KEYWORD* PARSE_KeywordTable(PARSE_Version version);
// Number of entries in that table, the closing NOT_KEY entry included.
int PARSE_KeywordTableSize(PARSE_Version version);
// The table a version level (the first digit of [IBIS Ver]) reads with:
// 2 or lower 2.1, 3 3.2, 4 4.2, 5 or more 5.0.
PARSE_Version PARSE_VersionOfLevel(int level);
