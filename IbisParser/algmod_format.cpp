// Format leaves of AMI parameters: the shape each format asks of its
// values. A Default is judged by its type alone (reserved parameters), never
// against the values its Format lists.

#include <cstring>
#include <utility>

#include "IbisParser/algmod_internal.h"
#include "IbisParser/msg.h"

namespace {

// How many values a Format leaf holds (its name included) and how many of
// those after the name must be numbers.
struct FormatShape {
    int keyword;
    int values;   // exact count; kAtLeastTwo and kAnyCount below
    int numbers;  // checked from the second value on
};
constexpr int kAtLeastTwo = -2;
constexpr int kAnyCount = -1;

constexpr FormatShape kShapes[] = {
    {VALUE_KEYWORD_VALUE, 2, 1},      {VALUE_KEYWORD_RANGE, 4, 3},
    {VALUE_KEYWORD_LIST, kAtLeastTwo, 0}, {VALUE_KEYWORD_CORNER, 4, 3},
    {VALUE_KEYWORD_INCREMENT, 5, 4},  {VALUE_KEYWORD_STEPS, 5, 4},
    {VALUE_KEYWORD_TABLE, kAnyCount, 0}, {VALUE_KEYWORD_GAUSSIAN, 3, 2},
    {VALUE_KEYWORD_DUAL_DIRAC, 4, 3}, {VALUE_KEYWORD_DJRJ, 4, 3},
};

const FormatShape* ShapeOf(int keyword) {
    for (const FormatShape& shape : kShapes)
        if (shape.keyword == keyword) return &shape;
    return nullptr;
}

bool IsNumber(const LeafValue& value) {
    return value.type == VALUE_TYPE_INTEGER || value.type == VALUE_TYPE_REAL;
}

// Whether a value may stand where a format expects a number. A number
// always may, whatever the parameter's type; a String or Boolean parameter
// may also list its own kind of values ((Type Boolean) (Format Value True)).
bool FitsDeclaredType(const LeafValue& value, int declaredType) {
    if (IsNumber(value)) return true;
    switch (declaredType) {
        case VALUE_KEYWORD_STRING: return true;
        case VALUE_KEYWORD_BOOLEAN: return value.type == VALUE_TYPE_BOOLEAN;
        default: return false;
    }
}

// The first leaf of `parameter` with this leaf keyword that holds values.
const TreeLeaf* FindLeaf(const TreeBranch* parameter, int keyword) {
    for (int i = 0; i < parameter->child_count; ++i) {
        const TreeLeaf* leaf = tree_entry_leaf(parameter->children[i]);
        if (leaf != nullptr && leaf->keyword == keyword && leaf->value_count > 0 && leaf->values != nullptr)
            return leaf;
    }
    return nullptr;
}

}  // namespace

bool ALGMOD_IsFormat(int valueKeyword) { return ShapeOf(valueKeyword) != nullptr; }

bool ALGMOD_FormatFits(const TreeLeaf* format, int declaredType, int* expected) {
    MSG_REQUIRE(format != nullptr && expected != nullptr, ALGMOD_MODULE);
    *expected = 0;
    if (format->value_count <= 0 || format->values == nullptr) return false;
    const FormatShape* shape = ShapeOf(format->values[0].keyword);
    if (shape == nullptr) return false;
    // A List needs one entry at least; a Table is not looked into.
    if (shape->values == kAnyCount) return true;
    if (shape->values == kAtLeastTwo) {
        *expected = 1;
        return format->value_count >= 2;
    }
    *expected = shape->numbers;
    if (format->value_count != shape->values) return false;
    for (int i = 1; i <= shape->numbers; ++i)
        if (!FitsDeclaredType(format->values[i], declaredType)) return false;
    return true;
}

int ALGMOD_DeclaredType(const TreeBranch* parameter) {
    if (parameter == nullptr || parameter->children == nullptr) return VALUE_KEYWORD_NONE;
    const TreeLeaf* type = FindLeaf(parameter, LEAF_KEYWORD_TYPE);
    return type != nullptr ? type->values[0].keyword : VALUE_KEYWORD_NONE;
}
