// Typical/minimum/maximum rows.

#include "IbisParser/rng.h"

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"

#define RNG_MODULE "IbisParser\\rng"

namespace {

constexpr int kValues = 3;
const char* const kQualifiers[kValues] = {"Typical", "Minimum", "Maximum"};

// Typical above both limits, or below both, whichever way round they are.
bool TypicalOutsideLimits(const RNG& range) {
    const double typ = range.value[RNG_TYP];
    const double min = range.value[RNG_MIN];
    const double max = range.value[RNG_MAX];
    return (typ > min && typ > max) || (typ < min && typ < max);
}

}  // namespace

RNG* RNG_New() {
    RNG* range = nullptr;
    if (!CMN_Calloc(&range, sizeof *range)) {
        MSG_Bug(3904, RNG_MODULE, __LINE__);
        return nullptr;
    }
    return range;
}

void RNG_Free(RNG* range) {
    if (range != nullptr) CMN_Free(range);
}

int RNG_ParseLine(const char* line, const char* fieldName, RNG** place) {
    MSG_REQUIRE(line != nullptr && fieldName != nullptr && place != nullptr, RNG_MODULE);
    *place = nullptr;

    TOKENLIST tokens;
    if (!CMN_SplitLine(line, kValues, &tokens)) {
        MSG_BugLine(MSG_RNG_UNABLE_TO_PARSE, fieldName, RNG_MODULE, __LINE__);
        CMN_FreeTokens(&tokens);
        return 0;
    }
    // A line with no value or too many is still read: the record holds the
    // first three values, absent where the line has none.
    if (tokens.found == 0 || tokens.found > kValues) {
        MSG_ErrorLine(3902, tokens.found, fieldName, kValues);
    } else {
        // Report each missing value by name, the minimum before the maximum.
        for (int missing = tokens.found; missing < kValues; ++missing) {
            const char* name = missing == RNG_MIN ? "minimum" : "maximum";
            MSG_ErrorLine(MSG_RNG_NO_VALUE, name, fieldName);
        }
    }

    RNG* range = RNG_New();
    if (range == nullptr) {
        CMN_FreeTokens(&tokens);
        return 0;
    }
    int allRead = 1;
    for (int corner = 0; corner < kValues; ++corner) {
        if (!CMN_GetOptionalValue(tokens.tokens[corner], kQualifiers[corner], fieldName, &range->value[corner],
                                  &range->state[corner]))
            allRead = 0;
    }
    CMN_FreeTokens(&tokens);

    const bool allGiven = range->state[RNG_TYP] == CMN_OPT_GIVEN && range->state[RNG_MIN] == CMN_OPT_GIVEN &&
                          range->state[RNG_MAX] == CMN_OPT_GIVEN;
    if (allGiven && TypicalOutsideLimits(*range)) MSG_WarningLine(3903);

    *place = range;
    return allRead;
}
