// R/L/C sections.

#include "IbisParser/sect.h"

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"

#define SECT_MODULE "IbisParser\\sect"

namespace {

// The messages of one of R, L and C.
struct ItemRule {
    int beforeLen;  // the item came before any Len
    int duplicate;
    int negative;
};
constexpr ItemRule kRuleR = {3002, 3003, 3004};
constexpr ItemRule kRuleL = {3005, 3006, 3007};
constexpr ItemRule kRuleC = {3008, 3009, 3010};

void StoreItem(SECT_VALUE& slot, double value, const ItemRule& rule, bool lenSeen) {
    if (!lenSeen) MSG_ErrorLine(rule.beforeLen);
    if (slot.given) MSG_ErrorLine(rule.duplicate);
    if (value < 0.0) MSG_ErrorLine(rule.negative);
    slot.value = value;
    slot.given = 1;
}

void CheckComplete(const SECT& section) {
    if (section.len.given && section.len.value != 0.0 && (!section.l.given || !section.c.given))
        MSG_ErrorLine(3012);
    if (!section.len.given && !section.r.given && !section.l.given && !section.c.given) MSG_ErrorLine(3011);
}

}  // namespace

int SECT_Parse(char* text, SECT** place, char** rest) {
    MSG_REQUIRE(text != nullptr && place != nullptr && rest != nullptr, SECT_MODULE);
    *place = nullptr;

    SECT* section = nullptr;
    int itemsRead = 0;
    char* cursor = text;
    for (;;) {
        double value = 0.0;
        char* next = cursor;
        const int item = CMN_ParseRLC(cursor, &value, &next);
        cursor = next;
        if (item == CMN_RLC_END) {
            *rest = cursor;
            if (itemsRead == 0) return 1;
            MSG_ErrorLine(3013);
            SECT_Free(section);
            return 0;
        }
        ++itemsRead;
        if (section == nullptr && !CMN_Calloc(&section, sizeof *section)) {
            MSG_Bug(3014, SECT_MODULE, __LINE__);
            *rest = cursor;
            return 0;
        }
        switch (item) {
            case CMN_RLC_LEN:
                if (section->len.given) MSG_ErrorLine(3000);
                if (value < 0.0) MSG_ErrorLine(3001);
                section->len = SECT_VALUE{value, 1};
                break;
            case CMN_RLC_R: StoreItem(section->r, value, kRuleR, section->len.given != 0); break;
            case CMN_RLC_L: StoreItem(section->l, value, kRuleL, section->len.given != 0); break;
            case CMN_RLC_C: StoreItem(section->c, value, kRuleC, section->len.given != 0); break;
            case CMN_RLC_SLASH:
                CheckComplete(*section);
                *place = section;
                *rest = cursor;
                return 1;
            default: break;  // the item reader has reported it; read on
        }
    }
}

void SECT_Free(SECT* section) {
    if (section != nullptr) CMN_Free(section);
}
