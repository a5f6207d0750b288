// Model type names and groups.

#include "IbisParser/mdl_types.h"

#include <string_view>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"

namespace {

constexpr int kFirstType = MDL_TYPE_INPUT;
constexpr int kLastType = MDL_TYPE_INPUT_DIFF;

// In code order, which is also the order names are searched in.
const char* const kTypeNames[kLastType - kFirstType + 1] = {
    "Input",       "Output",        "I/O",         "3-state",         "Open_drain",  "I/O_open_drain",
    "Open_sink",   "I/O_open_sink", "Open_source", "I/O_open_source", "Input_ECL",   "Output_ECL",
    "I/O_ECL",     "Terminator",    "Series",      "Series_switch",   "3-state_ECL", "I/O_diff",
    "Output_diff", "3-state_diff",  "Input_diff",
};

}  // namespace

const char* MDL_TypeName(int code) { return MDL_IsKnownType(code) ? kTypeNames[code - kFirstType] : "No Type"; }

int MDL_KnownTypeCount(int versionLevel) {
    if (versionLevel < 3) return MDL_TYPE_TERMINATOR - kFirstType + 1;
    if (versionLevel == 3) return MDL_TYPE_3STATE_ECL - kFirstType + 1;
    return kLastType - kFirstType + 1;
}

int MDL_LookupTypeName(const char* text, int count) {
    MSG_REQUIRE(text != nullptr, "IbisParser\\mdl");
    for (int i = 0; i < count; ++i)
        if (std::string_view(kTypeNames[i]) == text) return kFirstType + i;
    for (int i = 0; i < count; ++i)
        if (CMN_StrEqualNoCase(kTypeNames[i], text)) return -(kFirstType + i);
    return 0;
}

bool MDL_IsKnownType(int code) { return code >= kFirstType && code <= kLastType; }

bool MDL_IsReceiverType(int code) {
    switch (code) {
        case MDL_TYPE_INPUT:
        case MDL_TYPE_IO:
        case MDL_TYPE_IO_OPEN_DRAIN:
        case MDL_TYPE_IO_OPEN_SINK:
        case MDL_TYPE_IO_OPEN_SOURCE:
        case MDL_TYPE_INPUT_ECL:
        case MDL_TYPE_IO_ECL: return true;
        default: return false;
    }
}

bool MDL_IsIOType(int code) {
    switch (code) {
        case MDL_TYPE_IO:
        case MDL_TYPE_IO_OPEN_DRAIN:
        case MDL_TYPE_IO_OPEN_SINK:
        case MDL_TYPE_IO_OPEN_SOURCE:
        case MDL_TYPE_IO_ECL: return true;
        default: return false;
    }
}

bool MDL_IsNoTimingLoadType(int code) {
    switch (code) {
        case MDL_TYPE_INPUT:
        case MDL_TYPE_INPUT_ECL:
        case MDL_TYPE_TERMINATOR:
        case MDL_TYPE_SERIES:
        case MDL_TYPE_SERIES_SWITCH:
        case MDL_TYPE_INPUT_DIFF: return true;
        default: return false;
    }
}

bool MDL_IsDiffLoadDriverType(int code) {
    switch (code) {
        case MDL_TYPE_OUTPUT:
        case MDL_TYPE_IO:
        case MDL_TYPE_3STATE:
        case MDL_TYPE_OPEN_DRAIN:
        case MDL_TYPE_IO_OPEN_DRAIN:
        case MDL_TYPE_OPEN_SINK:
        case MDL_TYPE_IO_OPEN_SINK:
        case MDL_TYPE_OPEN_SOURCE:
        case MDL_TYPE_IO_OPEN_SOURCE:
        case MDL_TYPE_OUTPUT_ECL:
        case MDL_TYPE_IO_ECL:
        case MDL_TYPE_3STATE_ECL:
        case MDL_TYPE_IO_DIFF:
        case MDL_TYPE_OUTPUT_DIFF:
        case MDL_TYPE_3STATE_DIFF: return true;
        default: return false;
    }
}

bool MDL_IsEclType(int code) {
    return code == MDL_TYPE_INPUT_ECL || code == MDL_TYPE_OUTPUT_ECL || code == MDL_TYPE_IO_ECL ||
           code == MDL_TYPE_3STATE_ECL;
}

bool MDL_IsSeriesType(int code) { return code == MDL_TYPE_SERIES || code == MDL_TYPE_SERIES_SWITCH; }
