// Opening IBIS files by kind: directory prefix, extension and letter case.
//
// Files name other files without a directory (a board description naming
// its .ibs files, a component naming a .pkg file), and those are looked for
// where the last file named with a directory was found. Names written on
// other systems may use '\' as the directory separator and may differ in
// letter case from the file on disk, so both separators are accepted and a
// path that does not open is retried in lower and then upper case.

#include <cstring>
#include <filesystem>
#include <system_error>

#include "IbisParser/cmn.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"

#define IBIS_MODULE "IbisParser\\ibis"

namespace {

char g_prefix[IBIS_PATH_MAX + 1] = "";

struct KindRule {
    const char* extension;
    int wrongExtension;  // the message for another extension
};

KindRule RuleOf(int kind) {
    switch (kind) {
        case PARSE_KIND_PKG: return {".pkg", 1903};
        case PARSE_KIND_EBD: return {".ebd", 1902};
        case PARSE_KIND_AMI: return {".ami", 1924};
        default: return {".ibs", 1900};
    }
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Opens a path for reading, with '\' read as this platform's separator.
// Only a regular file (or a link to one) is a file to read: the C library
// would open a directory, and a device such as /dev/zero or a pipe would be
// read for ever or read up by the version sniff before the real reading.
FILE* OpenPath(const char* path) {
    char native[IBIS_PATH_MAX + 1];
    size_t i = 0;
    for (; path[i] != '\0' && i < IBIS_PATH_MAX; ++i) native[i] = path[i] == '\\' ? '/' : path[i];
    native[i] = '\0';
    std::error_code error;
    if (!std::filesystem::is_regular_file(native, error)) return nullptr;
    return CMN_OpenBinary(native, "r");
}

int OpenIbisFile(const char* name, int kind, FILE** stream, char* fileName, bool reportExtension) {
    MSG_REQUIRE(name != nullptr && stream != nullptr && fileName != nullptr, IBIS_MODULE);
    *stream = nullptr;
    fileName[0] = '\0';
    const size_t nameLength = std::strlen(name);
    if (nameLength >= IBIS_PATH_MAX) {
        MSG_Error(1904);
        return 0;
    }

    // The directory part, separator included, replaces the prefix.
    const char* base = name;
    for (const char* p = name; *p != '\0'; ++p)
        if (IsSeparator(*p)) base = p + 1;
    const size_t directoryLength = static_cast<size_t>(base - name);
    if (directoryLength > 0) {
        std::memcpy(g_prefix, name, directoryLength);
        g_prefix[directoryLength] = '\0';
    }

    const KindRule rule = RuleOf(kind);
    char file[IBIS_PATH_MAX + 1];
    std::strcpy(file, base);  // shorter than the whole name
    if (const char* dot = std::strrchr(file, '.')) {
        if (!CMN_StrEqualNoCase(dot, rule.extension) && reportExtension) MSG_Error(rule.wrongExtension);
    } else {
        if (std::strlen(file) + std::strlen(rule.extension) > IBIS_PATH_MAX) {
            MSG_Error(1901);
            return 0;
        }
        std::strcat(file, rule.extension);
    }

    const size_t prefixLength = std::strlen(g_prefix);
    const size_t fileLength = std::strlen(file);
    if (prefixLength + fileLength > IBIS_PATH_MAX) {
        MSG_Error(1904);
        return 0;
    }
    char path[IBIS_PATH_MAX + 1];
    std::memcpy(path, g_prefix, prefixLength);
    std::memcpy(path + prefixLength, file, fileLength + 1);

    FILE* opened = OpenPath(path);
    if (opened == nullptr) {
        opened = OpenPath(CMN_ToLower(path));
        if (opened != nullptr) CMN_ToLower(g_prefix);
    }
    if (opened == nullptr) {
        opened = OpenPath(CMN_ToUpper(path));
        if (opened != nullptr) CMN_ToUpper(g_prefix);
    }
    if (opened == nullptr) {
        MSG_Error(1905, g_prefix, file);
        return 0;
    }
    *stream = opened;
    std::memcpy(fileName, file, fileLength + 1);
    return 1;
}

}  // namespace

int CMN_OpenIbisFile(const char* name, int kind, FILE** stream, char* fileName) {
    return OpenIbisFile(name, kind, stream, fileName, true);
}

int IBIS_ReopenFile(const char* name, int kind, FILE** stream, char* fileName) {
    return OpenIbisFile(name, kind, stream, fileName, false);
}

const char* IBIS_DirectoryPrefix() { return g_prefix; }

void IBIS_SetDirectoryPrefix(const char* prefix) {
    MSG_REQUIRE(prefix != nullptr, IBIS_MODULE);
    const size_t length = strnlen(prefix, IBIS_PATH_MAX);
    std::memcpy(g_prefix, prefix, length);
    g_prefix[length] = '\0';
}
