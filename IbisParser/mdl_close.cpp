// [Model]: what happens when the next keyword arrives. The last keyword's
// table, waveform or block is closed with its checks, and a keyword outside
// the model ends the model.

#include "IbisParser/algmod.h"
#include "IbisParser/circuit.h"
#include "IbisParser/crv.h"
#include "IbisParser/drvsh.h"
#include "IbisParser/mdl_internal.h"
#include "IbisParser/mdlemi.h"
#include "IbisParser/msg.h"
#include "IbisParser/mspec.h"
#include "IbisParser/parse.h"
#include "IbisParser/ramp.h"
#include "IbisParser/rcvth.h"

namespace {

// The label a table's closing checks print.
const char* TableEndLabel(int keyword) {
    switch (keyword) {
        case KW::PULLDOWN: return "Pulldown";
        case KW::PULLUP: return "Pullup";
        case KW::GND_CLAMP: return "GND Clamp";
        case KW::POWER_CLAMP: return "POWER Clamp";
        case KW::SERIES_CURRENT: return "Series_Current";
        case KW::ISSO_PD: return "ISSO PD";
        case KW::ISSO_PU: return "ISSO PU";
        default: return nullptr;
    }
}

// Closes what `previous` opened. False when the model must stay exactly as
// it is (an [External Model] that does not end properly).
bool CloseLastKeyword(MDL* model, int previous, int next) {
    switch (previous) {
        case KW::EXTERNAL_MODEL:
            if (next != KW::END_EXTERNAL_MODEL) {
                MSG_ErrorLine(123);
                return false;
            }
            CIRCUIT_KeywordChange(next);
            g_mdl.lastKeyword = KW::MODEL;
            return true;
        case KW::MODEL: MDL_CheckSubParameters(model); return true;
        case KW::PULLDOWN:
        case KW::PULLUP:
        case KW::GND_CLAMP:
        case KW::POWER_CLAMP:
        case KW::SERIES_CURRENT:
        case KW::ISSO_PD:
        case KW::ISSO_PU:
            if (g_mdl.openTable != nullptr)
                CRV_End(model->name, model->model_type, previous, g_mdl.openTable, TableEndLabel(previous), "Model");
            return true;
        case KW::RAMP:
            if (model->ramp != nullptr) RAMP_End(model->ramp);
            return true;
        case KW::RISING_WAVEFORM: WVFRM_End("Rising", WVFRM_KIND_MODEL); return true;
        case KW::FALLING_WAVEFORM: WVFRM_End("Falling", WVFRM_KIND_MODEL); return true;
        case KW::COMPOSITE_CURRENT:
            if (g_mdl.openComposite != nullptr) WVFRM_End("Composite Current", WVFRM_KIND_COMPOSITE);
            return true;
        case KW::MODEL_SPEC: MSPEC_KeywordChange(next); return true;
        case KW::RECEIVER_THRESHOLDS: RCVTH_KeywordChange(next); return true;
        case KW::DRIVER_SCHEDULE: DRVSH_KeywordChange(next); return true;
        case KW::SERIES_MOSFET:
            if (g_mdl.openMosfet != nullptr) CRV_MosfetEnd(g_mdl.openMosfet, model->name, model->model_type);
            return true;
        case KW::ALGORITHMIC_MODEL:
            if (next != KW::END_ALGORITHMIC_MODEL) MSG_ErrorLine(259);
            ALGMOD_KeywordChange(next);
            return true;
        case KW::BEGIN_EMI_MODEL:
            if (next != KW::END_EMI_MODEL) MSG_ErrorLine(260);
            MDLEMI_KeywordChange(next);
            return true;
        default: return true;
    }
}

}  // namespace

void MDL_KeywordChange(int next) {
    MDL* model = g_mdl.open;
    if (model == nullptr) return;
    const int previous = g_mdl.lastKeyword;
    const bool closed = CloseLastKeyword(model, previous, next);
    g_mdl.openTable = nullptr;
    g_mdl.openMosfet = nullptr;
    g_mdl.openComposite = nullptr;
    const bool staysOpen = next != KW::MODEL && next >= KW::EXTERNAL_MODEL && next <= KW::END_EMI_MODEL;
    // A model left inside an unfinished [External Model] stays open as it
    // is, whatever keyword follows: a later model keyword still belongs to
    // it, and it never gets its end checks.
    if (!closed) return;

    if (next == KW::END_ALGORITHMIC_MODEL && previous != KW::ALGORITHMIC_MODEL) MSG_ErrorLine(261);
    if (next == KW::END_EMI_MODEL && previous != KW::BEGIN_EMI_MODEL) MSG_ErrorLine(262);
    if (staysOpen) return;

    MDL_CheckModel(model);
    g_mdl = MdlState{};
}
