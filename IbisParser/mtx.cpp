// The matrices of a package model: the matrix keyword with its type,
// [Bandwidth], and the checks of the rows when a matrix ends.

#include "IbisParser/mtx.h"

#include <climits>
#include <cstdint>
#include <new>
#include <string>
#include <unordered_set>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse_keywords.h"
#include "IbisParser/pkgmdl_internal.h"
#include "IbisParser/row.h"

struct MTX_SEEN {
    std::unordered_set<std::string> rowNames;
    std::unordered_set<std::uint64_t> cells;
};

namespace {

struct MatrixKind {
    MTX* PKGMDL::*slot;
    int duplicate;
};

MatrixKind KindOf(int keyword) {
    switch (keyword) {
        case KW::RESISTANCE_MATRIX: return {&PKGMDL::resistance, 3460};
        case KW::INDUCTANCE_MATRIX: return {&PKGMDL::inductance, 3461};
        default: return {&PKGMDL::capacitance, 3462};
    }
}

int TypeOf(const char* text) {
    if (CMN_StrEqualNoCase(text, "Banded_matrix")) return MTX_TYPE_BANDED;
    if (CMN_StrEqualNoCase(text, "Sparse_matrix")) return MTX_TYPE_SPARSE;
    if (CMN_StrEqualNoCase(text, "Full_matrix")) return MTX_TYPE_FULL;
    return MTX_TYPE_NONE;
}

void CheckRows(const MTX* matrix) {
    if (matrix->rowsPresent != matrix->uiRowCount) MSG_ErrorLine(3717, matrix->uiRowCount, matrix->rowsPresent);
    bool failed = false;
    for (const ROW* row = matrix->rows; row != nullptr; row = row->next) {
        if (matrix->eMatrixType != MTX_TYPE_SPARSE) {
            if (row->valueCount < row->uiColumnCount) {
                MSG_ErrorLine(3116, row->uiColumnCount, row->name, row->valueCount,
                              row->valueCount == 1 ? '\0' : 's');
                failed = true;
            }
        } else if (row->valueCount == 0) {
            MSG_ErrorLine(3117, row->name);
            failed = true;
        }
        if (!failed && !row->selfCoupled) MSG_ErrorLine(3118, row->name);
    }
}

}  // namespace

void MTX_KeywordLine(int keyword, const char* rest) {
    PKGMDL* model = g_pkgmdl.open;
    g_pkgmdl.matrixKeyword = keyword;
    g_pkgmdl.currentRow = nullptr;
    const MatrixKind kind = KindOf(keyword);
    // Rows under a second matrix of a kind are not added to the matrix
    // still open: they would be reported as its rows.
    MTX_CloseOpen();
    g_pkgmdl.matrixRejected = 1;
    if (model->*kind.slot != nullptr) {
        MSG_ErrorLine(kind.duplicate);
        return;
    }
    if (*rest == '\0')
        MSG_ErrorLine(3701);
    else if (TypeOf(rest) == MTX_TYPE_NONE)
        MSG_ErrorLine(3702, rest);
    MTX* matrix = nullptr;
    if (!CMN_Calloc(&matrix, sizeof *matrix)) {
        MSG_ErrorLine(3700);
        return;
    }
    matrix->eMatrixType = TypeOf(rest);
    matrix->uiRowCount = model->number_of_pins;
    model->*kind.slot = matrix;
    g_pkgmdl.openMatrix = matrix;
    g_pkgmdl.matrixRejected = 0;
}

void MTX_BandwidthLine(MTX* matrix, const char* rest) {
    if (!MTX_IsBanded(matrix)) {
        // A matrix of unknown type was reported with its keyword.
        if (matrix->eMatrixType != MTX_TYPE_NONE) MSG_ErrorLine(3703);
        return;
    }
    matrix->bandwidthGiven = 1;
    unsigned long value = 0;
    const int result = CMN_ParseUnsigned(rest, &value);
    if (result == CMN_NUM_BAD || value > UINT_MAX) {
        MSG_ErrorLine(3704);
        return;
    }
    if (result == CMN_NUM_SUSPICIOUS) MSG_WarningLine(3705);
    if (value >= matrix->uiRowCount) {
        MSG_ErrorLine(3706, static_cast<unsigned>(value), matrix->uiRowCount);
        return;
    }
    matrix->bandwidth = static_cast<unsigned>(value);
}

void MTX_CloseOpen() {
    MTX* matrix = g_pkgmdl.openMatrix;
    g_pkgmdl.openMatrix = nullptr;
    g_pkgmdl.currentRow = nullptr;
    if (matrix == nullptr) return;
    // The rows of a matrix of unknown type were not read.
    if (matrix->eMatrixType != MTX_TYPE_NONE) CheckRows(matrix);
    delete matrix->seen;
    matrix->seen = nullptr;
}

bool MTX_IsBanded(const MTX* matrix) {
    return matrix->eMatrixType == MTX_TYPE_BANDED || matrix->eMatrixType == MTX_TYPE_BANDED_CIRCLE_BACK;
}

void MTX_Free(MTX* matrix) {
    if (matrix == nullptr) return;
    ROW_FreeList(matrix->rows);
    delete matrix->seen;
    CMN_Free(matrix);
}

bool MTX_SeenRowName(MTX* matrix, const char* name) {
    try {
        if (matrix->seen == nullptr) matrix->seen = new MTX_SEEN;
        return !matrix->seen->rowNames.insert(name).second;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

namespace {
std::uint64_t CellKey(unsigned row, unsigned column) { return (static_cast<std::uint64_t>(row) << 32) | column; }
}  // namespace

bool MTX_SeenCell(const MTX* matrix, unsigned row, unsigned column) {
    return matrix->seen != nullptr && matrix->seen->cells.count(CellKey(row, column)) != 0;
}

void MTX_UseCell(MTX* matrix, unsigned row, unsigned column) {
    try {
        if (matrix->seen == nullptr) matrix->seen = new MTX_SEEN;
        matrix->seen->cells.insert(CellKey(row, column));
    } catch (const std::bad_alloc&) {
        // Without memory a repeated column escapes the check.
    }
}
