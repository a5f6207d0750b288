// Reading one item of a Len/L/R/C list ("Len=0.5 L=2n C=1p /").

#include <cstring>
#include <string>

#include "IbisParser/cmn.h"
#include "IbisParser/cmn_internal.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

const char* SkipBlanks(const char* p) {
    while (IsBlank(*p)) ++p;
    return p;
}

int ItemCode(const std::string& word) {
    if (word == "Len") return CMN_RLC_LEN;
    if (word == "L") return CMN_RLC_L;
    if (word == "R") return CMN_RLC_R;
    if (word == "C") return CMN_RLC_C;
    return CMN_RLC_ERROR;
}

}  // namespace

int CMN_ParseRLC(const char* text, double* value, const char** rest) {
    CMN_REQUIRE(text != nullptr && value != nullptr && rest != nullptr);
    const char* p = SkipBlanks(text);
    *rest = p;
    if (*p == '\0') return CMN_RLC_END;
    if (*p == '/') {
        *rest = SkipBlanks(p + 1);
        return CMN_RLC_SLASH;
    }
    if (*p == '=') {
        *rest = SkipBlanks(p + 1);
        MSG_ErrorLine(1918);
        return CMN_RLC_ERROR;
    }

    const char* wordEnd = p;
    while (*wordEnd != '\0' && !IsBlank(*wordEnd) && *wordEnd != '/' && *wordEnd != '=') ++wordEnd;
    const std::string word(p, wordEnd);
    const int item = ItemCode(word);
    if (item == CMN_RLC_ERROR) {
        MSG_ErrorLine(1919, word.c_str());
        *rest = wordEnd;
        return CMN_RLC_ERROR;
    }

    p = SkipBlanks(wordEnd);
    if (*p == '\0') {
        MSG_ErrorLine(1920);
        *rest = p;
        return CMN_RLC_END;
    }
    if (*p != '=') {
        MSG_ErrorLine(1921);
        const char* slash = std::strchr(p, '/');
        *rest = slash ? slash + 1 : p + std::strlen(p);
        return CMN_RLC_ERROR;
    }

    p = SkipBlanks(p + 1);
    if (*p == '\0') {
        MSG_ErrorLine(1920);
        *rest = p;
        return CMN_RLC_END;
    }
    const char* valueEnd = p;
    while (*valueEnd != '\0' && !IsBlank(*valueEnd) && *valueEnd != '/') ++valueEnd;
    const std::string number(p, valueEnd);
    *value = 0.0;
    if (number.empty())
        MSG_ErrorLine(1923);
    else if (CMN_ParseScaled(number.c_str(), value) != CMN_NUM_GOOD)
        MSG_ErrorLine(1922, number.c_str());
    *rest = SkipBlanks(valueEnd);
    return item;
}

int CMN_ParseRLC(char* text, double* value, char** rest) {
    const char* constRest = nullptr;
    const int item = CMN_ParseRLC(static_cast<const char*>(text), value, &constRest);
    *rest = text + (constRest - text);
    return item;
}
