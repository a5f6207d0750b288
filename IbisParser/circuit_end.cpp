// The checks at the end of an external description: the Typ corner, Min and
// Max converters against Typ, the port count, converters between two
// reference ports, ports used both ways, and the reserved ports a model's
// type requires.

#include <initializer_list>
#include <string>

#include "IbisParser/circuit_internal.h"
#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt_names.h"
#include "IbisParser/mdl.h"
#include "IbisParser/mdl_types.h"
#include "IbisParser/msg.h"

namespace {

// Ports a model may always carry whatever its type.
const char* const kAlwaysAllowed[] = {"A_gnd", "A_puref", "A_pcref", "A_pdref", "A_gcref", "A_extref"};
const char* const kReserved[] = {"A_signal", "A_signal_pos", "A_signal_neg", "A_pos",    "A_neg",
                                 "A_gnd",    "A_puref",      "A_pcref",      "A_pdref",  "A_gcref",
                                 "A_extref", "D_drive",      "D_enable",     "D_receive", "D_switch"};

bool Is(const char* a, const char* b) { return std::string(a) == b; }

bool IsReference(const char* port) {
    for (const char* name : kAlwaysAllowed)
        if (Is(port, name)) return true;
    return false;
}

std::string ConverterKey(const CIRCUIT_CONV& conv) {
    return std::string(conv.digital) + '\x1f' + conv.analog1 + '\x1f' + conv.analog2;
}

void CompareWithTyp(const CIRCUIT_DESC* desc, const char* name, bool a2d, int message) {
    CMPNT_NAMES* typ = nullptr;
    const CIRCUIT_CORNER& typCorner = desc->corners[CIRCUIT_TYP];
    static int marker = 0;
    for (const CIRCUIT_CONV* conv = a2d ? typCorner.a2d : typCorner.d2a; conv != nullptr; conv = conv->next)
        CMPNT_NamesAdd(&typ, ConverterKey(*conv).c_str(), &marker);
    static const char* const kLabels[] = {"Typ", "Min", "Max"};
    for (int corner = CIRCUIT_MIN; corner <= CIRCUIT_MAX; ++corner) {
        const CIRCUIT_CORNER& other = desc->corners[corner];
        for (const CIRCUIT_CONV* conv = a2d ? other.a2d : other.d2a; conv != nullptr; conv = conv->next)
            if (CMPNT_NamesFind(typ, ConverterKey(*conv).c_str()) == nullptr)
                MSG_Error(message, name, kLabels[corner], static_cast<int>(conv->line), conv->digital, conv->analog1,
                          conv->analog2);
    }
    CMPNT_NamesFree(typ);
}

void ReferencePairs(const CIRCUIT_DESC* desc) {
    for (const CIRCUIT_CORNER& corner : desc->corners)
        for (const CIRCUIT_CONV* conv = corner.d2a; conv != nullptr; conv = conv->next)
            if (IsReference(conv->analog1) && IsReference(conv->analog2))
                MSG_Error(255, static_cast<int>(conv->line), conv->analog1, conv->analog2);
}

void DigitalAndAnalog(const CIRCUIT_DESC* desc, const char* name) {
    static const char* const kLabels[] = {"Typ", "Min", "Max"};
    static int marker = 0;
    for (int index = CIRCUIT_TYP; index <= CIRCUIT_MAX; ++index) {
        const CIRCUIT_CORNER& corner = desc->corners[index];
        CMPNT_NAMES* digital = nullptr;
        CMPNT_NAMES* reported = nullptr;
        for (const CIRCUIT_CONV* list : {corner.d2a, corner.a2d})
            for (const CIRCUIT_CONV* conv = list; conv != nullptr; conv = conv->next)
                CMPNT_NamesAdd(&digital, conv->digital, &marker);
        for (const CIRCUIT_CONV* list : {corner.d2a, corner.a2d})
            for (const CIRCUIT_CONV* conv = list; conv != nullptr; conv = conv->next)
                for (const char* port : {conv->analog1, conv->analog2})
                    if (CMPNT_NamesFind(digital, port) != nullptr && CMPNT_NamesAdd(&reported, port, &marker) == nullptr)
                        MSG_Error(225, name, kLabels[index], port);
        CMPNT_NamesFree(digital);
        CMPNT_NamesFree(reported);
    }
}

// The reserved ports each model type needs; null for a type outside the table.
const char* const* RequiredPorts(int type) {
    static const char* const kNone[] = {nullptr};
    static const char* const kInput[] = {"D_receive", "A_signal", nullptr};
    static const char* const kOutput[] = {"D_drive", "A_signal", nullptr};
    static const char* const kThreeState[] = {"D_drive", "D_enable", "A_signal", nullptr};
    static const char* const kIO[] = {"D_drive", "D_enable", "D_receive", "A_signal", nullptr};
    static const char* const kTerminator[] = {"A_signal", nullptr};
    static const char* const kSeries[] = {"A_pos", "A_neg", nullptr};
    static const char* const kSeriesSwitch[] = {"D_switch", "A_pos", "A_neg", nullptr};
    static const char* const kIODiff[] = {"D_drive", "D_enable", "D_receive", "A_signal_pos", "A_signal_neg", nullptr};
    static const char* const kOutputDiff[] = {"D_drive", "A_signal_pos", "A_signal_neg", nullptr};
    static const char* const kThreeStateDiff[] = {"D_drive", "D_enable", "A_signal_pos", "A_signal_neg", nullptr};
    static const char* const kInputDiff[] = {"D_receive", "A_signal_pos", "A_signal_neg", nullptr};
    switch (type) {
        case MDL_TYPE_NONE: return kNone;
        case MDL_TYPE_INPUT:
        case MDL_TYPE_INPUT_ECL: return kInput;
        case MDL_TYPE_OUTPUT:
        case MDL_TYPE_OPEN_DRAIN:
        case MDL_TYPE_OPEN_SINK:
        case MDL_TYPE_OPEN_SOURCE:
        case MDL_TYPE_OUTPUT_ECL: return kOutput;
        case MDL_TYPE_3STATE:
        case MDL_TYPE_3STATE_ECL: return kThreeState;
        case MDL_TYPE_IO:
        case MDL_TYPE_IO_OPEN_DRAIN:
        case MDL_TYPE_IO_OPEN_SINK:
        case MDL_TYPE_IO_OPEN_SOURCE:
        case MDL_TYPE_IO_ECL: return kIO;
        case MDL_TYPE_TERMINATOR: return kTerminator;
        case MDL_TYPE_SERIES: return kSeries;
        case MDL_TYPE_SERIES_SWITCH: return kSeriesSwitch;
        case MDL_TYPE_IO_DIFF: return kIODiff;
        case MDL_TYPE_OUTPUT_DIFF: return kOutputDiff;
        case MDL_TYPE_3STATE_DIFF: return kThreeStateDiff;
        case MDL_TYPE_INPUT_DIFF: return kInputDiff;
        default: return nullptr;
    }
}

void TypePorts(const CIRCUIT_DESC* desc, const MDL* model) {
    const int type = model->model_type;
    const char* const* required = RequiredPorts(type);
    const char* typeName = MDL_TypeName(type);
    if (required == nullptr) {
        MSG_Error(224, typeName);
        return;
    }
    if (type == MDL_TYPE_NONE) return;
    static int marker = 0;
    CMPNT_NAMES* present = nullptr;
    for (const CIRCUIT_WORD* port = desc->ports; port != nullptr; port = port->next)
        CMPNT_NamesAdd(&present, port->text, &marker);
    const bool spice = desc->language == CIRCUIT_LANGUAGE_SPICE;
    if (spice) {
        const CIRCUIT_CORNER& typ = desc->corners[CIRCUIT_TYP];
        for (const CIRCUIT_CONV* list : {typ.d2a, typ.a2d})
            for (const CIRCUIT_CONV* conv = list; conv != nullptr; conv = conv->next)
                for (const char* port : {conv->digital, conv->analog1, conv->analog2})
                    CMPNT_NamesAdd(&present, port, &marker);
    }
    const char* corner = spice ? "TYP" : "ALL";
    for (const char* const* port = required; *port != nullptr; ++port)
        if (CMPNT_NamesFind(present, *port) == nullptr) MSG_Error(222, model->name, corner, typeName, *port);
    for (const char* port : kReserved) {
        if (CMPNT_NamesFind(present, port) == nullptr || IsReference(port)) continue;
        bool isRequired = false;
        for (const char* const* need = required; *need != nullptr; ++need)
            if (Is(port, *need)) isRequired = true;
        if (!isRequired) MSG_Error(223, model->name, corner, typeName, port);
    }
    CMPNT_NamesFree(present);
}

}  // namespace

void CIRCUIT_DescEnd(const CIRCUIT_DESC* desc, const char* name, const MDL* model) {
    if (!desc->corners[CIRCUIT_TYP].present) MSG_ErrorLine(231);
    CompareWithTyp(desc, name, true, 226);
    CompareWithTyp(desc, name, false, 227);
    if (desc->portCount < 2) {
        if (model != nullptr)
            MSG_Warning(232, name, desc->portCount);
        else
            MSG_Warning(245, name, desc->portCount);
    }
    if (desc->language == CIRCUIT_LANGUAGE_SPICE) ReferencePairs(desc);
    if (model == nullptr) DigitalAndAnalog(desc, name);
    if (model != nullptr) TypePorts(desc, model);
}
