// [Define Package Model]: opening records, the keyword and data lines of the
// section, and its end when a keyword outside it arrives.

#include "IbisParser/pkgmdl.h"

#include <climits>
#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/hdr.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msg.h"
#include "IbisParser/mtx.h"
#include "IbisParser/parse.h"
#include "IbisParser/pkgmdl_internal.h"
#include "IbisParser/row.h"

PkgmdlState g_pkgmdl = {};

namespace {

// Messages of a count such as Number_of_Pins.
struct CountCodes {
    int blank;
    int suspicious;
    int bad;
    int zero;
};

// Reads a positive count; 0 when no usable count was read.
unsigned ReadCount(const char* rest, const CountCodes& codes) {
    unsigned long value = 0;
    const int result = CMN_ParseUnsigned(rest, &value);
    if (result == CMN_NUM_BAD || value > UINT_MAX) {
        MSG_ErrorLine(codes.bad);
        return 0;
    }
    if (result == CMN_NUM_SUSPICIOUS) MSG_WarningLine(codes.suspicious);
    if (value == 0) MSG_ErrorLine(codes.zero);
    return static_cast<unsigned>(value);
}

void NumberOfPins(PKGMDL* model, const char* rest) {
    static constexpr CountCodes kCodes = {3420, 3422, 3423, 3424};
    if (*rest == '\0') {
        MSG_ErrorLine(kCodes.blank);
        return;
    }
    if (model->number_of_pins != 0) {
        MSG_ErrorLine(3421);
        return;
    }
    model->number_of_pins = ReadCount(rest, kCodes);
}

void NumberOfSections(PKGMDL* model, const char* rest) {
    static constexpr CountCodes kCodes = {3425, 3428, 3429, 3430};
    if (*rest == '\0') {
        MSG_ErrorLine(kCodes.blank);
        return;
    }
    if (g_pkgmdl.sectionsGiven) {
        MSG_ErrorLine(3426);
        return;
    }
    g_pkgmdl.sectionsGiven = 1;
    if (g_pkgmdl.pinNumbersSeen) MSG_ErrorLine(3427);
    model->number_of_sections = ReadCount(rest, kCodes);
}

// [Pin Numbers], [Model Data], [End Model Data], [End Package Model]: a
// keyword that stands once and alone.
void FlagKeyword(int* flag, const char* label, const char* rest) {
    if (*flag) MSG_ErrorLine(3468, label);
    if (*rest != '\0') MSG_ErrorLine(3469, label);
    *flag = 1;
}

void Bandwidth(const char* rest) {
    const int last = g_pkgmdl.lastKeyword;
    if (last == KW::BANDWIDTH) {
        MSG_ErrorLine(3464);
        return;
    }
    if (last != KW::RESISTANCE_MATRIX && last != KW::INDUCTANCE_MATRIX && last != KW::CAPACITANCE_MATRIX) {
        MSG_ErrorLine(3465);
        return;
    }
    // A matrix keyword that made no matrix was reported already.
    if (g_pkgmdl.openMatrix != nullptr) MTX_BandwidthLine(g_pkgmdl.openMatrix, rest);
}

void Row(const char* rest) {
    g_pkgmdl.currentRow = nullptr;
    if (g_pkgmdl.matrixKeyword == 0) {
        MSG_ErrorLine(3466);
        return;
    }
    if (g_pkgmdl.openMatrix != nullptr)
        ROW_KeywordLine(g_pkgmdl.openMatrix, rest);
    else if (!g_pkgmdl.matrixRejected)
        MSG_ErrorLine(3466);
}

void KeywordLine(PKGMDL* model, int keyword, const char* line) {
    const char* rest = line;
    CMN_SkipPastBracket(&rest);
    switch (keyword) {
        case KW::DEFINE_PACKAGE_MODEL:
            if (CMN_SetFieldOnce(model->name, rest, PKGMDL_NAME_MAX, "Define Package Model"))
                CMN_CheckReserved(model->name);
            break;
        case KW::MANUFACTURER_PKGMDL:
            CMN_SetFieldOnce(model->manufacturer, rest, PKGMDL_NAME_MAX, "Manufacturer");
            break;
        case KW::OEM: CMN_SetFieldOnce(model->OEM, rest, PKGMDL_NAME_MAX, "OEM"); break;
        case KW::DESCRIPTION:
            CMN_SetFieldOnce(model->description, rest, PKGMDL_DESCRIPTION_MAX, "Description");
            break;
        case KW::NUMBER_OF_PINS: NumberOfPins(model, rest); break;
        case KW::NUMBER_OF_SECTIONS: NumberOfSections(model, rest); break;
        case KW::PIN_NUMBERS: FlagKeyword(&g_pkgmdl.pinNumbersSeen, "Pin_Numbers", rest); break;
        case KW::MODEL_DATA: FlagKeyword(&g_pkgmdl.modelDataSeen, "Model_Data", rest); break;
        case KW::END_MODEL_DATA:
            FlagKeyword(&g_pkgmdl.endModelDataSeen, "End_Model_Data", rest);
            g_pkgmdl.matrixKeyword = 0;
            break;
        case KW::END_PACKAGE_MODEL:
            FlagKeyword(&g_pkgmdl.endPackageModelSeen, "End_Package_Model", rest);
            break;
        case KW::RESISTANCE_MATRIX:
        case KW::INDUCTANCE_MATRIX:
        case KW::CAPACITANCE_MATRIX: MTX_KeywordLine(keyword, rest); break;
        case KW::BANDWIDTH: Bandwidth(rest); break;
        case KW::ROW: Row(rest); break;
        default: MSG_BugLine(3403, PKGMDL_MODULE, __LINE__); break;
    }
    g_pkgmdl.lastKeyword = keyword;
}

void DataLine(PKGMDL* model, char* line) {
    if (g_pkgmdl.lastKeyword == KW::PIN_NUMBERS) {
        PKGMDL_PinLine(model, line, HDR_GetVersionLevel() > 2 && g_pkgmdl.sectionsGiven);
    } else if (g_pkgmdl.lastKeyword == KW::ROW) {
        // The data of a dropped row was reported with the row.
        if (g_pkgmdl.currentRow != nullptr && g_pkgmdl.openMatrix != nullptr)
            ROW_DataLine(g_pkgmdl.openMatrix, g_pkgmdl.currentRow, line);
    } else {
        MSG_ErrorLine(3404);
    }
}

}  // namespace

int PKGMDL_Open() {
    // A model still open (its end keyword never came) is closed first.
    if (g_pkgmdl.open != nullptr) PKGMDL_CloseModel();
    IBIS* ibis = nullptr;
    if (!IBIS_Current(&ibis)) {
        MSG_BugLine(3400, PKGMDL_MODULE, __LINE__);
        return 0;
    }
    PKGMDL* record = nullptr;
    if (!CMN_Calloc(&record, sizeof *record)) {
        MSG_ErrorLine(3416);
        return 0;
    }
    IBIS_AddPackageModel(ibis, record);
    g_pkgmdl = PkgmdlState{};
    g_pkgmdl.open = record;
    return 1;
}

int PKGMDL_HandleLine(int lineClass, int keyword, char* line) {
    PKGMDL* model = g_pkgmdl.open;
    if (model == nullptr) {
        MSG_ErrorLine(lineClass == PARSE_LINE_KEYWORD ? 3401 : 3402);
        return 1;
    }
    if (lineClass == PARSE_LINE_KEYWORD)
        KeywordLine(model, keyword, line);
    else
        DataLine(model, line);
    return 1;
}

void PKGMDL_KeywordChange(int next) {
    if (g_pkgmdl.open == nullptr) return;
    if (next == KW::END_MODEL_DATA || next == KW::END_PACKAGE_MODEL) {
        MTX_CloseOpen();
        return;
    }
    if (next > KW::DEFINE_PACKAGE_MODEL && next <= KW::NUMBER_OF_SECTIONS) return;
    PKGMDL_CloseModel();
}

unsigned PKGMDL_PinIndex(const char* name) {
    if (g_pkgmdl.open == nullptr) return 0;
    return PKGMDL_IndexFind(g_pkgmdl.pinIndex, name);
}

const char* PKGMDL_Word(const char* text, char* word, unsigned long size) {
    while (*text != '\0' && CMN_IsSpace(static_cast<unsigned char>(*text))) ++text;
    unsigned long length = 0;
    while (text[length] != '\0' && !CMN_IsSpace(static_cast<unsigned char>(text[length]))) ++length;
    const unsigned long kept = length < size - 1 ? length : size - 1;
    std::memcpy(word, text, kept);
    word[kept] = '\0';
    return text + length;
}
