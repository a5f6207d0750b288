// Number conversion: plain unsigned and double, "NA" and optional values.
// Numbers with scale suffixes are read in cmn_decimal.cpp.

#include <cerrno>
#include <cstdlib>

#include "IbisParser/cmn.h"
#include "IbisParser/cmn_internal.h"

namespace {

// "NA" in any letter case; the texts of table rows pass here by the
// million, so no general comparison.
bool IsNA(const char* text) {
    return (text[0] == 'N' || text[0] == 'n') && (text[1] == 'A' || text[1] == 'a') && text[2] == '\0';
}

}  // namespace

int CMN_ParseUnsigned(const char* text, unsigned long* value) {
    CMN_REQUIRE(text != nullptr && value != nullptr);
    const char* start = text;
    while (CMN_IsSpace(*start)) ++start;
    if (*start == '-') return CMN_NUM_BAD;
    char* end = nullptr;
    errno = 0;
    *value = std::strtoul(start, &end, 10);
    if (end == start) return CMN_NUM_BAD;
    // A count too large for the type is no usable number.
    if (errno == ERANGE) return CMN_NUM_BAD;
    return *end != '\0' ? CMN_NUM_SUSPICIOUS : CMN_NUM_GOOD;
}

int CMN_ParseDouble(const char* text, double* value) {
    CMN_REQUIRE(text != nullptr && value != nullptr);
    char* end = nullptr;
    *value = std::strtod(text, &end);
    if (end == text) return CMN_NUM_BAD;
    return *end != '\0' ? CMN_NUM_SUSPICIOUS : CMN_NUM_GOOD;
}

int CMN_GetValueOrNA(const char* text, double* value, int* isNA) {
    CMN_REQUIRE(text != nullptr && value != nullptr && isNA != nullptr);
    if (IsNA(text)) {
        *value = 0.0;
        *isNA = 1;
        return CMN_NUM_GOOD;
    }
    *isNA = 0;
    return CMN_ParseScaled(text, value);
}

int CMN_GetOptionalValue(const char* text, const char* qualifier, const char* fieldName, double* value,
                         int* state) {
    CMN_REQUIRE(value != nullptr && state != nullptr);
    *state = CMN_OPT_ABSENT;
    if (text == nullptr || *text == '\0') return 1;
    if (IsNA(text)) {
        *value = 0.0;
        *state = CMN_OPT_NA;
        return 1;
    }
    switch (CMN_ParseScaled(text, value)) {
        case CMN_NUM_BAD:
            MSG_ErrorLine(1909, fieldName ? fieldName : "", text);
            return 0;
        case CMN_NUM_SUSPICIOUS:
            MSG_WarningLine(1910, fieldName ? fieldName : "", qualifier ? qualifier : "", text);
            break;
        default: break;
    }
    *state = CMN_OPT_GIVEN;
    return 1;
}
