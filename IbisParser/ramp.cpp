// [Ramp]: the slew rates and R_load.

#include "IbisParser/ramp.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"
#include "IbisParser/rng.h"
#include "IbisParser/rngp.h"

#define RAMP_MODULE "IbisParser\\ramp"

namespace {

constexpr int kCorners = 3;
const char* const kMissingNames[kCorners] = {"typical", "minimum", "maximum"};
const char* const kColumnNames[kCorners] = {"Typical", "Minimum", "Maximum"};

const RNGP_NAMEVALUE kRLoadMessages = {1304, nullptr, 1313, 1314, 1311, "Ramp"};

bool WordIs(const RNGP_WORDS& words, int index, const char* text) {
    const size_t length = std::strlen(text);
    return index < words.stored && words.length[index] == length && std::strncmp(words.start[index], text, length) == 0;
}

// Reads one corner: "NA" or "dV/dT", both numbers with an optional scale.
RAMP_PAIR ReadCorner(const char* text, const char* name, const char* column) {
    RAMP_PAIR pair = {0.0, 0.0, CMN_OPT_ABSENT};
    if (CMN_StrEqualNoCase(text, "NA")) {
        pair.state = CMN_OPT_NA;
        return pair;
    }
    RNGP_WORDS parts;
    RNGP_SplitWords(text, 3, '/', &parts);
    if (parts.found != 3 || !WordIs(parts, 1, "/")) {
        MSG_ErrorLine(1312, name, column, text);
        return pair;
    }
    char dv[RNGP_WORD_MAX + 1];
    char dt[RNGP_WORD_MAX + 1];
    RNGP_WordText(&parts, 0, dv, sizeof dv);
    RNGP_WordText(&parts, 2, dt, sizeof dt);
    const int dvRead = CMN_ParseScaled(dv, &pair.dv);
    const int dtRead = CMN_ParseScaled(dt, &pair.dt);
    if (dvRead == CMN_NUM_BAD || dtRead == CMN_NUM_BAD) {
        MSG_ErrorLine(1312, name, column, text);
        pair.dv = pair.dt = 0.0;
        return pair;
    }
    if (dvRead == CMN_NUM_SUSPICIOUS || dtRead == CMN_NUM_SUSPICIOUS) MSG_WarningLine(1311, name, column, text);
    pair.state = CMN_OPT_GIVEN;
    return pair;
}

void ReadSlewRate(const char* rest, const char* name, RAMP_PAIR pairs[kCorners]) {
    RNGP_WORDS words;
    RNGP_SplitWords(rest, kCorners, '\0', &words);
    if (words.found < kCorners) {
        for (int missing = words.found; missing < kCorners; ++missing)
            MSG_ErrorLine(1308, kMissingNames[missing], name);
    } else if (words.found > kCorners) {
        MSG_ErrorLine(1304, words.found, name, kCorners);
    }
    for (int corner = 0; corner < kCorners; ++corner) {
        pairs[corner] = RAMP_PAIR{0.0, 0.0, CMN_OPT_ABSENT};
        if (corner >= words.stored) continue;
        char text[RNGP_WORD_MAX + 1];
        RNGP_WordText(&words, corner, text, sizeof text);
        pairs[corner] = ReadCorner(text, name, kColumnNames[corner]);
    }
    if (pairs[RNG_TYP].state == CMN_OPT_NA) MSG_ErrorLine(1309, name);
    // A typ counts only when it was read; a missing or unreadable min or max
    // counts as 0 and so is reported too.
    for (int corner = 0; corner < kCorners; ++corner) {
        const RAMP_PAIR& pair = pairs[corner];
        if (corner == RNG_TYP ? pair.state != CMN_OPT_GIVEN : pair.state == CMN_OPT_NA) continue;
        if (pair.dv <= 0.0) MSG_ErrorLine(1310, "dV");
        if (pair.dt <= 0.0) MSG_ErrorLine(1310, "dT");
    }
}

}  // namespace

int RAMP_Start(const char* line, RAMP** slot) {
    MSG_REQUIRE(line != nullptr && slot != nullptr, RAMP_MODULE);
    if (*slot != nullptr) {
        MSG_ErrorLine(1300);
        RAMP_Free(*slot);
        *slot = nullptr;
    }
    RAMP* ramp = nullptr;
    if (!CMN_Calloc(&ramp, sizeof *ramp)) {
        MSG_Bug(1908, RAMP_MODULE, __LINE__);
        return 0;
    }
    ramp->startLine = MSG_GetCurrentLine();
    *slot = ramp;
    const char* rest = RNGP_AfterKeyword(line);
    const int words = rest != nullptr ? RNGP_CountWords(rest) : 0;
    if (words > 0) MSG_ErrorLine(1304, words + 1, "Ramp", 1);
    return 1;
}

void RAMP_DataLine(const char* line, RAMP* ramp, const char* ownerName) {
    MSG_REQUIRE(line != nullptr && ramp != nullptr && ownerName != nullptr, RAMP_MODULE);
    RNGP_WORDS first;
    RNGP_SplitWords(line, 1, '=', &first);
    const bool rising = WordIs(first, 0, "dV/dt_r");
    const bool falling = WordIs(first, 0, "dV/dt_f");
    if (rising || falling) {
        const char* name = rising ? "dV/dt_r" : "dV/dt_f";
        int& seen = rising ? ramp->risingSeen : ramp->fallingSeen;
        if (seen) {
            MSG_ErrorLine(1307, name, ownerName);
            return;
        }
        seen = 1;
        ReadSlewRate(first.start[0] + first.length[0], name, rising ? ramp->rising : ramp->falling);
        return;
    }
    if (WordIs(first, 0, "R_load")) {
        if (ramp->rLoadGiven) {
            MSG_ErrorLine(1307, "R_load", ownerName);
            return;
        }
        double value = 0.0;
        if (RNGP_ReadNameValue(line, "R_load", kRLoadMessages, &value)) {
            ramp->rLoad = value;
            ramp->rLoadGiven = 1;
        }
        return;
    }
    MSG_ErrorLine(1305);
}

void RAMP_End(const RAMP* ramp) {
    MSG_REQUIRE(ramp != nullptr, RAMP_MODULE);
    const int line = static_cast<int>(ramp->startLine);
    if (!ramp->risingSeen) MSG_Error(1306, "dV/dt_r", line);
    if (!ramp->fallingSeen) MSG_Error(1306, "dV/dt_f", line);
}

void RAMP_Free(RAMP* ramp) {
    if (ramp != nullptr) CMN_Free(ramp);
}
