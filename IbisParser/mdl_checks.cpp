// [Model]: the checks when the sub-parameters end and when the model ends.

#include <cstring>

#include "IbisParser/mdl_internal.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"
#include "IbisParser/rng.h"
#include "IbisParser/sinfo.h"

namespace {

bool AnyCComp(const MDL& model) {
    return model.cComp != nullptr || model.cCompPullup != nullptr || model.cCompPulldown != nullptr ||
           model.cCompPowerClamp != nullptr || model.cCompGndClamp != nullptr;
}

void CheckTerminatorValues(const MDL& model) {
    if (model.model_type != MDL_TYPE_TERMINATOR) {
        if (model.rgnd != nullptr) MSG_Error(185, model.name, "Rgnd");
        if (model.rpower != nullptr) MSG_Error(185, model.name, "Rpower");
        if (model.rac != nullptr) MSG_Error(185, model.name, "Rac");
        if (model.cac != nullptr) MSG_Error(185, model.name, "Cac");
    }
    if (model.rac != nullptr && model.cac == nullptr) MSG_Error(187, model.name);
    if (model.cac != nullptr && model.rac == nullptr) MSG_Error(186, model.name);
}

void CheckReferences(const MDL& model) {
    if (model.voltageRange != nullptr) return;
    if (model.pullupReference == nullptr) MSG_Error(188, model.name, "Pullup Reference");
    if (model.pulldownReference == nullptr) MSG_Error(188, model.name, "Pulldown Reference");
    if (model.powerClampReference == nullptr) MSG_Error(188, model.name, "POWER Clamp Reference");
    if (model.gndClampReference == nullptr) MSG_Error(188, model.name, "GND Clamp Reference");
}

void CheckRamp(const MDL& model) {
    switch (model.model_type) {
        case MDL_TYPE_INPUT:
        case MDL_TYPE_INPUT_ECL:
        case MDL_TYPE_TERMINATOR:
        case MDL_TYPE_INPUT_DIFF: return;
        case MDL_TYPE_SERIES:
        case MDL_TYPE_SERIES_SWITCH:
            if (model.ramp != nullptr) MSG_Error(189, model.name);
            return;
        default:
            if (model.ramp == nullptr) MSG_Error(190, model.name);
            return;
    }
}

// Series and Series_switch models are passive: no drivers, clamps,
// waveforms or driver timing.
void CheckSeriesContents(const MDL& model) {
    if (!MDL_IsSeriesType(model.model_type)) return;
    const int code = model.model_type == MDL_TYPE_SERIES ? 191 : 192;
    const struct {
        bool present;
        const char* name;
    } contents[] = {
        {model.pullup != nullptr, "Pullup"},
        {model.pulldown != nullptr, "Pulldown"},
        {model.powerClamp != nullptr, "POWER_Clamp"},
        {model.gndClamp != nullptr, "GND_Clamp"},
        {model.rising.count > 0, "Rising Waveform"},
        {model.falling.count > 0, "Falling Waveform"},
        {model.ttgnd != nullptr, "TTgnd"},
        {model.ttpower != nullptr, "TTpower"},
        {MDL_HasKeyword(&model, KW::DRIVER_SCHEDULE) != 0, "Driver Schedule"},
    };
    for (const auto& item : contents)
        if (item.present) MSG_Error(code, model.name, item.name);
    if (MDL_HasKeyword(&model, KW::MODEL_SPEC)) MSG_Warning(code, model.name, "Model Spec");
}

void CheckSeriesElements(const MDL& model) {
    if (model.model_type == MDL_TYPE_SERIES) {
        if (model.on != nullptr) SINFO_Check(model.on, model.name, "");
        return;
    }
    if (model.model_type != MDL_TYPE_SERIES_SWITCH) return;
    if (model.on != nullptr)
        SINFO_Check(model.on, model.name, "[On]");
    else
        MSG_Error(193, model.name);
    if (model.off != nullptr)
        SINFO_Check(model.off, model.name, "[Off]");
    else
        MSG_Error(194, model.name);
}

void CheckReceiverReferenceSupply(const MDL& model) {
    const char* supply = MDL_ReceiverReferenceSupply(&model);
    if (supply == nullptr) return;
    const struct {
        const char* supply;
        const RNG* range;
        int code;
    } references[] = {
        {"Power_clamp_ref", model.powerClampReference, 195}, {"Gnd_clamp_ref", model.gndClampReference, 196},
        {"Pullup_ref", model.pullupReference, 197},          {"Pulldown_ref", model.pulldownReference, 198},
        {"Ext_ref", model.externalReference, 199},
    };
    for (const auto& reference : references)
        if (std::strcmp(supply, reference.supply) == 0 && reference.range == nullptr)
            MSG_Error(reference.code, model.name);
}

bool TimingValue(const MDL& model, const MDL_VALUE& value, const char* name) {
    return value.given || MDL_SpecGives(&model, name);
}

void CheckTimingTestLoad(const MDL& model) {
    switch (model.model_type) {
        case MDL_TYPE_OUTPUT:
        case MDL_TYPE_IO:
        case MDL_TYPE_3STATE:
            if (!TimingValue(model, model.vmeas, "Vmeas")) MSG_Warning(201, model.name);
            return;
        case MDL_TYPE_OPEN_DRAIN:
        case MDL_TYPE_IO_OPEN_DRAIN:
        case MDL_TYPE_OPEN_SINK:
        case MDL_TYPE_IO_OPEN_SINK:
        case MDL_TYPE_OPEN_SOURCE:
        case MDL_TYPE_IO_OPEN_SOURCE:
        case MDL_TYPE_OUTPUT_ECL:
        case MDL_TYPE_IO_ECL:
        case MDL_TYPE_3STATE_ECL:
            if (!TimingValue(model, model.vmeas, "Vmeas") || !TimingValue(model, model.vref, "Vref") ||
                !TimingValue(model, model.rref, "Rref"))
                MSG_Warning(200, model.name);
            return;
        case MDL_TYPE_IO_DIFF:
        case MDL_TYPE_OUTPUT_DIFF:
        case MDL_TYPE_3STATE_DIFF:
            if (!model.rrefDiff.given && !model.crefDiff.given) MSG_Warning(202, model.name);
            return;
        default: return;
    }
}

}  // namespace

void MDL_CheckSubParameters(const MDL* model) {
    if (model->model_type == MDL_TYPE_NONE) MSG_Error(180, model->name, "Model_type");
    if (!MDL_IsIOType(model->model_type) || !model->vmeas.given) return;
    const double vmeas = model->vmeas.value;
    if (model->vinl.given && model->vinl.value >= vmeas) MSG_Caution(182, model->name);
    if (model->vinh.given && model->vinh.value <= vmeas) MSG_Caution(183, model->name);
}

void MDL_CheckModel(MDL* model) {
    const MDL& m = *model;
    if (!AnyCComp(m) && !MDL_HasKeyword(model, KW::EXTERNAL_MODEL)) MSG_Error(181, m.name);
    if (MDL_IsReceiverType(m.model_type) && !MDL_HasKeyword(model, KW::RECEIVER_THRESHOLDS)) {
        if (!m.vinl.given) MSG_Warning(184, m.name, MDL_TypeName(m.model_type), "Vinl");
        if (!m.vinh.given) MSG_Warning(184, m.name, MDL_TypeName(m.model_type), "Vinh");
    }
    CheckTerminatorValues(m);
    CheckReferences(m);
    CheckRamp(m);
    CheckSeriesContents(m);
    CheckSeriesElements(m);
    CheckReceiverReferenceSupply(m);
    CheckTimingTestLoad(m);
}
