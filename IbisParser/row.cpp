// [Row] of a package matrix: the row's pin, its number of value slots by
// matrix type, and its values. Rows of a full matrix hold the upper triangle
// (N - n values for row n + 1); rows of a banded matrix hold the diagonal
// and B values to its right, fewer near the end unless the matrix wraps
// around ("circle-back"); sparse rows name the column of each value.

#include "IbisParser/row.h"

#include <cstdint>
#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"
#include "IbisParser/mtx.h"
#include "IbisParser/parse.h"
#include "IbisParser/pkgmdl_internal.h"

namespace {

unsigned SlotsOfNextRow(const MTX* matrix) {
    const unsigned pins = matrix->uiRowCount;
    const unsigned present = matrix->rowsPresent;
    const unsigned band = matrix->bandwidth + 1;
    switch (matrix->eMatrixType) {
        case MTX_TYPE_BANDED: return band < pins - present ? band : pins - present;
        case MTX_TYPE_BANDED_CIRCLE_BACK: return band;
        case MTX_TYPE_SPARSE: return pins;
        case MTX_TYPE_FULL: return pins - present;
        default: return 0;
    }
}

bool Store(ROW* row, unsigned column, double value) {
    if (row->valueCount == row->valueCapacity) {
        const unsigned capacity = row->valueCapacity == 0 ? 8 : 2 * row->valueCapacity;
        ROW_VALUE* values = row->values;
        const bool made = values == nullptr ? CMN_Calloc(&values, capacity * sizeof *values)
                                            : CMN_Realloc(&values, capacity * sizeof *values);
        if (!made) {
            MSG_ErrorLine(3106);
            return false;
        }
        row->values = values;
        row->valueCapacity = capacity;
    }
    row->values[row->valueCount++] = ROW_VALUE{column, value};
    return true;
}

// A value of a row; false (reported) when it is not a number.
bool ReadValue(const char* word, double* value) {
    const int result = CMN_ParseScaled(word, value);
    if (result == CMN_NUM_BAD) {
        MSG_ErrorLine(3103);
        return false;
    }
    if (result == CMN_NUM_SUSPICIOUS) MSG_WarningLine(3104);
    return true;
}

// A full banded row takes one more value only by turning the matrix into a
// circle-back one, in which every row holds B + 1 values.
bool WidenBanded(MTX* matrix, ROW* row) {
    const unsigned band = matrix->bandwidth + 1;
    const std::uint64_t reach = static_cast<std::uint64_t>(row->uiColumnCount) + matrix->rowsPresent;
    if (row->uiColumnCount >= band || matrix->uiRowCount >= reach ||
        matrix->eMatrixType == MTX_TYPE_BANDED_CIRCLE_BACK) {
        MSG_ErrorLine(3107, row->uiColumnCount);
        return false;
    }
    const unsigned limit = (matrix->uiRowCount - 1) / 2;
    if (limit < matrix->bandwidth) {
        MSG_ErrorLine(3708, limit);
        return false;
    }
    matrix->eMatrixType = MTX_TYPE_BANDED_CIRCLE_BACK;
    for (ROW* each = matrix->rows; each != nullptr; each = each->next) each->uiColumnCount = band;
    return true;
}

// Values of a full or banded row fill its slots in order; the first is the
// diagonal. Each value that finds no slot is reported on its own, so a row
// two values too long draws two errors; any other fault ends the line.
void SlotValues(MTX* matrix, ROW* row, const char* line) {
    char word[PARSE_LINE_BUFFER];
    for (const char* cursor = PKGMDL_Word(line, word, sizeof word); word[0] != '\0';
         cursor = PKGMDL_Word(cursor, word, sizeof word)) {
        double value = 0.0;
        if (!ReadValue(word, &value)) return;
        if (row->valueCount >= row->uiColumnCount) {
            if (matrix->eMatrixType == MTX_TYPE_FULL) {
                MSG_ErrorLine(3105);
                continue;
            }
            if (!WidenBanded(matrix, row)) continue;
        }
        if (!Store(row, row->valueCount, value)) return;
        row->selfCoupled = 1;
    }
}

// A sparse line: the column's pin name and one value.
void SparseValue(MTX* matrix, ROW* row, const char* line) {
    char column[PARSE_LINE_BUFFER];
    const char* cursor = PKGMDL_Word(line, column, sizeof column);
    if (column[0] == '\0') {
        MSG_ErrorLine(3110);
        return;
    }
    column[PKGMDL_PIN_NAME_MAX] = '\0';  // pin names are kept to this length
    const unsigned index = PKGMDL_PinIndex(column);
    if (index == 0) {
        MSG_ErrorLine(3100, column);
        return;
    }
    if (index < row->position) {
        MSG_ErrorLine(3111);
        return;
    }
    if (MTX_SeenCell(matrix, row->position, index)) {
        MSG_ErrorLine(3113, index);
        return;
    }
    char text[PARSE_LINE_BUFFER];
    cursor = PKGMDL_Word(cursor, text, sizeof text);
    if (text[0] == '\0') {
        MSG_ErrorLine(3114);
        return;
    }
    char extra[PARSE_LINE_BUFFER];
    PKGMDL_Word(cursor, extra, sizeof extra);
    if (extra[0] != '\0') {
        MSG_ErrorLine(3115, extra);
        return;
    }
    double value = 0.0;
    if (!ReadValue(text, &value)) return;
    if (!Store(row, index - 1, value)) return;
    MTX_UseCell(matrix, row->position, index);
    if (index == row->pinIndex) row->selfCoupled = 1;
}

}  // namespace

void ROW_KeywordLine(MTX* matrix, const char* rest) {
    if (matrix->eMatrixType == MTX_TYPE_NONE) return;  // its type was reported
    if (matrix->rowsPresent > matrix->uiRowCount) return;
    const unsigned slots = SlotsOfNextRow(matrix);
    if (*rest == '\0') {
        MSG_ErrorLine(3120);
        return;
    }
    char name[PKGMDL_PIN_NAME_MAX + 1];
    size_t length = std::strlen(rest);
    if (length > PKGMDL_PIN_NAME_MAX) {
        MSG_ErrorLine(3121);
        length = PKGMDL_PIN_NAME_MAX;
    }
    std::memcpy(name, rest, length);
    name[length] = '\0';
    CMN_CheckReserved(name);
    if (slots == 0) {
        MSG_ErrorLine(3122);
        return;
    }
    const unsigned index = PKGMDL_PinIndex(name);
    if (index == 0) {
        MSG_ErrorLine(3100, name);
        return;
    }
    if (MTX_SeenRowName(matrix, name)) {
        MSG_ErrorLine(3101, name);
        return;
    }
    ROW* row = nullptr;
    if (!CMN_Calloc(&row, sizeof *row)) {
        MSG_ErrorLine(3119);
        return;
    }
    std::memcpy(row->name, name, sizeof name);
    row->uiColumnCount = slots;
    row->pinIndex = index;
    row->position = ++matrix->rowsPresent;
    if (matrix->rowsTail != nullptr)
        matrix->rowsTail->next = row;
    else
        matrix->rows = row;
    matrix->rowsTail = row;
    if (index != row->position) MSG_ErrorLine(3102, name, index, row->position);
    g_pkgmdl.currentRow = row;
}

void ROW_DataLine(MTX* matrix, ROW* row, const char* line) {
    if (matrix->eMatrixType == MTX_TYPE_SPARSE)
        SparseValue(matrix, row, line);
    else
        SlotValues(matrix, row, line);
}

void ROW_FreeList(ROW* list) {
    while (list != nullptr) {
        ROW* next = list->next;
        if (list->values != nullptr) CMN_Free(list->values);
        CMN_Free(list);
        list = next;
    }
}
