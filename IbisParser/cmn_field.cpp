// Length-limited text fields, required keywords and reserved words.

#include <algorithm>
#include <cstring>
#include <string>

#include "IbisParser/cmn.h"
#include "IbisParser/cmn_internal.h"

namespace {

std::string g_currentFileName;

const char* const kReservedWords[] = {"GND", "NC", "POWER", "CIRCUITCALL", "NA"};

void CopyAtMost(char* dest, const char* src, size_t limit) {
    const size_t n = strnlen(src, limit);
    std::memcpy(dest, src, n);
    dest[n] = '\0';
}

}  // namespace

void CMN_SetCurrentFileName(const char* name) { g_currentFileName = name ? name : ""; }

const char* CMN_GetCurrentFileName() { return g_currentFileName.c_str(); }

void CMN_CopyField(char* dest, const char* src, size_t limit, const char* fieldName) {
    CMN_REQUIRE(dest != nullptr && src != nullptr && fieldName != nullptr);
    const size_t length = std::strlen(src);
    if (length > limit) {
        limit = std::min(limit, CMN_REPORT_LIMIT_MAX);
        MSG_ErrorLine(1912, fieldName, src, static_cast<unsigned>(limit));
    } else if (length == 0) {
        MSG_ErrorLine(1913, fieldName);
    }
    CopyAtMost(dest, src, limit);
}

int CMN_SetFieldOnce(char* dest, const char* src, size_t limit, const char* fieldName) {
    CMN_REQUIRE(dest != nullptr && src != nullptr && fieldName != nullptr);
    if (dest[0] != '\0') {
        MSG_ErrorLine(1911, fieldName);
        return 0;
    }
    CMN_CopyField(dest, src, limit, fieldName);
    return 1;
}

int CMN_SetField(char* dest, const char* src, size_t limit, const char* fieldName) {
    CMN_REQUIRE(dest != nullptr && src != nullptr && fieldName != nullptr);
    if (dest[0] != '\0') {
        MSG_ErrorLine(1911, fieldName);
        return 0;
    }
    const size_t length = std::strlen(src);
    if (length > limit)
        MSG_ErrorLine(1914, fieldName, src, static_cast<unsigned>(std::min(limit, CMN_REPORT_LIMIT_MAX)));
    else if (length == 0)
        MSG_ErrorLine(1913, fieldName);
    // The field keeps the long text; only its own room limits the copy.
    CopyAtMost(dest, src, CMN_FIELD_MAX);
    return 1;
}

int CMN_RequireKeyword(const char* keyword, int found) {
    CMN_REQUIRE(keyword != nullptr);
    if (!found) MSG_Error(1915, keyword, g_currentFileName.c_str());
    return found;
}

int CMN_IsNotReserved(const char* name) {
    CMN_REQUIRE(name != nullptr);
    for (const char* word : kReservedWords)
        if (CMN_StrEqualNoCase(name, word)) return 0;
    return 1;
}

int CMN_CheckReserved(const char* name) {
    const int notReserved = CMN_IsNotReserved(name);
    if (!notReserved) MSG_ErrorLine(1916, name);
    return notReserved;
}
