// Classification of leaf values and the keyword vocabulary of the parameter
// language.
//
// Numbers are recognised by explicit syntax rather than by strtol/strtod
// alone: those follow the process locale (a simulator may have set one whose
// decimal separator is a comma) and strtod also takes hexadecimal, infinity
// and NaN forms, none of which belong in a parameter value.

#include <locale.h>

#include <charconv>
#include <cstdlib>
#include <cstring>

#include "amiparam/parameter_tree.h"
#include "amiparam/tree_text.h"

namespace {

using amiparam_detail::IsTreeSpace;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Leading whitespace and an optional sign, as strtol and strtod accept them.
const char* SkipSpaceAndSign(const char* p) {
    while (IsTreeSpace(*p)) ++p;
    if (*p == '+' || *p == '-') ++p;
    return p;
}

// The whole text is what strtol in base 10 would consume completely.
bool IsWholeInteger(const char* text) {
    const char* p = SkipSpaceAndSign(text);
    if (!IsDigit(*p)) return false;
    while (IsDigit(*p)) ++p;
    return *p == '\0';
}

// The whole text is a decimal floating number as strtod in the classic
// locale reads it: digits with an optional fraction (at least one digit in
// all), then an optional exponent with at least one digit.
bool IsWholeDecimalReal(const char* text) {
    const char* p = SkipSpaceAndSign(text);
    bool digits = false;
    while (IsDigit(*p)) {
        ++p;
        digits = true;
    }
    if (*p == '.') {
        ++p;
        while (IsDigit(*p)) {
            ++p;
            digits = true;
        }
    }
    if (!digits) return false;
    if (*p == 'e' || *p == 'E') {
        const char* exponent = p + 1;
        if (*exponent == '+' || *exponent == '-') ++exponent;
        if (IsDigit(*exponent)) {
            p = exponent;
            while (IsDigit(*p)) ++p;
        }
        // An "e" without digits is not part of the number, so the text is
        // not consumed whole and stays a string.
    }
    return *p == '\0';
}

struct Keyword {
    const char* word;
    std::int32_t code;
};

constexpr Keyword kLeafKeywords[] = {
    {"Usage", LEAF_KEYWORD_USAGE},   {"Type", LEAF_KEYWORD_TYPE},
    {"Format", LEAF_KEYWORD_FORMAT}, {"Default", LEAF_KEYWORD_DEFAULT},
    {"Description", LEAF_KEYWORD_DESCRIPTION}, {"Labels", LEAF_KEYWORD_LABELS},
};

constexpr Keyword kValueKeywords[] = {
    {"In", VALUE_KEYWORD_IN},
    {"Out", VALUE_KEYWORD_OUT},
    {"Info", VALUE_KEYWORD_INFO},
    {"InOut", VALUE_KEYWORD_INOUT},
    {"Float", VALUE_KEYWORD_FLOAT},
    {"Integer", VALUE_KEYWORD_INTEGER},
    {"String", VALUE_KEYWORD_STRING},
    {"Boolean", VALUE_KEYWORD_BOOLEAN},
    {"Tap", VALUE_KEYWORD_TAP},
    {"UI", VALUE_KEYWORD_UI},
    {"Value", VALUE_KEYWORD_VALUE},
    {"Range", VALUE_KEYWORD_RANGE},
    {"List", VALUE_KEYWORD_LIST},
    {"Corner", VALUE_KEYWORD_CORNER},
    {"Increment", VALUE_KEYWORD_INCREMENT},
    {"Steps", VALUE_KEYWORD_STEPS},
    {"Table", VALUE_KEYWORD_TABLE},
    {"Gaussian", VALUE_KEYWORD_GAUSSIAN},
    {"Dual-Dirac", VALUE_KEYWORD_DUAL_DIRAC},
    {"DjRj", VALUE_KEYWORD_DJRJ},
};

template <std::size_t N>
std::int32_t LookUp(const Keyword (&table)[N], const char* word, std::int32_t none) {
    if (word == nullptr) return none;
    for (const Keyword& k : table) {
        if (std::strcmp(k.word, word) == 0) return k.code;
    }
    return none;
}

// Fallback conversion when no classic locale object can be had: from_chars
// is locale-independent but takes neither leading blanks nor a "+".
double DecimalWithoutLocale(const char* text) {
    const char* p = text;
    while (IsTreeSpace(*p)) ++p;
    if (*p == '+' && p[1] != '-' && p[1] != '+') ++p;
    double value = 0.0;
    std::from_chars(p, p + std::strlen(p), value);
    return value;
}

}  // namespace

ValueType tree_classify_value(const char* text) {
    if (text == nullptr || text[0] == '\0') return VALUE_TYPE_EMPTY;
    if (IsWholeInteger(text)) return VALUE_TYPE_INTEGER;
    if (IsWholeDecimalReal(text)) return VALUE_TYPE_REAL;
    if (std::strcmp(text, "True") == 0 || std::strcmp(text, "False") == 0) return VALUE_TYPE_BOOLEAN;
    return VALUE_TYPE_STRING;
}

std::int32_t tree_leaf_keyword(const char* name) { return LookUp(kLeafKeywords, name, LEAF_KEYWORD_NONE); }

std::int32_t tree_value_keyword(const char* text) { return LookUp(kValueKeywords, text, VALUE_KEYWORD_NONE); }

double tree_value_to_double(const char* text) {
    if (text == nullptr) return 0.0;
    // A locale object of its own keeps the conversion away from the process
    // locale without changing it (other threads may depend on it). The "C"
    // locale object is a static one in the C library, so this costs nothing.
    locale_t classic = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    if (classic == static_cast<locale_t>(nullptr)) return DecimalWithoutLocale(text);
    double value = strtod_l(text, nullptr, classic);
    freelocale(classic);
    return value;
}
