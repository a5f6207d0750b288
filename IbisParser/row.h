#pragma once
// [Row] of a package matrix: the row's pin and its values, by matrix type.

struct MTX;

// One value of a row: its 0-based slot (sparse rows: the 0-based column).
struct ROW_VALUE {
    unsigned column;
    double value;
};

struct ROW {
    ROW* next;
    char name[6];  // the pin, up to 5 characters
    int selfCoupled;            // holds a value on its own pin
    unsigned uiColumnCount;     // value slots
    unsigned position;          // 1-based place in the matrix
    unsigned pinIndex;          // 1-based index in Pin_Numbers
    ROW_VALUE* values;          // in the order given
    unsigned valueCount;
    unsigned valueCapacity;
};

// The [Row] keyword line of the open matrix; `rest` is the pin name.
void ROW_KeywordLine(MTX* matrix, const char* rest);
// A data line of the current row.
void ROW_DataLine(MTX* matrix, ROW* row, const char* line);
void ROW_FreeList(ROW* list);
