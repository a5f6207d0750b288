// Number conversion: plain unsigned and double, and IBIS numbers with scale
// suffixes ("2.2nF", "5p", "4M") and "NA".

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "IbisParser/cmn.h"
#include "IbisParser/cmn_internal.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the longest leading decimal number: optional sign, digits,
// optional point and fraction (at least one digit in all), optional exponent.
// Infinity, NaN and hexadecimal forms are not numbers here. 0 if none.
size_t DecimalNumberLength(const char* text) {
    size_t i = 0;
    if (text[i] == '+' || text[i] == '-') ++i;
    size_t digits = 0;
    while (IsDigit(text[i])) ++i, ++digits;
    if (text[i] == '.') {
        ++i;
        while (IsDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (text[i] == 'e' || text[i] == 'E') {
        size_t j = i + 1;
        if (text[j] == '+' || text[j] == '-') ++j;
        if (IsDigit(text[j])) {
            while (IsDigit(text[j])) ++j;
            i = j;
        }
    }
    return i;
}

// Power of ten of a suffix letter (exact case); false for any other
// character.
bool ScalePower(char suffix, int* power) {
    switch (suffix) {
        case 'T': *power = 12; return true;
        case 'G': *power = 9; return true;
        case 'M': *power = 6; return true;
        case 'k': *power = 3; return true;
        case 'm': *power = -3; return true;
        case 'u': *power = -6; return true;
        case 'n': *power = -9; return true;
        case 'p': *power = -12; return true;
        case 'f': *power = -15; return true;
        default: return false;
    }
}

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

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

int CMN_ParseScaled(const char* text, double* value) {
    CMN_REQUIRE(text != nullptr && value != nullptr);
    const char* start = text;
    while (CMN_IsSpace(*start)) ++start;
    const size_t length = DecimalNumberLength(start);
    if (length == 0) return CMN_NUM_BAD;
    const char* suffix = start + length;
    int power = 0;
    if (*suffix != '\0' && !ScalePower(*suffix, &power) && !IsAsciiLetter(*suffix))
        return CMN_NUM_BAD;  // a letter that is no scale is a unit such as V or A
    *value = CMN_DecimalTimesPowerOfTen(start, length, power);
    for (const char* p = suffix; *p != '\0'; ++p)
        if (IsDigit(*p)) return CMN_NUM_SUSPICIOUS;  // numeric in scale
    return CMN_NUM_GOOD;
}

int CMN_GetValueOrNA(const char* text, double* value, int* isNA) {
    CMN_REQUIRE(text != nullptr && value != nullptr && isNA != nullptr);
    if (CMN_StrEqualNoCase(text, "NA")) {
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
    if (CMN_StrEqualNoCase(text, "NA")) {
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
