// [Component]: opening and closing a component, the routing of its keyword
// and data lines to the table each belongs to, and releasing the records.

#include "IbisParser/cmpnt.h"

#include "IbisParser/apkg.h"
#include "IbisParser/circuit.h"
#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt_internal.h"
#include "IbisParser/cmpnt_names.h"
#include "IbisParser/cmpntemi.h"
#include "IbisParser/difpin.h"
#include "IbisParser/hdr.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msg.h"
#include "IbisParser/node.h"
#include "IbisParser/parse.h"
#include "IbisParser/pin.h"
#include "IbisParser/pinmpg.h"
#include "IbisParser/pkg.h"
#include "IbisParser/spinmpg.h"
#include "IbisParser/sswch.h"

CmpntState g_cmpnt = {nullptr, KW::NOT_KEY, 0, nullptr, 1};

// Defined with the component's own fields.
void CMPNT_NameLine(CMPNT* component, const char* rest);
void CMPNT_SubParameterLine(CMPNT* component, const char* line);
void CMPNT_CircuitCallLine(CMPNT* component, const char* rest);

namespace {

bool StaysInComponent(int keyword) {
    return (keyword >= KW::MANUFACTURER && keyword <= KW::END_CIRCUIT_CALL) ||
           (keyword >= KW::BEGIN_EMI_COMPONENT && keyword <= KW::PIN_DOMAIN_EMI);
}

bool IsEmiKeyword(int keyword) { return keyword >= KW::BEGIN_EMI_COMPONENT && keyword <= KW::PIN_DOMAIN_EMI; }

void KeywordLine(CMPNT* component, int keyword, char* line) {
    const int previous = g_cmpnt.lastKeyword;
    if (keyword != KW::END_ALTERNATE_PACKAGE_MODELS && previous == KW::ALTERNATE_PACKAGE_MODELS)
        MSG_ErrorLine(504);
    if (keyword == KW::END_ALTERNATE_PACKAGE_MODELS && previous != KW::ALTERNATE_PACKAGE_MODELS)
        MSG_ErrorLine(503);
    if (CMPNTEMI_IsOpen() && !(keyword >= KW::END_EMI_COMPONENT && keyword <= KW::PIN_DOMAIN_EMI))
        MSG_ErrorLine(553);
    g_cmpnt.lastKeyword = keyword;

    const char* rest = CMPNT_AfterKeyword(line);
    switch (keyword) {
        case KW::COMPONENT: CMPNT_NameLine(component, rest); break;
        case KW::MANUFACTURER:
            CMN_SetFieldOnce(component->manufacturer, rest, CMPNT_NAME_MAX, "Manufacturer");
            g_cmpnt.manufacturerSeen = 1;
            break;
        case KW::PACKAGE: PKG_KeywordLine(component, rest); break;
        case KW::PIN: PIN_HeaderLine(component, rest); break;
        case KW::PACKAGE_MODEL:
            CMN_CopyField(component->package_model, rest, CMPNT_NAME_MAX, "Package_Model");
            CMN_CheckReserved(component->package_model);
            break;
        case KW::PIN_MAPPING: PINMPG_HeaderLine(component, rest); break;
        case KW::DIFF_PIN: DIFPIN_HeaderLine(component, rest); break;
        case KW::SERIES_SWITCH_GROUPS: SSWCH_KeywordLine(component, rest); break;
        case KW::SERIES_PIN_MAPPING: SPINMPG_HeaderLine(component, rest); break;
        case KW::ALTERNATE_PACKAGE_MODELS: APKG_KeywordLine(component, rest); break;
        case KW::END_ALTERNATE_PACKAGE_MODELS: APKG_EndLine(component, rest); break;
        case KW::NODE_DECLARATIONS:
            if (component->node_declarations)
                MSG_ErrorLine(548);
            else
                component->node_declarations = 1;
            NODE_KeywordLine(keyword, line);
            break;
        case KW::END_NODE_DECLARATIONS: NODE_KeywordLine(keyword, line); break;
        case KW::CIRCUIT_CALL: CMPNT_CircuitCallLine(component, rest); break;
        case KW::END_CIRCUIT_CALL: break;
        default:
            if (IsEmiKeyword(keyword))
                CMPNTEMI_HandleLine(PARSE_LINE_KEYWORD, keyword, line, component);
            else
                MSG_BugLine(505, CMPNT_MODULE, __LINE__);
            break;
    }
}

void DataLine(CMPNT* component, char* line) {
    const int keyword = g_cmpnt.lastKeyword;
    switch (keyword) {
        case KW::COMPONENT:
            if (HDR_GetVersionLevel() < 3)
                MSG_ErrorLine(506);
            else
                CMPNT_SubParameterLine(component, line);
            break;
        case KW::MANUFACTURER: MSG_ErrorLine(507); break;
        case KW::PACKAGE: PKG_DataLine(component, line); break;
        case KW::PIN: PIN_RowLine(component, line); break;
        case KW::PACKAGE_MODEL: MSG_ErrorLine(508); break;
        case KW::PIN_MAPPING: PINMPG_RowLine(component, line); break;
        case KW::DIFF_PIN: DIFPIN_RowLine(component, line); break;
        case KW::SERIES_SWITCH_GROUPS: SSWCH_GroupLine(component, line); break;
        case KW::SERIES_PIN_MAPPING: SPINMPG_RowLine(component, line); break;
        case KW::ALTERNATE_PACKAGE_MODELS: APKG_NameLine(component, line); break;
        case KW::NODE_DECLARATIONS: NODE_DataLine(component, keyword, line); break;
        case KW::CIRCUIT_CALL: CIRCUIT_CallLine(component, line); break;
        // The end keywords take no data.
        case KW::END_ALTERNATE_PACKAGE_MODELS:
        case KW::END_NODE_DECLARATIONS:
        case KW::END_CIRCUIT_CALL: MSG_ErrorLine(121); break;
        default:
            if (IsEmiKeyword(keyword))
                CMPNTEMI_HandleLine(PARSE_LINE_DATA, keyword, line, component);
            else
                MSG_BugLine(509, CMPNT_MODULE, __LINE__);
            break;
    }
}

// The component ends: what it must have had.
void Close() {
    CMPNT* component = g_cmpnt.open;
    if (g_cmpnt.lastKeyword == KW::ALTERNATE_PACKAGE_MODELS) MSG_ErrorLine(504);
    CMPNTEMI_ComponentCloses();
    if (!g_cmpnt.manufacturerSeen) MSG_Error(514, component->name);
    if (component->package != nullptr)
        PKG_CheckRequired(component);
    else
        MSG_Error(519, component->name);
    g_cmpnt.open = nullptr;
    g_cmpnt.manufacturerSeen = 0;
    g_cmpnt.group = nullptr;
    g_cmpnt.groupClosed = 1;
}

void FreeCalls(CMPNT_CALL* list) {
    while (list != nullptr) {
        CMPNT_CALL* next = list->next;
        CIRCUIT_FreeCall(list);
        CMN_Free(list);
        list = next;
    }
}

}  // namespace

int CMPNT_Open() {
    IBIS* ibis = nullptr;
    if (!IBIS_Current(&ibis)) {
        MSG_BugLine(500, CMPNT_MODULE, __LINE__);
        return 0;
    }
    CMPNT* record = nullptr;
    if (!CMN_Calloc(&record, sizeof *record)) {
        MSG_ErrorLine(512);
        return 0;
    }
    // Components are checked and reported in the order of the file.
    CMPNT** tail = &ibis->components;
    while (*tail != nullptr) tail = &(*tail)->next;
    *tail = record;

    g_cmpnt.open = record;
    g_cmpnt.lastKeyword = KW::COMPONENT;
    g_cmpnt.manufacturerSeen = 0;
    g_cmpnt.group = nullptr;
    g_cmpnt.groupClosed = 1;
    return 1;
}

int CMPNT_HandleLine(int lineClass, int keyword, char* line) {
    CMPNT* component = g_cmpnt.open;
    if (lineClass == PARSE_LINE_KEYWORD) {
        if (component == nullptr)
            MSG_ErrorLine(501);
        else
            KeywordLine(component, keyword, line);
    } else if (lineClass == PARSE_LINE_DATA) {
        if (component == nullptr)
            MSG_ErrorLine(502);
        else
            DataLine(component, line);
    } else {
        MSG_BugLine(510, CMPNT_MODULE, __LINE__);
    }
    return 1;
}

void CMPNT_KeywordChange(int next) {
    // The keyword line handler compares a component keyword with the one
    // before it, and then records it.
    if (StaysInComponent(next)) return;
    if (g_cmpnt.open != nullptr) Close();
    g_cmpnt.lastKeyword = next;
}

void CMPNT_FreeList(CMPNT* list) {
    while (list != nullptr) {
        CMPNT* next = list->next;
        if (list == g_cmpnt.open) g_cmpnt = CmpntState{nullptr, KW::NOT_KEY, 0, nullptr, 1};
        PKG_Free(list->package);
        PIN_FreeList(list->pins);
        PINMPG_FreeList(list->pin_mappings);
        DIFPIN_FreeList(list->diff_pins);
        SSWCH_FreeList(list->series_switch_groups);
        SPINMPG_FreeList(list->series_pin_mappings);
        APKG_FreeList(list->alternate_package_models);
        FreeCalls(list->circuit_calls);
        NODE_FreeList(list);
        CMPNT_NamesFree(list->pinIndex);
        CMPNT_NamesFree(list->pinMappingIndex);
        CMPNT_NamesFree(list->diffPinIndex);
        CMPNTEMI_Free(list->emi);
        CMN_Free(list);
        list = next;
    }
}
