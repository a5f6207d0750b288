#include "tools/amisim/reports/flow_report.h"

#include <cstdio>

#include "tools/amisim/figure_text.h"

namespace amisim {

const char* const kInitOnlyRule =
    "Models without AMI_GetWave (GetWave_Exists False): an Init-only transmitter's waveform is the stimulus "
    "convolved with the Tx-and-channel impulse its AMI_Init returned; an Init-only receiver's response is the "
    "impulse its AMI_Init returned over the impulse it was given (a ratio of spectra, taken where the given "
    "impulse carries energy, so that what the model adapted to the channel is kept), applied to the received "
    "wave. The summary's rules lines say which rule each side used, with the residual of the ratio. A model "
    "that declares Init_Returns_Impulse False in the statistical flow is reached through its AMI_GetWave's "
    "response to a 1 V step. A missing or unreadable Init_Returns_Impulse or GetWave_Exists is assumed from "
    "what the library exports, with a warning; a declared GetWave_Exists the library contradicts is refused "
    "(exit 2).";

namespace {

std::string Show(const FlowValue<bool>& value) {
    return (value.value ? (*value.value ? "True" : "False") : std::string("none")) + " (" + value.from + ")";
}

std::string Show(const FlowValue<long>& value) {
    return (value.value ? std::to_string(*value.value) : std::string("none")) + " (" + value.from + ")";
}

template <typename T>
nlohmann::ordered_json Json(const FlowValue<T>& value) {
    nlohmann::ordered_json out;
    out["value"] = value.value ? nlohmann::ordered_json(*value.value) : nlohmann::ordered_json(nullptr);
    out["from"] = value.from;
    return out;
}

std::string Line(const std::string& label, const std::string& text) {
    char head[32];
    std::snprintf(head, sizeof head, "  %-13s ", label.c_str());
    return head + text + "\n";
}

std::string ModelLines(const LinkModel& model, const std::string& role, bool receiver, double residual) {
    const ModelFlow& flow = model.flow;
    const std::string lead = role.empty() ? "" : role + " ";
    std::string out = Line(lead + "flow", "Init_Returns_Impulse " + Show(flow.init_returns_impulse) +
                                              ", GetWave_Exists " + Show(flow.getwave_exists) + ", Ignore_Bits " +
                                              Show(flow.ignore_bits) + ", Max_Init_Aggressors " +
                                              Show(flow.max_init_aggressors) + ", Use_Init_Output " +
                                              Show(flow.use_init_output));
    out += Line(lead + "rules", "statistical: " + StatisticalRule(model) +
                                    "; time domain: " + TimeDomainRule(model, receiver, residual));
    return out;
}

nlohmann::ordered_json ModelJson(const LinkModel& model, bool receiver, double residual) {
    const ModelFlow& flow = model.flow;
    nlohmann::ordered_json out;
    out["Init_Returns_Impulse"] = Json(flow.init_returns_impulse);
    out["GetWave_Exists"] = Json(flow.getwave_exists);
    out["Ignore_Bits"] = Json(flow.ignore_bits);
    out["Max_Init_Aggressors"] = Json(flow.max_init_aggressors);
    out["Use_Init_Output"] = Json(flow.use_init_output);
    out["exports_AMI_GetWave"] = flow.exports_get_wave;
    out["statistical_rule"] = StatisticalRule(model);
    out["time_domain_rule"] = TimeDomainRule(model, receiver, residual);
    if (receiver && !model.HasGetWave()) out["init_response_residual"] = residual;
    return out;
}

}  // namespace

std::string StatisticalRule(const LinkModel& model) {
    return model.ReturnsImpulse() ? "the impulse its AMI_Init returned" : "its AMI_GetWave's response to a step";
}

std::string TimeDomainRule(const LinkModel& model, bool receiver, double init_residual) {
    if (model.HasGetWave()) return "its AMI_GetWave";
    if (!receiver) return "the stimulus through the Tx-and-channel impulse its AMI_Init returned";
    return "its AMI_Init's output over its input (residual " + Figure("%.1e", init_residual) + ")";
}

std::string FormatFlowSummary(const LinkModel& tx, const LinkModel* rx, const LinkRun& run) {
    std::string out = ModelLines(tx, rx != nullptr ? "Tx" : "", false, 0.0);
    if (rx != nullptr) out += ModelLines(*rx, "Rx", true, run.rx_init_residual);
    return out;
}

nlohmann::ordered_json FlowJson(const LinkModel& tx, const LinkModel* rx, const LinkRun& run) {
    nlohmann::ordered_json out;
    out["tx"] = ModelJson(tx, false, 0.0);
    out["rx"] = rx != nullptr ? ModelJson(*rx, true, run.rx_init_residual) : nlohmann::ordered_json(nullptr);
    return out;
}

}  // namespace amisim
