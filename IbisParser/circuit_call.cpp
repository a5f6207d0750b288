// The data lines of a [Circuit Call]: its reference pins (Signal_pin,
// Diff_signal_pins, Series_pins) and its Port_map entries.

#include <cstring>

#include "IbisParser/circuit_internal.h"
#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt.h"
#include "IbisParser/cmpnt_names.h"
#include "IbisParser/msg.h"

namespace {

// Releases a text that may never have been made.
void FreeText(char* text) {
    if (text != nullptr) CMN_Free(text);
}

constexpr int kMostWords = 8;

bool Is(const char* text, const char* name) { return std::strcmp(text, name) == 0; }

// Puts `pin` in the first free reference pin slot; 1800 when both are taken.
void SetReferencePin(CMPNT_CALL* call, const char* pin, const char* label) {
    char* slot = call->ref_pin_1[0] == '\0' ? call->ref_pin_1 : call->ref_pin_2[0] == '\0' ? call->ref_pin_2 : nullptr;
    if (slot == nullptr) {
        MSG_ErrorLine(1800, pin);
        return;
    }
    CMN_CopyField(slot, pin, CMPNT_PIN_NAME_MAX, label);
}

void SignalPinLine(CMPNT_CALL* call, const TOKENLIST& words) {
    const char* label = words.tokens[0];
    if (words.found < 2) {
        MSG_ErrorLine(1805, label);
        return;
    }
    // Only one reference pin line per call.
    if (call->ref_pin_1[0] != '\0')
        MSG_ErrorLine(1800, words.tokens[1]);
    else
        CMN_CopyField(call->ref_pin_1, words.tokens[1], CMPNT_PIN_NAME_MAX, label);
    if (words.found > 2) MSG_ErrorLine(1806, words.stored > 2 ? words.tokens[2] : "");
}

void PinPairLine(CMPNT_CALL* call, const TOKENLIST& words) {
    const char* label = words.tokens[0];
    if (words.found < 2) {
        MSG_ErrorLine(1805, label);
        return;
    }
    SetReferencePin(call, words.tokens[1], label);
    if (words.found > 2) SetReferencePin(call, words.tokens[2], label);
    if (words.found > 3) MSG_ErrorLine(1806, words.stored > 3 ? words.tokens[3] : "");
}

void PortMapLine(CMPNT_CALL* call, const TOKENLIST& words) {
    if (words.found < 3) {
        MSG_ErrorLine(1807);
        return;
    }
    const char* port = words.tokens[1];
    static int marker = 0;
    if (CMPNT_NamesAdd(&call->portIndex, port, &marker) != nullptr) MSG_ErrorLine(1801, port);
    // A redundant entry is still kept: the closing checks tell a port joined
    // twice to the same pin apart from one joined to two pins.
    CIRCUIT_PORTMAP* entry = nullptr;
    if (!CMN_Calloc(&entry, sizeof *entry)) {
        MSG_BugLine(1803, CIRCUIT_MODULE, __LINE__);
        return;
    }
    entry->port = CMN_StrDup(port);
    entry->node = CMN_StrDup(words.tokens[2]);
    if (entry->port == nullptr || entry->node == nullptr) {
        MSG_BugLine(1803, CIRCUIT_MODULE, __LINE__);
        FreeText(entry->port);
        FreeText(entry->node);
        CMN_Free(entry);
        return;
    }
    if (call->portMapTail == nullptr)
        call->port_map = entry;
    else
        call->portMapTail->next = entry;
    call->portMapTail = entry;
}

}  // namespace

void CIRCUIT_CallLine(CMPNT* component, const char* line) {
    CMPNT_CALL* call = component->circuit_calls;
    if (call == nullptr) return;  // the call record could not be made: reported then
    TOKENLIST words;
    if (!CMN_SplitLine(line, kMostWords, &words)) {
        CMN_FreeTokens(&words);
        return;
    }
    if (words.stored > 0) {
        const char* first = words.tokens[0];
        if (Is(first, "Signal_pin"))
            SignalPinLine(call, words);
        else if (Is(first, "Diff_signal_pins") || Is(first, "Series_pins"))
            PinPairLine(call, words);
        else if (Is(first, "Port_map"))
            PortMapLine(call, words);
        else
            MSG_ErrorLine(1804, first);
    }
    CMN_FreeTokens(&words);
}

void CIRCUIT_FreeCall(CMPNT_CALL* call) {
    CIRCUIT_PORTMAP* entry = call->port_map;
    while (entry != nullptr) {
        CIRCUIT_PORTMAP* next = entry->next;
        FreeText(entry->port);
        FreeText(entry->node);
        CMN_Free(entry);
        entry = next;
    }
    call->port_map = nullptr;
    call->portMapTail = nullptr;
    CMPNT_NamesFree(call->portIndex);
    call->portIndex = nullptr;
}
