// Which section owns each keyword, in which kinds of file it is read, and
// the hand-over of lines and keyword changes to it.

#include "IbisParser/circuit.h"
#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt.h"
#include "IbisParser/ebdmdl.h"
#include "IbisParser/hdr.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msel.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse_internal.h"
#include "IbisParser/pkgmdl.h"
#include "IbisParser/submdl.h"
#include "IbisParser/testdata.h"
#include "IbisParser/testload.h"

namespace {

bool Between(int id, int first, int last) { return id >= first && id <= last; }

bool IsComponentId(int id, PARSE_Version version) {
    switch (version) {
        case PARSE_VERSION_2_1: return Between(id, KW::COMPONENT, KW::DIFF_PIN);
        case PARSE_VERSION_3_2: return Between(id, KW::COMPONENT, KW::SERIES_PIN_MAPPING);
        case PARSE_VERSION_4_2: return Between(id, KW::COMPONENT, KW::END_CIRCUIT_CALL);
        case PARSE_VERSION_5_0: break;
    }
    return Between(id, KW::COMPONENT, KW::END_CIRCUIT_CALL) || Between(id, KW::BEGIN_EMI_COMPONENT, KW::PIN_DOMAIN_EMI);
}

bool IsModelId(int id, PARSE_Version version) {
    switch (version) {
        case PARSE_VERSION_2_1:
            return Between(id, KW::MODEL, KW::GND_CLAMP_REFERENCE) || Between(id, KW::PULLDOWN, KW::FALLING_WAVEFORM);
        case PARSE_VERSION_3_2:
            return Between(id, KW::MODEL, KW::MODEL_SPEC) || Between(id, KW::DRIVER_SCHEDULE, KW::ADD_SUBMODEL);
        case PARSE_VERSION_4_2: return Between(id, KW::EXTERNAL_MODEL, KW::ADD_SUBMODEL);
        case PARSE_VERSION_5_0: break;
    }
    return Between(id, KW::EXTERNAL_MODEL, KW::END_EMI_MODEL);
}

int LastPackageModelId(PARSE_Version version) {
    return version == PARSE_VERSION_2_1 ? KW::END_PACKAGE_MODEL : KW::NUMBER_OF_SECTIONS;
}

// The [End] line: nothing may follow the keyword.
void EndLine(char* line) {
    const char* rest = line;
    CMN_SkipPastBracket(&rest);
    if (*rest != '\0') MSG_ErrorLine(920);
    g_parse.endSeen = 1;
}

}  // namespace

ParseGroup PARSE_GroupOf(int id, PARSE_Version version) {
    if (id == KW::IBIS_VER || Between(id, KW::FILE_NAME, KW::COPYRIGHT)) return PARSE_GROUP_HEADER;
    if (IsComponentId(id, version)) return PARSE_GROUP_COMPONENT;
    if (Between(id, KW::EXTERNAL_CIRCUIT, KW::END_EXTERNAL_CIRCUIT) && version >= PARSE_VERSION_4_2)
        return PARSE_GROUP_CIRCUIT;
    if (IsModelId(id, version)) return PARSE_GROUP_MODEL;
    if (Between(id, KW::DEFINE_PACKAGE_MODEL, LastPackageModelId(version))) return PARSE_GROUP_PKGMDL;
    if (Between(id, KW::BEGIN_BOARD_DESCRIPTION, KW::END_BOARD_DESCRIPTION)) return PARSE_GROUP_EBD;
    if (id == KW::MODEL_SELECTOR) return PARSE_GROUP_MSEL;
    if (Between(id, KW::SUBMODEL, KW::FALLING_WAVEFORM_SUBMDL)) return PARSE_GROUP_SUBMDL;
    if (Between(id, KW::TEST_DATA, KW::DIFF_FALLING_WAVEFORM_FAR)) return PARSE_GROUP_TESTDATA;
    if (id == KW::TEST_LOAD) return PARSE_GROUP_TESTLOAD;
    if (id == KW::END) return PARSE_GROUP_END;
    if (id == KW::NOT_KEY) return PARSE_GROUP_UNKNOWN;
    return PARSE_GROUP_NONE;
}

int PARSE_GroupAllowed(ParseGroup group, PARSE_Version version) {
    const int kind = g_parse.kind;
    switch (group) {
        case PARSE_GROUP_HEADER:
        case PARSE_GROUP_END:
        case PARSE_GROUP_UNKNOWN:
        case PARSE_GROUP_NONE: return 1;
        case PARSE_GROUP_PKGMDL:
            // Package models could stand anywhere before the .pkg and .ebd files came.
            return version == PARSE_VERSION_2_1 || kind == PARSE_KIND_IBS || kind == PARSE_KIND_PKG;
        case PARSE_GROUP_EBD: return kind == PARSE_KIND_EBD;
        default: return kind == PARSE_KIND_IBS;
    }
}

void PARSE_Dispatch(PARSE_Version version, int lineClass, char* line) {
    const int id = g_parse.currentKeyword;
    const ParseGroup group = PARSE_GroupOf(id, version);
    if (lineClass == PARSE_LINE_KEYWORD) {
        // Once a [Submodel] starts, the table keywords belong to it until the next [Model].
        if (id == KW::MODEL) g_parse.submodelFlag = 0;
        if (id == KW::SUBMODEL) g_parse.submodelFlag = 1;
    }
    // Keywords in the wrong kind of file were reported when they opened; their lines are dropped.
    if (!PARSE_GroupAllowed(group, version)) return;
    switch (group) {
        case PARSE_GROUP_HEADER: HDR_HandleLine(lineClass, id, line); break;
        case PARSE_GROUP_COMPONENT: CMPNT_HandleLine(lineClass, id, line); break;
        case PARSE_GROUP_CIRCUIT: CIRCUIT_HandleLine(lineClass, id, line); break;
        case PARSE_GROUP_MODEL: MDL_HandleLine(lineClass, id, line); break;
        case PARSE_GROUP_PKGMDL: PKGMDL_HandleLine(lineClass, id, line); break;
        case PARSE_GROUP_EBD: EBDMDL_HandleLine(lineClass, id, line); break;
        case PARSE_GROUP_MSEL: MSEL_HandleLine(lineClass, id, line); break;
        case PARSE_GROUP_SUBMDL: SUBMDL_HandleLine(lineClass, id, line); break;
        case PARSE_GROUP_TESTDATA: TESTDATA_HandleLine(lineClass, id, line); break;
        case PARSE_GROUP_TESTLOAD: TESTLOAD_HandleLine(lineClass, id, line); break;
        case PARSE_GROUP_END: EndLine(line); break;
        case PARSE_GROUP_UNKNOWN: MSG_ErrorLine(907, line); break;
        case PARSE_GROUP_NONE: MSG_BugLine(908, PARSE_MODULE, __LINE__); break;
    }
}

void PARSE_CloseSection(PARSE_Version version, int previous, int next) {
    const ParseGroup group = PARSE_GroupOf(previous, version);
    if (!PARSE_GroupAllowed(group, version)) return;
    switch (group) {
        case PARSE_GROUP_HEADER: HDR_KeywordChange(next); break;
        case PARSE_GROUP_COMPONENT: CMPNT_KeywordChange(next); break;
        case PARSE_GROUP_MODEL: MDL_KeywordChange(next); break;
        case PARSE_GROUP_PKGMDL: PKGMDL_KeywordChange(next); break;
        case PARSE_GROUP_EBD: EBDMDL_KeywordChange(next); break;
        case PARSE_GROUP_MSEL: MSEL_KeywordChange(next); break;
        case PARSE_GROUP_SUBMDL: SUBMDL_KeywordChange(next); break;
        case PARSE_GROUP_TESTDATA: TESTDATA_KeywordChange(next); break;
        case PARSE_GROUP_TESTLOAD: TESTLOAD_KeywordChange(next); break;
        default: break;  // [External Circuit] closes at its own end keyword
    }
}
