// The checks every line gets, line classes, and [Comment Char].

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/hdr.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse_internal.h"

namespace {

// Lines may be longer than the scan limit of the cursor helpers (an overlong
// line is reported, not refused), so the reader skips blanks itself.
const char* SkipBlanks(const char* p) {
    while (*p != '\0' && CMN_IsSpace(static_cast<unsigned char>(*p))) ++p;
    return p;
}

// Keywords whose text may hold bracketed words on indented lines.
bool TakesFreeText(int id) {
    return id == KW::SOURCE || id == KW::NOTES || id == KW::DISCLAIMER || id == KW::COPYRIGHT;
}

// Characters that cannot serve as the comment character: they occur in data.
constexpr const char* kNotCommentChars = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ[]._/=+-";

}  // namespace

void PARSE_CheckLine(char* line, int skipLength) {
    size_t length = std::strlen(line);
    if (length > 0 && line[length - 1] == '\n') line[--length] = '\0';
    const size_t limit = HDR_GetVersionLevel() < 4 ? 80 : 120;
    if (!skipLength && !g_parse.unlimitedScan && length > limit) MSG_ErrorLine(905, static_cast<int>(limit));
    if (!g_parse.tabReported && std::strchr(line, '\t') != nullptr) {
        MSG_WarningLine(921);
        g_parse.tabReported = 1;
    }
}

int PARSE_ClassifyLine(const char* line) {
    const char* p = SkipBlanks(line);
    if (*p == '\0' || *p == g_parse.commentChar) return PARSE_LINE_COMMENT;
    if (*p != '[') return PARSE_LINE_DATA;
    if (p == line) return PARSE_LINE_KEYWORD;
    if (TakesFreeText(g_parse.currentKeyword)) return PARSE_LINE_DATA;
    MSG_ErrorLine(906);
    return PARSE_LINE_KEYWORD;
}

int PARSE_ClassifyAmiLine(const char* line) {
    const char* p = SkipBlanks(line);
    if (*p == '\0' || *p == g_parse.commentChar) return PARSE_LINE_COMMENT;
    if (*p != '(') return PARSE_LINE_DATA;
    p = SkipBlanks(p + 1);
    if (std::strncmp(p, "Description", 11) == 0) return PARSE_LINE_AMI_DESCRIPTION;
    return PARSE_LINE_AMI_GROUP;
}

int PARSE_IsCommentCharLine(const char* line) {
    const char* p = SkipBlanks(line);
    return CMN_StrPrefixNoCase(p, "[COMMENT_CHAR]", 14) || CMN_StrPrefixNoCase(p, "[COMMENT CHAR]", 14);
}

void PARSE_DefineCommentChar(const char* line) {
    const char* p = std::strchr(line, ']');
    p = SkipBlanks(p != nullptr ? p + 1 : line + std::strlen(line));
    // The definition reads "<c>_char".
    if (*p == '\0' || std::strncmp(p + 1, "_char", 5) != 0) {
        MSG_ErrorLine(917);
        return;
    }
    const char candidate = *p;
    if (std::strchr(kNotCommentChars, candidate) != nullptr) {
        MSG_ErrorLine(918, candidate);
        return;
    }
    g_parse.commentChar = candidate;
    const char* rest = SkipBlanks(p + 6);
    if (*rest != '\0' && *rest != candidate) MSG_ErrorLine(919);
}
