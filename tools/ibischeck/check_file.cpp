// Checking one file: the checker's sequence, with the process-wide state the
// previous file left behind put back to its start.

#include "tools/ibischeck/check_file.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/hdr.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"
#include "IbisParser/string.h"

int IbischeckKindOf(const char* name) {
    const char* dot = std::strrchr(name, '.');
    if (dot != nullptr && std::strpbrk(dot, "/\\") == nullptr) {
        if (CMN_StrEqualNoCase(dot, ".pkg")) return PARSE_KIND_PKG;
        if (CMN_StrEqualNoCase(dot, ".ebd")) return PARSE_KIND_EBD;
        if (CMN_StrEqualNoCase(dot, ".ami")) return PARSE_KIND_AMI;
    }
    return PARSE_KIND_IBS;
}

bool IbischeckFile(const char* name, int kind) {
    // Files on one command line are unrelated: none inherits the counts, the
    // version level or the directory of the one before.
    MSG_ResetCounts();
    HDR_SetVersionLevel(0);
    IBIS_SetDirectoryPrefix("");
    STRING_TallyClear();
    PARSE_Reset();

    if (IBIS_New()) {
        const int read = PARSE_ReadFile(name, kind);
        if (read) IBIS_Finish(kind, read);
        IBIS_End();
    } else {
        MSG_Summary();
    }
    std::fflush(stdout);

    int bugs = 0;
    int errors = 0;
    MSG_GetCounts(&bugs, &errors, nullptr);
    return bugs == 0 && errors == 0;
}
