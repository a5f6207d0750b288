// IBIS numbers with scale suffixes ("2.2nF", "5p", "4M"): the decimal
// written, with the suffix's power of ten added to its exponent, correctly
// rounded.

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>

#include "IbisParser/cmn.h"
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

// A decimal number at the start of a text (optional sign, digits with an
// optional point, at least one digit in all, optional exponent; no
// infinity, NaN or hexadecimal form), read in one pass.
struct Decimal {
    size_t length = 0;              // of the number's text; 0 when the text starts with none
    bool negative = false;
    unsigned long long digits = 0;  // its significant digits as an integer, when `fits`
    long exponent = 0;              // the power of ten that scales `digits`
    bool fits = true;               // false when it has too many significant digits to hold
};

// Powers of ten a double holds exactly.
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr long kLargestExactPower = 22;
constexpr unsigned long long kLargestExactInteger = 1ULL << 53;
// Significant digits kept in Decimal::digits: 10^18 < 2^64.
constexpr int kMostDigits = 18;

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

// Any other number: its text again, with `power` added to its exponent,
// converted by from_chars.
double ConvertShifted(const char* p, const char* end, int power) {
    if (power == 0) return Convert(p, end);
    const char* mantissaEnd = p;
    while (mantissaEnd < end && *mantissaEnd != 'e' && *mantissaEnd != 'E') ++mantissaEnd;
    const long exponent = ReadExponent(mantissaEnd + (mantissaEnd < end ? 1 : 0), end) + power;
    char exponentText[24] = {'e'};
    const std::to_chars_result written = std::to_chars(exponentText + 1, exponentText + sizeof exponentText, exponent);
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
    return Convert(text, text + mantissaLength + exponentLength);
}

Decimal ScanDecimal(const char* text) {
    // Every number of every table row passes here: the state stays in
    // locals, and leading zeros are passed over before the digits are
    // gathered, so that the loops are short.
    const char* p = text;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    unsigned long long digits = 0;
    long exponent = 0;
    const char* const integer = p;
    while (*p == '0') ++p;
    const char* significant = p;
    while (IsDigit(*p)) digits = digits * 10 + static_cast<unsigned>(*p++ - '0');
    long count = p - significant;  // significant digits gathered
    bool seen = p != integer;
    if (*p == '.') {
        const char* const fraction = ++p;
        if (digits == 0)
            while (*p == '0') ++p;
        significant = p;
        while (IsDigit(*p)) digits = digits * 10 + static_cast<unsigned>(*p++ - '0');
        count += p - significant;
        exponent = -(p - fraction);
        seen = seen || p != fraction;
    }
    if (!seen) return Decimal{};
    if (*p == 'e' || *p == 'E') {
        const char* q = p + 1;
        const bool below = *q == '-';
        if (*q == '+' || *q == '-') ++q;
        if (IsDigit(*q)) {
            long written = 0;
            for (; IsDigit(*q); ++q)
                if (written < kExponentBound) written = written * 10 + (*q - '0');
            exponent += below ? -written : written;
            p = q;
        }
        // An "e" without digits is no exponent: it is left to the caller.
    }
    Decimal number;
    number.length = static_cast<size_t>(p - text);
    number.negative = negative;
    // Past 18 digits `digits` may have wrapped around; the text is read again.
    number.fits = count <= kMostDigits;
    number.digits = digits;
    number.exponent = exponent;
    return number;
}

// The double nearest to the scanned number times 10^power (`text` is the
// one scanned): the number as written with `power` added to its exponent,
// rounded once. Multiplying by a factor would round twice, and a factor
// such as 1e-9 is itself inexact: 1000 * 1e-9 is not 1e-6.
double DecimalValue(const Decimal& number, const char* text, int power) {
    double magnitude = 0.0;
    const long exponent = number.exponent + power;
    if (number.fits && number.digits == 0) {
        magnitude = 0.0;
    } else if (number.fits && number.digits <= kLargestExactInteger && exponent >= -kLargestExactPower &&
               exponent <= kLargestExactPower) {
        // Both factors are exact, so the one multiplication or division is
        // the only rounding: the correctly rounded value, at a fraction of
        // the cost of converting the text again.
        const double digits = static_cast<double>(number.digits);
        magnitude = exponent >= 0 ? digits * kExactPowers[exponent] : digits / kExactPowers[-exponent];
    } else {
        const char* start = text + (text[0] == '+' || text[0] == '-' ? 1 : 0);
        magnitude = ConvertShifted(start, text + number.length, power);
    }
    return number.negative ? -magnitude : magnitude;
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

int CMN_ParseScaled(const char* text, double* value) {
    CMN_REQUIRE(text != nullptr && value != nullptr);
    const char* start = text;
    while (CMN_IsSpace(*start)) ++start;
    const Decimal number = ScanDecimal(start);
    if (number.length == 0) return CMN_NUM_BAD;
    const char* suffix = start + number.length;
    int power = 0;
    if (*suffix != '\0' && !ScalePower(*suffix, &power) && !IsAsciiLetter(*suffix))
        return CMN_NUM_BAD;  // a letter that is no scale is a unit such as V or A
    *value = DecimalValue(number, start, power);
    for (const char* p = suffix; *p != '\0'; ++p)
        if (IsDigit(*p)) return CMN_NUM_SUSPICIOUS;  // numeric in scale
    return CMN_NUM_GOOD;
}
