// Whitespace, cursor moves, case handling and small text utilities.

#include <cctype>
#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/cmn_internal.h"

namespace {

int g_unlimitedScan = 0;

// Counts the characters a cursor move passes; past the guard the scan has run
// off its line, which is a caller's fault.
class ScanGuard {
public:
    void Step() {
        if (++passed_ > CMN_SCAN_GUARD && !CMN_ScanIsUnlimited()) MSG_InternalCheckFailed(CMN_MODULE, __LINE__);
    }

private:
    int passed_ = 0;
};

template <class Char>
void SkipSpace(Char** cursor) {
    CMN_REQUIRE(cursor != nullptr && *cursor != nullptr);
    ScanGuard guard;
    Char* p = *cursor;
    while (*p != '\0' && CMN_IsSpace(*p)) {
        ++p;
        guard.Step();
    }
    *cursor = p;
}

template <class Char>
int SkipPastBracket(Char** cursor) {
    CMN_REQUIRE(cursor != nullptr && *cursor != nullptr);
    ScanGuard guard;
    Char* p = *cursor;
    while (*p != '\0' && *p != ']') {
        ++p;
        guard.Step();
    }
    if (*p == '\0') {
        *cursor = p;
        return 0;
    }
    ++p;
    guard.Step();
    while (*p != '\0' && CMN_IsSpace(*p)) {
        ++p;
        guard.Step();
    }
    *cursor = p;
    return 1;
}

template <class Char>
void SkipToSpace(Char** cursor) {
    CMN_REQUIRE(cursor != nullptr && *cursor != nullptr);
    ScanGuard guard;
    Char* p = *cursor;
    while (*p != '\0' && !CMN_IsSpace(*p)) {
        ++p;
        guard.Step();
    }
    *cursor = p;
}

// Letter case of the classic locale, which IBIS texts are written in: only
// A to Z fold, whatever locale the process has set.
int FoldCase(int c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : u;
}

}  // namespace

bool CMN_ScanIsUnlimited() { return g_unlimitedScan != 0; }

int CMN_SetUnlimitedScan(int on) {
    g_unlimitedScan = on ? 1 : 0;
    return g_unlimitedScan;
}

int CMN_GetUnlimitedScan() { return g_unlimitedScan; }

int CMN_IsSpace(int c) {
    switch (static_cast<unsigned char>(c)) {
        case ' ':
        case '\t':
        case '\n':
        case '\v':
        case '\f':
        case '\r': return 1;
        default: return 0;
    }
}

void CMN_SkipSpace(char** cursor) { SkipSpace(cursor); }
void CMN_SkipSpace(const char** cursor) { SkipSpace(cursor); }
int CMN_SkipPastBracket(char** cursor) { return SkipPastBracket(cursor); }
int CMN_SkipPastBracket(const char** cursor) { return SkipPastBracket(cursor); }
void CMN_SkipToSpace(char** cursor) { SkipToSpace(cursor); }
void CMN_SkipToSpace(const char** cursor) { SkipToSpace(cursor); }

size_t CMN_TokenLength(int stop, const char* text) {
    CMN_REQUIRE(text != nullptr);
    size_t n = 0;
    while (text[n] != '\0' && text[n] != ' ' && text[n] != '\t' && text[n] != static_cast<char>(stop)) ++n;
    return n;
}

char* CMN_TrimRight(char* text) {
    CMN_REQUIRE(text != nullptr);
    size_t n = std::strlen(text);
    while (n > 0 && CMN_IsSpace(text[n - 1])) --n;
    text[n] = '\0';
    return text;
}

char* CMN_ToLower(char* text) {
    CMN_REQUIRE(text != nullptr);
    for (char* p = text; *p != '\0'; ++p) *p = static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
    return text;
}

char* CMN_ToUpper(char* text) {
    CMN_REQUIRE(text != nullptr);
    for (char* p = text; *p != '\0'; ++p) *p = static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
    return text;
}

char* CMN_BaseName(char* path) {
    CMN_REQUIRE(path != nullptr);
    // Both separators count: names come from DOS-style IBIS files and from
    // the local file system alike.
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p)
        if (*p == '\\' || *p == '/') name = p + 1;
    std::memmove(path, name, std::strlen(name) + 1);
    if (char* dot = std::strrchr(path, '.')) *dot = '\0';
    return path;
}

int CMN_StrEqualNoCase(const char* a, const char* b) {
    CMN_REQUIRE(a != nullptr && b != nullptr);
    for (;; ++a, ++b) {
        if (FoldCase(*a) != FoldCase(*b)) return 0;
        if (*a == '\0') return 1;
    }
}

int CMN_StrPrefixNoCase(const char* text, const char* pattern, size_t n) {
    CMN_REQUIRE(text != nullptr && pattern != nullptr);
    for (size_t i = 0; i < n; ++i) {
        if (FoldCase(text[i]) != FoldCase(pattern[i])) return 0;
        if (text[i] == '\0') return 1;
    }
    return 1;
}

int CMN_KeywordEquals(const char* tableName, char* bracketText) {
    CMN_REQUIRE(tableName != nullptr && bracketText != nullptr);
    for (char* p = bracketText; *p != '\0'; ++p)
        if (*p == ' ') *p = '_';
    return CMN_StrEqualNoCase(tableName, bracketText);
}

const char* CMN_ULongToText(unsigned long value) {
    static char text[24];
    std::snprintf(text, sizeof text, "%lu", value);
    return text;
}

FILE* CMN_OpenBinary(const char* name, const char* mode) {
    CMN_REQUIRE(name != nullptr && mode != nullptr && mode[0] != '\0');
    if (std::strchr(mode, 'b') != nullptr) return std::fopen(name, mode);
    char binaryMode[8];
    std::snprintf(binaryMode, sizeof binaryMode, "%cb%s", mode[0], mode + 1);
    return std::fopen(name, binaryMode);
}
