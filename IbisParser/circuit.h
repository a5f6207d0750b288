#pragma once
// [External Circuit] and [External Model] blocks (the external descriptions
// that name a circuit in another language per corner, with its ports and the
// converters between digital and analog ports), and the checks of a
// component's [Circuit Call]s against them.
//
// The file reader opens a record at [External Circuit] and hands this section
// every line that falls under its keywords; the model section hands over the
// lines of [External Model]. The component section keeps each circuit call's
// reference pins and port map here, and runs CIRCUIT_CheckComponent once the
// whole file has been read.

struct CMPNT;
struct CMPNT_CALL;
struct CMPNT_NAMES;

// Language codes of a description.
constexpr int CIRCUIT_LANGUAGE_NONE = 0;
constexpr int CIRCUIT_LANGUAGE_SPICE = 27;  // also VHDL-A(MS) and Verilog-A(MS)
constexpr int CIRCUIT_LANGUAGE_VHDL_AMS = 28;
constexpr int CIRCUIT_LANGUAGE_VERILOG_AMS = 29;

constexpr int CIRCUIT_NAME_MAX = 40;  // from version level 4; 20 below it
constexpr int CIRCUIT_NAME_MAX_BEFORE_4 = 20;

// A name in a list that keeps file order.
struct CIRCUIT_WORD {
    CIRCUIT_WORD* next;
    char* text;
};

// One D_to_A or A_to_D line.
struct CIRCUIT_CONV {
    CIRCUIT_CONV* next;
    unsigned long line;
    char* digital;
    char* analog1;
    char* analog2;
};

// Typ, Min or Max.
struct CIRCUIT_CORNER {
    int present;
    char* file;
    char* circuit;
    CIRCUIT_CONV* d2a;
    CIRCUIT_CONV* d2aTail;
    CIRCUIT_CONV* a2d;
    CIRCUIT_CONV* a2dTail;
    CMPNT_NAMES* a2dDigital;  // digital ports of this corner's A_to_D lines
};

constexpr int CIRCUIT_TYP = 0;
constexpr int CIRCUIT_MIN = 1;
constexpr int CIRCUIT_MAX = 2;

struct CIRCUIT_DESC {
    int language;
    int languageSeen;
    CIRCUIT_CORNER corners[3];
    CIRCUIT_WORD* ports;
    CIRCUIT_WORD* portsTail;
    int portCount;
    CMPNT_NAMES* portIndex;
    CIRCUIT_WORD* parameters;
    CIRCUIT_WORD* parametersTail;
    // Ports seen so far that exclude each other.
    int dSwitchSeen;
    int dOtherSeen;
};

struct CIRCUIT {
    CIRCUIT* next;
    char name[CIRCUIT_NAME_MAX + 1];
    unsigned long line;  // of the [External Circuit] keyword
    int closed;
    CIRCUIT_DESC desc;
};

// One Port_map entry of a circuit call.
struct CIRCUIT_PORTMAP {
    CIRCUIT_PORTMAP* next;
    char* port;
    char* node;  // a pin or node of the component
};

// Makes a new record at [External Circuit] and puts it in front of the current
// IBIS record's list: 1, or 0 after a message.
int CIRCUIT_Open();
// A keyword line (PARSE_LINE_KEYWORD) or data line (PARSE_LINE_DATA) under
// keyword `keyword` ([External Circuit] or [External Model]); 1 when taken.
int CIRCUIT_HandleLine(int lineClass, int keyword, char* line);
// The keyword `next` follows one of this section's keywords. For an open
// [External Model], [End External Model] runs its end checks.
void CIRCUIT_KeywordChange(int next);
// Releases a list with everything it holds.
void CIRCUIT_FreeList(CIRCUIT* list);

// A data line under [Circuit Call] of `component`'s newest call.
void CIRCUIT_CallLine(CMPNT* component, const char* line);
// Releases what a circuit call keeps here.
void CIRCUIT_FreeCall(CMPNT_CALL* call);
// The closing checks of a component's circuit calls against the file's
// external circuits, and of the kinds of the nodes they connect.
void CIRCUIT_CheckComponent(const CMPNT* component, const CIRCUIT* circuits);
