// The version step: keyword recognition, where a keyword may stand, and the
// hand-over of every line to its section.

#include <cstring>

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

// Longest text between the brackets of a keyword.
constexpr size_t kKeywordMax = 117;

// A name shared by several ids takes the one its surroundings call for.
int Remap(int id, int previous) {
    if (id == KW::MANUFACTURER) {
        if (previous >= KW::DEFINE_PACKAGE_MODEL && previous <= KW::DESCRIPTION) return KW::MANUFACTURER_PKGMDL;
        if (previous == KW::BEGIN_BOARD_DESCRIPTION || previous == KW::MANUFACTURER_EBD) return KW::MANUFACTURER_EBD;
    }
    if (id == KW::NUMBER_OF_PINS && g_parse.kind == PARSE_KIND_EBD) return KW::NUMBER_OF_PINS_EBD;
    if (g_parse.submodelFlag) {
        switch (id) {
            case KW::PULLDOWN: return KW::PULLDOWN_SUBMDL;
            case KW::PULLUP: return KW::PULLUP_SUBMDL;
            case KW::GND_CLAMP: return KW::GND_CLAMP_SUBMDL;
            case KW::POWER_CLAMP: return KW::POWER_CLAMP_SUBMDL;
            case KW::RAMP: return KW::RAMP_SUBMDL;
            case KW::RISING_WAVEFORM: return KW::RISING_WAVEFORM_SUBMDL;
            case KW::FALLING_WAVEFORM: return KW::FALLING_WAVEFORM_SUBMDL;
            default: break;
        }
    }
    return id;
}

// A keyword that opens a record only in an .ibs file.
bool OpensIbsRecord(int id) {
    switch (id) {
        case KW::COMPONENT:
        case KW::MODEL:
        case KW::MODEL_SELECTOR:
        case KW::SUBMODEL:
        case KW::TEST_DATA:
        case KW::TEST_LOAD:
        case KW::EXTERNAL_CIRCUIT: return true;
        default: return false;
    }
}

void OpenIbsRecord(int id) {
    switch (id) {
        case KW::COMPONENT: CMPNT_Open(); break;
        case KW::MODEL: MDL_Open(); break;
        case KW::MODEL_SELECTOR: MSEL_Open(); break;
        case KW::SUBMODEL: SUBMDL_Open(); break;
        case KW::TEST_DATA: TESTDATA_Open(); break;
        case KW::TEST_LOAD: TESTLOAD_Open(); break;
        case KW::EXTERNAL_CIRCUIT: CIRCUIT_Open(); break;
        default: break;
    }
}

}  // namespace

int PARSE_RecognizeKeyword(PARSE_Version version, const char* line) {
    const char* open = std::strchr(line, '[');
    if (open == nullptr) {
        MSG_ErrorLine(915);
        return KW::NOT_KEY;
    }
    const char* close = std::strchr(open + 1, ']');
    if (close == nullptr) {
        MSG_ErrorLine(914);
        return KW::NOT_KEY;
    }
    const size_t length = static_cast<size_t>(close - open - 1);
    if (length == 0 || length > kKeywordMax) {
        MSG_ErrorLine(915);
        return KW::NOT_KEY;
    }
    char text[kKeywordMax + 1];
    std::memcpy(text, open + 1, length);
    text[length] = '\0';

    // The comparison turns blanks into underscores in the text it is given,
    // so an unknown keyword is reported in that form: External_Model.
    for (const KEYWORD* entry = PARSE_KeywordTable(version); entry->id != KW::NOT_KEY; ++entry)
        if (CMN_KeywordEquals(entry->name, text)) return entry->id;
    MSG_ErrorLine(916, text);
    return KW::NOT_KEY;
}

void PARSE_OpenRecord(int id) {
    const int kind = g_parse.kind;
    if (id == KW::IBIS_VER) {
        if (g_parse.ibisVerSeen) {
            MSG_ErrorLine(910);
            return;
        }
        g_parse.ibisVerSeen = 1;
        HDR_Open();
        return;
    }
    if (OpensIbsRecord(id)) {
        if (kind == PARSE_KIND_IBS)
            OpenIbsRecord(id);
        else
            MSG_ErrorLine(kind == PARSE_KIND_PKG ? 911 : 912);
        return;
    }
    if (id == KW::DEFINE_PACKAGE_MODEL) {
        if (kind == PARSE_KIND_EBD)
            MSG_ErrorLine(912);
        else
            PKGMDL_Open();
        return;
    }
    if (id == KW::BEGIN_BOARD_DESCRIPTION) {
        if (kind == PARSE_KIND_EBD)
            EBDMDL_Open();
        else
            MSG_ErrorLine(kind == PARSE_KIND_PKG ? 911 : 913);
    }
}

void PARSE_VersionStep(PARSE_Version version, int lineClass, char* line) {
    if (lineClass == PARSE_LINE_KEYWORD) {
        if (version != PARSE_VERSION_2_1 && g_parse.notTerminated) {
            MSG_ErrorLine(909);
            g_parse.notTerminated = 0;
        }
        const int recognised = PARSE_RecognizeKeyword(version, line);
        if (recognised == KW::NOT_KEY) {
            g_parse.currentKeyword = KW::NOT_KEY;
            return;
        }
        const int id = Remap(recognised, g_parse.currentKeyword);
        g_parse.currentKeyword = id;
        PARSE_CloseSection(version, g_parse.sectionKeyword, id);
        g_parse.sectionKeyword = id;
        PARSE_OpenRecord(id);
    }
    PARSE_Dispatch(version, lineClass, line);
}
