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

// Scale factor of a suffix letter (exact case), or 0 for none.
double ScaleFactor(char suffix) {
    switch (suffix) {
        case 'T': return 1e12;
        case 'G': return 1e9;
        case 'M': return 1e6;
        case 'k': return 1e3;
        case 'm': return 1e-3;
        case 'u': return 1e-6;
        case 'n': return 1e-9;
        case 'p': return 1e-12;
        case 'f': return 1e-15;
        default: return 0.0;
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
    // strtod on a copy of just the validated digits, so that it cannot read
    // a longer form (hexadecimal) than the one accepted above.
    const double number = std::strtod(std::string(start, length).c_str(), nullptr);
    const char* suffix = start + length;
    if (*suffix == '\0') {
        *value = number;
        return CMN_NUM_GOOD;
    }
    double factor = ScaleFactor(*suffix);
    if (factor == 0.0) {
        if (!IsAsciiLetter(*suffix)) return CMN_NUM_BAD;
        factor = 1.0;  // a unit such as V or A
    }
    *value = number * factor;
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
