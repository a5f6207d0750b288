// [Pin Numbers] of a package model: one pin name per line, or, with
// [Number Of Sections], each pin followed by its R/L/C sections, with Fork
// and Endfork lines opening and closing branches.

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"
#include "IbisParser/pkgmdl_internal.h"
#include "IbisParser/sect.h"

namespace {

// Room for one more pin; the array grows with the names actually given, up
// to Number_of_Pins, so that a huge count alone costs no memory.
bool MakeRoom(PKGMDL* model) {
    if (model->pinCount < model->pinCapacity) return true;
    unsigned long capacity = model->pinCapacity == 0 ? 16 : 2UL * model->pinCapacity;
    if (capacity > model->number_of_pins) capacity = model->number_of_pins;
    PKGMDL_PIN* pins = model->pins;
    const bool made = pins == nullptr ? CMN_Calloc(&pins, capacity * sizeof *pins)
                                      : CMN_Realloc(&pins, capacity * sizeof *pins);
    if (!made) {
        // Without Number_of_Sections only the names are kept.
        MSG_ErrorLine(model->pins == nullptr ? 3434 : 3436);
        if (model->pins == nullptr && g_pkgmdl.sectionsGiven) MSG_ErrorLine(3448);
        return false;
    }
    std::memset(pins + model->pinCapacity, 0, (capacity - model->pinCapacity) * sizeof *pins);
    model->pins = pins;
    model->pinCapacity = static_cast<unsigned>(capacity);
    return true;
}

// Stores a new pin name (already cut to its limit); null when it was dropped.
PKGMDL_PIN* AddPin(PKGMDL* model, const char* name) {
    if (model->number_of_pins == 0) {
        MSG_ErrorLine(3433);
        return nullptr;
    }
    if (model->pinCount >= model->number_of_pins) {
        MSG_ErrorLine(3435);
        return nullptr;
    }
    if (!MakeRoom(model)) return nullptr;
    PKGMDL_PIN* pin = &model->pins[model->pinCount++];
    std::strcpy(pin->name, name);
    if (PKGMDL_IndexAdd(&g_pkgmdl.pinIndex, name, model->pinCount) != 0) MSG_ErrorLine(3437, name);
    return pin;
}

// Copies a pin name cut to its limit, reporting the cut (3432).
void CutName(const char* text, char* name) {
    size_t length = std::strlen(text);
    if (length > PKGMDL_PIN_NAME_MAX) {
        MSG_ErrorLine(3432);
        length = PKGMDL_PIN_NAME_MAX;
    }
    std::memcpy(name, text, length);
    name[length] = '\0';
}

bool StartsWithLenAssignment(const char* text) {
    if (std::strncmp(text, "Len", 3) != 0) return false;
    text += 3;
    while (*text == ' ' || *text == '\t') ++text;
    return *text == '=';
}

PKGMDL_NODE* NewNode(PKGMDL_PIN* pin) {
    PKGMDL_NODE* node = nullptr;
    if (!CMN_Calloc(&node, sizeof *node)) return nullptr;
    PKGMDL_NODE* fork = g_pkgmdl.fork;
    node->parent = fork;
    PKGMDL_NODE** head = fork != nullptr ? &fork->branch : &pin->sections;
    PKGMDL_NODE** tail = fork != nullptr ? &fork->branchTail : &pin->sectionsTail;
    if (*tail != nullptr)
        (*tail)->next = node;
    else
        *head = node;
    *tail = node;
    return node;
}

// The R/L/C sections of `text`, each appended where the pin stands (in the
// innermost open Fork, or at the pin level). Returns the number read.
unsigned ReadSections(PKGMDL_PIN* pin, char* text) {
    unsigned count = 0;
    for (;;) {
        SECT* section = nullptr;
        char* rest = text;
        if (!SECT_Parse(text, &section, &rest) || section == nullptr) break;
        ++count;
        ++pin->sectionCount;
        PKGMDL_NODE* node = NewNode(pin);
        if (node == nullptr) {
            SECT_Free(section);
            break;
        }
        node->section = section;
        text = rest;
    }
    return count;
}

void ForkLine(char* rest) {
    PKGMDL_PIN* pin = g_pkgmdl.currentPin;
    if (pin == nullptr) {
        MSG_ErrorLine(3440);
        return;
    }
    if (g_pkgmdl.fork != nullptr) MSG_ErrorLine(3439);
    PKGMDL_NODE* fork = NewNode(pin);
    if (fork == nullptr) return;
    g_pkgmdl.fork = fork;
    ReadSections(pin, rest);
}

void EndforkLine(char* rest) {
    PKGMDL_PIN* pin = g_pkgmdl.currentPin;
    if (pin == nullptr) {
        MSG_ErrorLine(3441);
        return;
    }
    PKGMDL_NODE* fork = g_pkgmdl.fork;
    if (fork == nullptr) {
        MSG_ErrorLine(3443);
        return;
    }
    if (fork->branch == nullptr) MSG_ErrorLine(3442);
    g_pkgmdl.fork = fork->parent;
    ReadSections(pin, rest);
}

void NewPinLine(PKGMDL* model, char* line) {
    char word[PARSE_LINE_BUFFER];
    char* rest = const_cast<char*>(PKGMDL_Word(line, word, sizeof word));
    if (g_pkgmdl.fork != nullptr) {
        MSG_ErrorLine(3444, word);
        g_pkgmdl.fork = nullptr;
    }
    char name[PKGMDL_PIN_NAME_MAX + 1];
    CutName(word, name);
    if (std::strchr(word, '=') != nullptr) MSG_WarningLine(3445, word);
    if (std::strchr(word, '/') != nullptr) MSG_WarningLine(3446, word);
    if (std::strncmp(word, "Len", 3) == 0 || std::strcmp(word, "Fork") == 0 || std::strcmp(word, "Endfork") == 0 ||
        std::strcmp(word, "C") == 0 || std::strcmp(word, "R") == 0 || std::strcmp(word, "L") == 0)
        MSG_WarningLine(3447, word);
    g_pkgmdl.currentPin = AddPin(model, name);
    if (g_pkgmdl.currentPin == nullptr) return;
    if (ReadSections(g_pkgmdl.currentPin, rest) == 0) MSG_ErrorLine(3449);
}

void SectionedLine(PKGMDL* model, char* line) {
    char* text = line;
    while (*text == ' ' || *text == '\t') ++text;
    if (StartsWithLenAssignment(text)) {
        if (g_pkgmdl.currentPin == nullptr)
            MSG_ErrorLine(3438);
        else
            ReadSections(g_pkgmdl.currentPin, text);
        return;
    }
    char word[16];
    char* rest = const_cast<char*>(PKGMDL_Word(text, word, sizeof word));
    if (CMN_StrEqualNoCase(word, "Fork"))
        ForkLine(rest);
    else if (CMN_StrEqualNoCase(word, "Endfork"))
        EndforkLine(rest);
    else
        NewPinLine(model, text);
}

void PlainLine(PKGMDL* model, const char* line) {
    while (*line != '\0' && CMN_IsSpace(static_cast<unsigned char>(*line))) ++line;
    char name[PKGMDL_PIN_NAME_MAX + 1];
    CutName(line, name);
    AddPin(model, name);
}

}  // namespace

void PKGMDL_PinLine(PKGMDL* model, char* line, int sectioned) {
    if (sectioned)
        SectionedLine(model, line);
    else
        PlainLine(model, line);
}
