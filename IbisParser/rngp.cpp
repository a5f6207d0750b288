// Point tables: reading a row and appending it.

#include "IbisParser/rngp.h"

#include <cstdlib>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"
#include "IbisParser/rng.h"
#include "IbisParser/rngp_seen.h"

#define RNGP_MODULE "IbisParser\\rngp"

namespace {

constexpr int kColumns = 4;  // first column, typical, minimum, maximum
constexpr int kFirstGrowth = 16;

const char* const kMissingNames[] = {"typical", "minimum", "maximum"};
const char* const kValueColumns[] = {"Typical", "Minimum", "Maximum"};

// Reads one word (or its absence) as an optional value into the row.
void ReadColumn(const RNGP_WORDS& words, int index, const char* column, const char* label, double* value,
                signed char* state) {
    char text[RNGP_WORD_MAX + 1];
    int readState = CMN_OPT_ABSENT;
    *value = 0.0;
    if (index < words.stored) {
        RNGP_WordText(&words, index, text, sizeof text);
        CMN_GetOptionalValue(text, column, label, value, &readState);
    }
    if (readState == CMN_OPT_ABSENT) *value = 0.0;
    *state = static_cast<signed char>(readState);
}

bool Grow(RNGP_TABLE* table) {
    const int capacity = table->capacity == 0 ? kFirstGrowth : table->capacity * 2;
    RNGP* rows = table->rows;
    if (!CMN_Realloc(&rows, static_cast<size_t>(capacity) * sizeof(RNGP))) return false;
    table->rows = rows;
    table->capacity = capacity;
    return true;
}

// Whether a given first-column value repeats an earlier one. Values outside
// the span read so far cannot, so tables read in order never build the set.
bool Repeats(RNGP_TABLE* table, double x) {
    if (!table->spanKnown) {
        table->spanKnown = 1;
        table->low = table->high = x;
        return false;
    }
    if (x > table->high || x < table->low) {
        if (x > table->high) table->high = x;
        if (x < table->low) table->low = x;
        if (table->seen != nullptr) RNGP_SeenInsert(table->seen, x);
        return false;
    }
    if (table->seen == nullptr) table->seen = RNGP_SeenBuild(table->rows, table->count);
    if (table->seen == nullptr) {
        // Short of memory for the set: look the slow way.
        for (int i = 0; i < table->count; ++i)
            if (table->rows[i].xState == CMN_OPT_GIVEN && table->rows[i].x == x) return true;
        return false;
    }
    if (RNGP_SeenContains(table->seen, x)) return true;
    RNGP_SeenInsert(table->seen, x);
    return false;
}

}  // namespace

int RNGP_ReadRow(const char* line, const char* label, const char* firstColumn, RNGP* point) {
    MSG_REQUIRE(line != nullptr && label != nullptr && firstColumn != nullptr && point != nullptr, RNGP_MODULE);
    RNGP_WORDS words;
    RNGP_SplitWords(line, kColumns, '\0', &words);
    if (words.found < kColumns) {
        const int firstMissing = words.found < 1 ? 0 : words.found - 1;
        for (int missing = firstMissing; missing < kColumns - 1; ++missing)
            MSG_ErrorLine(1401, kMissingNames[missing], label);
    } else if (words.found > kColumns) {
        MSG_ErrorLine(1402, words.found, label, kColumns);
    }
    ReadColumn(words, 0, firstColumn, label, &point->x, &point->xState);
    for (int corner = RNG_TYP; corner <= RNG_MAX; ++corner)
        ReadColumn(words, corner + 1, kValueColumns[corner], label, &point->value[corner], &point->state[corner]);
    return 1;
}

int RNGP_Append(RNGP_TABLE* table, const RNGP* point, int checkDuplicates) {
    MSG_REQUIRE(table != nullptr && point != nullptr, RNGP_MODULE);
    if (table->count == table->capacity && !Grow(table)) {
        MSG_Bug(1908, RNGP_MODULE, __LINE__);
        return 0;
    }
    if (checkDuplicates && point->xState == CMN_OPT_GIVEN && Repeats(table, point->x)) MSG_WarningLine(1403, point->x);
    table->rows[table->count] = *point;
    return ++table->count;
}

void RNGP_FinishAppending(RNGP_TABLE* table) {
    MSG_REQUIRE(table != nullptr, RNGP_MODULE);
    RNGP_SeenFree(table->seen);
    table->seen = nullptr;
    table->spanKnown = 0;
    if (table->count > 0 && table->count < table->capacity) {
        RNGP* rows = table->rows;
        // Shrinking may fail without harm: the larger block stays.
        void* block = std::realloc(rows, static_cast<size_t>(table->count) * sizeof(RNGP));
        if (block != nullptr) {
            table->rows = static_cast<RNGP*>(block);
            table->capacity = table->count;
        }
    }
}

void RNGP_FreeRows(RNGP_TABLE* table) {
    if (table == nullptr) return;
    if (table->rows != nullptr) CMN_Free(table->rows);
    RNGP_SeenFree(table->seen);
    *table = RNGP_TABLE{};
}

bool RNGP_AnyGiven(const RNGP_TABLE* table, int corner) {
    for (int i = 0; i < table->count; ++i)
        if (table->rows[i].state[corner] == CMN_OPT_GIVEN) return true;
    return false;
}

const char* RNGP_ColumnName(int corner) {
    static const char* const kNames[3] = {"Typical", "Minimum", "Maximum"};
    return kNames[corner];
}
