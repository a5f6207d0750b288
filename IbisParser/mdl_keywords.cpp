// [Model]: the keyword lines inside a model and where their data lines go.

#include "IbisParser/algmod.h"
#include "IbisParser/circuit.h"
#include "IbisParser/cmn.h"
#include "IbisParser/crv.h"
#include "IbisParser/drvsh.h"
#include "IbisParser/mdl_internal.h"
#include "IbisParser/mdlemi.h"
#include "IbisParser/msg.h"
#include "IbisParser/mspec.h"
#include "IbisParser/parse.h"
#include "IbisParser/ramp.h"
#include "IbisParser/rcvth.h"
#include "IbisParser/rng.h"
#include "IbisParser/rngp.h"
#include "IbisParser/sinfo.h"

namespace {

// A keyword that holds one typ/min/max range, in the model or in its
// series element.
struct RangeKeyword {
    int keyword;
    const char* label;
    RNG* MDL::*modelSlot;     // null for series element keywords
    RNG* SINFO::*seriesSlot;  // null for model keywords
    bool beforeOnOff;         // must come before [On] and [Off] in a Series_switch model
};

const RangeKeyword kRangeKeywords[] = {
    {KW::TEMPERATURE_RANGE, "Temperature Range", &MDL::temperatureRange, nullptr, true},
    {KW::VOLTAGE_RANGE, "Voltage Range", &MDL::voltageRange, nullptr, true},
    {KW::PULLUP_REFERENCE, "Pullup Reference", &MDL::pullupReference, nullptr, true},
    {KW::PULLDOWN_REFERENCE, "Pulldown Reference", &MDL::pulldownReference, nullptr, true},
    {KW::POWER_CLAMP_REFERENCE, "POWER Clamp Reference", &MDL::powerClampReference, nullptr, true},
    {KW::GND_CLAMP_REFERENCE, "GND Clamp Reference", &MDL::gndClampReference, nullptr, true},
    {KW::EXTERNAL_REFERENCE, "External Reference", &MDL::externalReference, nullptr, false},
    {KW::RGND, "Rgnd", &MDL::rgnd, nullptr, false},
    {KW::RPOWER, "Rpower", &MDL::rpower, nullptr, false},
    {KW::RAC, "Rac", &MDL::rac, nullptr, false},
    {KW::CAC, "Cac", &MDL::cac, nullptr, false},
    {KW::TTGND, "TTgnd", &MDL::ttgnd, nullptr, false},
    {KW::TTPOWER, "TTpower", &MDL::ttpower, nullptr, false},
    {KW::R_SERIES, "R_series", nullptr, &SINFO::rSeries, false},
    {KW::L_SERIES, "L_series", nullptr, &SINFO::lSeries, false},
    {KW::RL_SERIES, "Rl_series", nullptr, &SINFO::rlSeries, false},
    {KW::C_SERIES, "C_series", nullptr, &SINFO::cSeries, false},
    {KW::LC_SERIES, "Lc_series", nullptr, &SINFO::lcSeries, false},
    {KW::RC_SERIES, "Rc_series", nullptr, &SINFO::rcSeries, false},
};

const RangeKeyword* FindRangeKeyword(int keyword) {
    for (const RangeKeyword& entry : kRangeKeywords)
        if (entry.keyword == keyword) return &entry;
    return nullptr;
}

// The I-V tables of a model: slot, and the label of their start and rows.
struct TableKeyword {
    int keyword;
    CRV* MDL::*slot;
    const char* label;
};

const TableKeyword kTableKeywords[] = {
    {KW::PULLDOWN, &MDL::pulldown, "Pulldown"},   {KW::PULLUP, &MDL::pullup, "Pullup"},
    {KW::GND_CLAMP, &MDL::gndClamp, "GND Clamp"}, {KW::POWER_CLAMP, &MDL::powerClamp, "POWER Clamp"},
    {KW::ISSO_PD, &MDL::issoPd, "ISSO_PD"},       {KW::ISSO_PU, &MDL::issoPu, "ISSO_PU"},
};

const TableKeyword* FindTableKeyword(int keyword) {
    for (const TableKeyword& entry : kTableKeywords)
        if (entry.keyword == keyword) return &entry;
    return nullptr;
}

// The keywords whose presence puts [Model Spec] (all of them) or [Receiver
// Thresholds] (all but the last three) out of place.
const int kKeywordsAfterSpec[] = {
    KW::TEMPERATURE_RANGE,
    KW::VOLTAGE_RANGE,
    KW::PULLUP_REFERENCE,
    KW::PULLDOWN_REFERENCE,
    KW::POWER_CLAMP_REFERENCE,
    KW::GND_CLAMP_REFERENCE,
    KW::TTGND,
    KW::TTPOWER,
    KW::DRIVER_SCHEDULE,
    KW::PULLDOWN,
    KW::PULLUP,
    KW::GND_CLAMP,
    KW::POWER_CLAMP,
    KW::RGND,
    KW::RPOWER,
    KW::RAC,
    KW::CAC,
    KW::RAMP,
    KW::RISING_WAVEFORM,
    KW::FALLING_WAVEFORM,
    KW::ADD_SUBMODEL,
    KW::RECEIVER_THRESHOLDS,
    KW::ISSO_PD,
    KW::ISSO_PU,
};
constexpr int kKeywordsAfterThresholds = sizeof kKeywordsAfterSpec / sizeof kKeywordsAfterSpec[0] - 3;

bool AnyPresent(const MDL* model, int count) {
    for (int i = 0; i < count; ++i)
        if (MDL_Present(model, kKeywordsAfterSpec[i])) return true;
    return false;
}

const char* TextAfterKeyword(const char* line) {
    const char* rest = RNGP_AfterKeyword(line);
    return rest != nullptr ? rest : "";
}

void RangeKeywordLine(MDL* model, const RangeKeyword& entry, const char* line) {
    RNG** slot = entry.modelSlot != nullptr ? &(model->*entry.modelSlot) : &(g_mdl.series->*entry.seriesSlot);
    if (*slot != nullptr) {
        MSG_ErrorLine(119, entry.label, model->name);
        return;
    }
    if (entry.beforeOnOff && model->model_type == MDL_TYPE_SERIES_SWITCH && g_mdl.series != nullptr)
        MSG_ErrorLine(204, model->name, entry.label);
    RNG* range = nullptr;
    RNG_ParseLine(TextAfterKeyword(line), entry.label, &range);
    if (range == nullptr) return;
    *slot = range;
    if (range->state[RNG_TYP] == CMN_OPT_NA) MSG_ErrorLine(178);

    // Times to cross the thresholds cannot be negative; zero is fine.
    int firstCode = 0;
    if (entry.keyword == KW::TTGND) firstCode = 108;
    if (entry.keyword == KW::TTPOWER) firstCode = 112;
    if (firstCode == 0) return;
    for (int corner = RNG_TYP; corner <= RNG_MAX; ++corner)
        if (range->state[corner] == CMN_OPT_GIVEN && range->value[corner] < 0.0) MSG_ErrorLine(firstCode + corner);
}

// Series element keywords need a Series or Series_switch model, and a
// series element to go into; a Series_switch model without [On] or [Off]
// so far gets an [On] element. False when the keyword is to be ignored.
bool SeriesCheck(MDL* model) {
    if (!MDL_IsSeriesType(model->model_type)) {
        MSG_ErrorLine(206);
        return false;
    }
    if (g_mdl.series != nullptr) return true;
    const bool isSwitch = model->model_type == MDL_TYPE_SERIES_SWITCH;
    if (isSwitch) MSG_ErrorLine(207);
    // The keyword's own values are no surplus items of the new element, so
    // the element starts from the bare end of a keyword.
    if (!SINFO_Start("]", &model->on, isSwitch ? "[On]" : "")) return false;
    g_mdl.series = model->on;
    return g_mdl.series != nullptr;
}

void OnOffKeyword(MDL* model, int keyword, const char* line) {
    if (model->model_type != MDL_TYPE_SERIES_SWITCH) MSG_ErrorLine(205);
    SINFO** slot = keyword == KW::ON ? &model->on : &model->off;
    SINFO_Start(line, slot, keyword == KW::ON ? "[On]" : "[Off]");
    g_mdl.series = *slot;
}

// A [Composite Current] belongs to the waveform just read; out of place, it
// still goes to the last waveform of the kind read last.
void CompositeCurrentKeyword(int previous, const char* line) {
    if (previous != KW::RISING_WAVEFORM && previous != KW::FALLING_WAVEFORM) MSG_ErrorLine(257);
    WVFRM_LIST* list = g_mdl.lastWaveformList;
    WVFRM* waveform = list != nullptr ? list->tail : nullptr;
    if (waveform == nullptr) {
        MSG_ErrorLine(258);
        return;
    }
    if (waveform->composite != nullptr) MSG_BugLine(263);
    g_mdl.openComposite = WVFRM_StartIn(line, &waveform->composite, "Composite Current");
}

}  // namespace

void MDL_KeywordLine(MDL* model, int keyword, int previous, char* line) {
    g_mdl.openTable = nullptr;
    g_mdl.openMosfet = nullptr;
    g_mdl.openComposite = nullptr;

    if (const RangeKeyword* range = FindRangeKeyword(keyword)) {
        if (range->seriesSlot == nullptr || SeriesCheck(model)) RangeKeywordLine(model, *range, line);
        MDL_MarkKeyword(model, keyword);
        return;
    }
    if (const TableKeyword* table = FindTableKeyword(keyword)) {
        if (CRV_Start(line, &(model->*table->slot), table->label)) g_mdl.openTable = model->*table->slot;
        MDL_MarkKeyword(model, keyword);
        return;
    }
    switch (keyword) {
        case KW::MODEL:
            MDL_NameLine(model, line);
            if (g_mdl.open != model) return;  // no name: no model
            break;
        case KW::EXTERNAL_MODEL:
            if (MDL_HasKeyword(model, keyword))
                MSG_ErrorLine(119, "[External_Model]", model->name);
            else
                CIRCUIT_HandleLine(PARSE_LINE_KEYWORD, keyword, line);
            break;
        case KW::RAMP: RAMP_Start(line, &model->ramp); break;
        case KW::RISING_WAVEFORM:
            WVFRM_Start(line, &model->rising, "Rising Waveform");
            g_mdl.lastWaveformList = &model->rising;
            break;
        case KW::FALLING_WAVEFORM:
            WVFRM_Start(line, &model->falling, "Falling Waveform");
            g_mdl.lastWaveformList = &model->falling;
            break;
        case KW::MODEL_SPEC:
            if (AnyPresent(model, sizeof kKeywordsAfterSpec / sizeof kKeywordsAfterSpec[0])) MSG_ErrorLine(116);
            MSPEC_KeywordLine(keyword, line);
            break;
        case KW::RECEIVER_THRESHOLDS:
            if (AnyPresent(model, kKeywordsAfterThresholds)) MSG_ErrorLine(120);
            if (!MDL_IsReceiverType(model->model_type)) MSG_WarningLine(117, MDL_TypeName(model->model_type));
            RCVTH_KeywordLine(keyword, line);
            break;
        case KW::DRIVER_SCHEDULE: DRVSH_KeywordLine(keyword, line); break;
        case KW::ON:
        case KW::OFF: OnOffKeyword(model, keyword, line); break;
        case KW::SERIES_CURRENT:
            if (SeriesCheck(model) && CRV_Start(line, &g_mdl.series->seriesCurrent, "Series_Current"))
                g_mdl.openTable = g_mdl.series->seriesCurrent;
            break;
        case KW::SERIES_MOSFET:
            if (SeriesCheck(model)) g_mdl.openMosfet = CRV_MosfetStart(line, &g_mdl.series->seriesMosfet);
            break;
        case KW::ADD_SUBMODEL: MDL_AddSubmodelKeyword(model, line); break;
        case KW::ALGORITHMIC_MODEL: ALGMOD_Keyword(line); break;
        case KW::COMPOSITE_CURRENT: CompositeCurrentKeyword(previous, line); break;
        case KW::BEGIN_EMI_MODEL: MDLEMI_KeywordLine(keyword, line); break;
        default: break;  // the end keywords: their checks run as the keyword changes
    }
    MDL_MarkKeyword(model, keyword);
}

void MDL_DataLine(MDL* model, int keyword, char* line) {
    if (FindRangeKeyword(keyword) != nullptr) {
        MSG_ErrorLine(121);
        return;
    }
    if (const TableKeyword* table = FindTableKeyword(keyword)) {
        if (g_mdl.openTable != nullptr) CRV_Row(line, g_mdl.openTable, table->label);
        return;
    }
    switch (keyword) {
        case KW::MODEL: MDL_SubParameterLine(model, line); break;
        case KW::EXTERNAL_MODEL: CIRCUIT_HandleLine(PARSE_LINE_DATA, keyword, line); break;
        case KW::ON:
        case KW::OFF:
        // The closing keywords take no data either.
        case KW::END_EXTERNAL_MODEL:
        case KW::END_ALGORITHMIC_MODEL: MSG_ErrorLine(121); break;
        case KW::RAMP:
            if (model->ramp != nullptr) RAMP_DataLine(line, model->ramp, model->name);
            break;
        case KW::RISING_WAVEFORM: WVFRM_DataLine(line, "Rising Waveform"); break;
        case KW::FALLING_WAVEFORM: WVFRM_DataLine(line, "Falling Waveform"); break;
        case KW::COMPOSITE_CURRENT:
            if (g_mdl.openComposite != nullptr) WVFRM_DataLine(line, "Composite Current");
            break;
        case KW::SERIES_CURRENT:
            if (g_mdl.openTable != nullptr) CRV_Row(line, g_mdl.openTable, "Series_Current");
            break;
        case KW::SERIES_MOSFET:
            if (g_mdl.openMosfet != nullptr) CRV_MosfetDataLine(line, g_mdl.openMosfet);
            break;
        case KW::MODEL_SPEC: MSPEC_DataLine(keyword, line); break;
        case KW::RECEIVER_THRESHOLDS: RCVTH_DataLine(keyword, line); break;
        case KW::DRIVER_SCHEDULE: DRVSH_DataLine(keyword, line); break;
        case KW::ADD_SUBMODEL: MDL_AddSubmodelLine(model, line); break;
        case KW::ALGORITHMIC_MODEL: ALGMOD_DataLine(line); break;
        case KW::BEGIN_EMI_MODEL: MDLEMI_DataLine(keyword, line); break;
        case KW::END_EMI_MODEL: MSG_ErrorLine(174); break;
        default: MSG_BugLine(122, MDL_MODULE, __LINE__); break;
    }
}
