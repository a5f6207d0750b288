// [Alternate Package Models]: the names of the other package models of a
// component, one per line, up to [End Alternate Package Models].

#include "IbisParser/apkg.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt_internal.h"
#include "IbisParser/msg.h"

void APKG_KeywordLine(CMPNT* component, const char* rest) {
    if (component->alternate_package_models != nullptr)
        MSG_ErrorLine(520);
    else if (*rest != '\0')
        MSG_ErrorLine(521);
}

void APKG_EndLine(CMPNT* component, const char* rest) {
    if (*rest != '\0') MSG_ErrorLine(522);
    int names = 0;
    for (const APKG* name = component->alternate_package_models; name != nullptr && names < 2; name = name->next)
        ++names;
    if (names == 0)
        MSG_ErrorLine(1603);
    else if (names == 1)
        MSG_WarningLine(1604);
}

void APKG_NameLine(CMPNT* component, const char* line) {
    const char* text = CMPNT_SkipBlanks(line);
    const size_t length = std::strlen(text);
    if (length == 0) {
        MSG_ErrorLine(1601);
        return;
    }
    APKG* entry = nullptr;
    if (!CMN_Calloc(&entry, sizeof *entry)) {
        MSG_ErrorLine(1602);
        return;
    }
    if (length > CMPNT_NAME_MAX) MSG_ErrorLine(1600, text);
    std::memcpy(entry->name, text, length > CMPNT_NAME_MAX ? CMPNT_NAME_MAX : length);
    for (const APKG* name = component->alternate_package_models; name != nullptr; name = name->next)
        if (std::strcmp(name->name, entry->name) == 0) {
            MSG_ErrorLine(1605, entry->name);
            break;
        }
    if (component->alternatePackageModelsTail != nullptr)
        component->alternatePackageModelsTail->next = entry;
    else
        component->alternate_package_models = entry;
    component->alternatePackageModelsTail = entry;
}

void APKG_FreeList(APKG* list) {
    while (list != nullptr) {
        APKG* next = list->next;
        CMN_Free(list);
        list = next;
    }
}
