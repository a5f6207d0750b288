// The printed form of a set of port kinds.

#include "IbisParser/circuit_kinds.h"

std::string CIRCUIT_KindText(unsigned kinds) {
    struct Named {
        unsigned bit;
        const char* text;
    };
    static const Named kPrinted[] = {
        {CIRCUIT_KIND_AMS_UNKNOWN, "AMS_UNKNOWN "},
        {CIRCUIT_KIND_DIGITAL, "DIGITAL "},
        {CIRCUIT_KIND_DIGITAL_DRIVER, "DIGITAL_DRIVER "},
        {CIRCUIT_KIND_DIGITAL_RECEIVER, "DIGITAL_RECEIVER "},
        {CIRCUIT_KIND_ANALOG_RESERVE, "ANALOG_RESERVE "},
        {CIRCUIT_KIND_ANALOG_REFERENCE, "ANALOG_REFERENCE "},
        {CIRCUIT_KIND_ANALOG, "ANALOG "},
        {CIRCUIT_KIND_ANALOG_PIN, "ANALOG_PIN "},
        {CIRCUIT_KIND_ANALOG_DRIVER, "ANALOG_DRIVER "},
        {CIRCUIT_KIND_ANALOG_RECEIVER, "ANALOG_RECEIVER"},
    };
    std::string text;
    for (const Named& named : kPrinted)
        if ((kinds & named.bit) != 0) text += named.text;
    if (text.empty()) {
        if ((kinds & CIRCUIT_KIND_NO) != 0) text += "NO ";
        if ((kinds & CIRCUIT_KIND_UNKNOWN) != 0) text += "UNKNOWN ";
    }
    return text;
}
