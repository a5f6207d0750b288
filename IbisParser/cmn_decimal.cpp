// Decimal numbers scaled by a power of ten, correctly rounded.

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>

#include "IbisParser/cmn_internal.h"

namespace {

// Exponents are kept within this bound while they are read and shifted: far
// beyond the range of a double, and far beyond any count of digits a
// mantissa can have, so the bound never changes the value.
constexpr long kExponentBound = 100000000;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The exponent digits after "e" or "E", with their sign; saturated.
long ReadExponent(const char* p, const char* end) {
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    long exponent = 0;
    for (; p < end && IsDigit(*p); ++p)
        if (exponent < kExponentBound) exponent = exponent * 10 + (*p - '0');
    return negative ? -exponent : exponent;
}

// An unsigned decimal text in the form from_chars reads.
double Convert(const char* first, const char* last) {
    double value = 0.0;
    const std::from_chars_result read = std::from_chars(first, last, value, std::chars_format::general);
    if (read.ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone; strtod gives the infinity of an
        // overflow and the nearest subnormal or zero of an underflow. The
        // digits are ASCII and the text ends at `last`.
        const std::string copy(first, last);
        value = std::strtod(copy.c_str(), nullptr);
    }
    return value;
}

}  // namespace

double CMN_DecimalTimesPowerOfTen(const char* number, size_t length, int power) {
    const char* p = number;
    const char* end = number + length;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    const char* mantissaEnd = p;
    while (mantissaEnd < end && *mantissaEnd != 'e' && *mantissaEnd != 'E') ++mantissaEnd;

    double magnitude = 0.0;
    if (power == 0) {
        magnitude = Convert(p, end);
    } else {
        const long exponent = ReadExponent(mantissaEnd + (mantissaEnd < end ? 1 : 0), end) + power;
        char exponentText[24] = {'e'};
        const std::to_chars_result written =
            std::to_chars(exponentText + 1, exponentText + sizeof exponentText, exponent);
        const size_t exponentLength = static_cast<size_t>(written.ptr - exponentText);
        const size_t mantissaLength = static_cast<size_t>(mantissaEnd - p);
        // Checker lines are short; a longer mantissa takes the slow road.
        char local[160];
        std::string longer;
        char* text = local;
        if (mantissaLength + exponentLength > sizeof local) {
            longer.resize(mantissaLength + exponentLength);
            text = longer.data();
        }
        std::memcpy(text, p, mantissaLength);
        std::memcpy(text + mantissaLength, exponentText, exponentLength);
        magnitude = Convert(text, text + mantissaLength + exponentLength);
    }
    return negative ? -magnitude : magnitude;
}
