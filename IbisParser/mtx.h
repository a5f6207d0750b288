#pragma once
// The matrices of a package model: [Resistance Matrix], [Inductance Matrix],
// [Capacitance Matrix], their [Bandwidth] and the checks when a matrix ends.

struct ROW;

// Matrix types.
constexpr int MTX_TYPE_NONE = 0;
constexpr int MTX_TYPE_BANDED = 1;
constexpr int MTX_TYPE_BANDED_CIRCLE_BACK = 2;  // a banded matrix whose last rows wrap around
constexpr int MTX_TYPE_SPARSE = 3;
constexpr int MTX_TYPE_FULL = 4;

struct MTX_SEEN;

struct MTX {
    int eMatrixType;
    unsigned uiRowCount;  // the number of pins: the rows expected
    int bandwidthGiven;
    unsigned bandwidth;
    ROW* rows;  // file order
    ROW* rowsTail;
    unsigned rowsPresent;
    MTX_SEEN* seen;  // while the matrix is read: row names and sparse cells used
};

// A matrix keyword line (RESISTANCE_MATRIX, INDUCTANCE_MATRIX,
// CAPACITANCE_MATRIX) of the open model; `rest` is the text after it.
void MTX_KeywordLine(int keyword, const char* rest);
// [Bandwidth] of the open matrix.
void MTX_BandwidthLine(MTX* matrix, const char* rest);
// Ends the open matrix with its checks (3717, 3116, 3117, 3118).
void MTX_CloseOpen();
bool MTX_IsBanded(const MTX* matrix);
void MTX_Free(MTX* matrix);

// Cells of the open matrix already used: row names, and (row, column) of
// sparse rows. MTX_SeenRowName keeps the name and returns true when it was
// already there; MTX_SeenCell only asks, MTX_UseCell keeps the cell.
bool MTX_SeenRowName(MTX* matrix, const char* name);
bool MTX_SeenCell(const MTX* matrix, unsigned row, unsigned column);
void MTX_UseCell(MTX* matrix, unsigned row, unsigned column);
