#pragma once
// I-V tables: [Pulldown], [Pullup], [GND Clamp], [POWER Clamp], [ISSO PD],
// [ISSO PU], the Series_Current tables and the tables of [Series MOSFET],
// of models and submodels.
//
// The owning section starts a table at its keyword (CRV_Start), hands it
// every data line (CRV_Row) and ends it when the next keyword arrives
// (CRV_End), which runs the table's closing checks.

#include "IbisParser/rngp.h"

// One column's direction while rows arrive, for the non-monotonic note.
struct CRV_TRACKER {
    double last;
    signed char state;      // 0 nothing seen, 1 tracking, 2 reported
    signed char direction;  // 0 unknown, 1 increasing, -1 decreasing
};

// The row at one end of the voltage axis, as far as the direction check
// needs it.
struct CRV_EDGE {
    double voltage;
    double typ;
    int typState;
    int known;
};

// One I-V table; the Series_Current tables of a series element form a list.
struct CRV {
    CRV* next;
    RNGP_TABLE points;  // first column "Voltage", currents typ/min/max
    unsigned long startLine;
    // State while the table is read.
    CRV_TRACKER trackers[4];  // Voltage, Typical, Minimum, Maximum
    CRV_EDGE lowest;
    CRV_EDGE highest;
};

// One [Series MOSFET] entry: its Vds and its I-V table. The entries of one
// series element form a list in file order; the first entry keeps the tail
// and the count so that appending stays cheap.
struct SMOSFET {
    SMOSFET* next;
    double vds;
    int vdsGiven;
    int vdsLineSeen;  // the line after the keyword has been read
    unsigned long startLine;
    CRV* table;
    SMOSFET* listTail;  // kept in the first entry only
    int listCount;      // kept in the first entry only
};

// --- I-V tables ----------------------------------------------------------------------
// Starts a table at its keyword line `line`: a table already in *slot is
// error 1100 and released; words after the keyword are error 1104. 1 with
// the new empty table in *slot, or 0 (slot empty) when memory ran out.
int CRV_Start(const char* line, CRV** slot, const char* label);

// One data line of an open table: the row is read and appended (repeated
// voltage 1403), columns that stop being monotonic are noted (1110), an NA
// voltage is error 1106, and the 101st row is error 1107.
void CRV_Row(const char* line, CRV* table, const char* label);

// The closing checks of a table, naming its owner ("Model" or "Submodel"
// and the name): too few rows (1108), NA at the ends (1109), the current
// direction expected of the table kind `keyword` and the owner's model type
// (1111, 1112), and for the clamps the zero crossing (1113 to 1115).
void CRV_End(const char* ownerName, int modelType, int keyword, CRV* table, const char* label, const char* ownerWord);

// Lifts the 100-row limit of I-V tables (off at the start). Returns the new
// value.
int CRV_SetUnlimitedPoints(int on);

// --- Interpolation -------------------------------------------------------------------
// Currents of a table at one voltage.
struct CRV_AT {
    double value[3];  // indexed by RNG_TYP, RNG_MIN, RNG_MAX
    int given[3];     // whether the column could be interpolated
};

// The typ, min and max currents of `table` at voltage x, each interpolated
// linearly between the two rows whose voltages bracket x (an NA value
// standing for the row's typ). Rows closer than 1e-6 of their voltage to
// the row before are passed over. Returns how many columns were produced.
int CRV_CurrentAt(const CRV* table, double x, CRV_AT* at);

// --- [Series MOSFET] ---------------------------------------------------------------
// A new entry at the end of *list, at its keyword line: the 101st entry is
// error 2800, words after the keyword 2803. The entry, or null when memory
// ran out.
SMOSFET* CRV_MosfetStart(const char* line, SMOSFET** list);
// A data line of an entry: the first is the Vds line, the rest are rows.
void CRV_MosfetDataLine(const char* line, SMOSFET* entry);
// Closing checks of an entry: Vds missing (2804) or negative (2805), then
// those of its table.
void CRV_MosfetEnd(SMOSFET* entry, const char* modelName, int modelType);
// Entries of one series element whose Vds values agree within 1e-9 (2806,
// once per pair, naming the model and the series element's label).
void CRV_CheckMosfetList(const SMOSFET* list, const char* modelName, const char* label);

// Release one table, a list of tables, or a list of entries.
void CRV_Free(CRV* table);
void CRV_FreeList(CRV* list);
void CRV_FreeMosfetList(SMOSFET* list);
