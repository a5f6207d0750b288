// Reading an .ibs, .pkg or .ebd file line by line.

#include <cstdio>
#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/hdr.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse_internal.h"

namespace {

// The sniff looks at the start of each line only.
constexpr size_t kSniffLine = 120;

const char* BannerVersion(int digit) {
    switch (digit) {
        case 3: return "3.2";
        case 4: return "4.2";
        case 5: return "5.0";
        default: return "2.1";
    }
}

// Whether the file can be read with the version digit it names; a forced
// version 5 applies to the header's version level, not to this.
int UsableVersion(int sniffed) {
    if (sniffed == 0) return 0;
    if (HDR_ForcesVersion5()) return 5;
    if (sniffed == 1) return HDR_AcceptsVersion1() ? 1 : 0;
    return sniffed;
}

// One line of the file, as read into `line`.
void ReadLine(char* line) {
    PARSE_CheckLine(line, 0);
    const int lineClass = PARSE_ClassifyLine(line);
    if (g_parse.endSeen) {
        if (lineClass != PARSE_LINE_COMMENT) MSG_ErrorLine(902);
        return;
    }
    if (lineClass == PARSE_LINE_KEYWORD && PARSE_IsCommentCharLine(line)) {
        PARSE_DefineCommentChar(line);
        return;
    }
    if (lineClass == PARSE_LINE_COMMENT) return;
    if (char* comment = std::strchr(line, g_parse.commentChar)) *comment = '\0';
    CMN_TrimRight(line);
    PARSE_VersionStep(PARSE_VersionOfLevel(HDR_GetVersionLevel()), lineClass, line);
}

}  // namespace

int PARSE_SniffVersion(const char* name, int kind) {
    FILE* stream = nullptr;
    char fileName[IBIS_PATH_MAX + 1];
    if (!CMN_OpenIbisFile(name, kind, &stream, fileName)) return 0;
    PARSE_SetFileName(fileName);
    // Character findings are reported when the lines are read for real.
    const int keepIllegal = CMN_GetKeepIllegalChars();
    CMN_KeepIllegalChars(1);
    int version = 0;
    char line[kSniffLine + 1];
    while (CMN_ReadLine(line, sizeof line, stream) != nullptr) {
        const char* p = line;
        while (*p != '\0' && CMN_IsSpace(static_cast<unsigned char>(*p))) ++p;
        if (*p != '[') continue;
        if (CMN_StrPrefixNoCase(p, "[IBIS Ver]", 10) || CMN_StrPrefixNoCase(p, "[IBIS_Ver]", 10)) {
            p += 10;
            while (*p != '\0' && CMN_IsSpace(static_cast<unsigned char>(*p))) ++p;
            if (*p >= '1' && *p <= '5') version = *p - '0';
        }
        break;
    }
    CMN_KeepIllegalChars(keepIllegal);
    std::fclose(stream);
    return version;
}

int PARSE_ReadFile(const char* name, int kind) {
    MSG_REQUIRE(name != nullptr, PARSE_MODULE);
    if (kind == PARSE_KIND_AMI) return PARSE_ReadAmiFile(name);

    const int sniffed = PARSE_SniffVersion(name, kind);
    if (UsableVersion(sniffed) == 0) {
        MSG_Error(900, name);
        return 0;
    }
    // The banner names the version the file announces, even when every file
    // is checked as 5.0.
    PARSE_PrintBanner(name, BannerVersion(sniffed));

    PARSE_Reset();
    g_parse.submodelFlag = 0;
    g_parse.notTerminated = 0;
    g_parse.kind = kind;
    FILE* stream = nullptr;
    char fileName[IBIS_PATH_MAX + 1];
    if (!IBIS_ReopenFile(name, kind, &stream, fileName)) return 0;
    PARSE_SetFileName(fileName);

    // Overlong lines are reported and still read: the cursor helpers must
    // not stop at their one-line scan limit while they are.
    const int savedScan = CMN_GetUnlimitedScan();
    CMN_SetUnlimitedScan(1);
    char line[PARSE_LINE_BUFFER];
    // The line number is in force before the line is read: reading reports
    // illegal characters.
    {
        CMN_LineReader reader(stream);
        for (MSG_SetCurrentLine(1); reader.ReadLine(line, sizeof line) != nullptr;
             MSG_SetCurrentLine(g_parse.line + 1)) {
            ++g_parse.line;
            ReadLine(line);
        }
    }
    MSG_SetCurrentLine(g_parse.line);
    if (!g_parse.endSeen) {
        MSG_Error(903);
        char end[] = "[END]";
        PARSE_VersionStep(PARSE_VersionOfLevel(HDR_GetVersionLevel()), PARSE_LINE_KEYWORD, end);
    }
    CMN_SetUnlimitedScan(savedScan);
    std::fclose(stream);
    return 1;
}
