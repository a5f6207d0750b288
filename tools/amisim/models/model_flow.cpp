#include "tools/amisim/models/model_flow.h"

#include <cmath>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/models/ami_tree.h"

namespace amisim {

namespace {

const char* Text(bool value) { return value ? "True" : "False"; }

// What is wrong with a parameter that is there but not of its type, for
// messages: "(Value Maybe) is not True or False", "has no value".
std::string Problem(const AmiParameter& parameter, const char* expected) {
    const std::optional<std::string> value = parameter.EffectiveDefault();
    if (!value) return "has no value";
    return "(" + parameter.Source() + " " + *value + ") is not " + expected;
}

FlowValue<bool> ReadFlag(const AmiFile* ami, const char* name, bool& unreadable, std::string& written) {
    unreadable = false;
    if (ami == nullptr) return {std::nullopt, "missing"};
    const AmiParameter* parameter = ami->Reserved(name);
    if (parameter == nullptr) return {std::nullopt, "missing"};
    const std::optional<std::string> text = parameter->EffectiveDefault();
    const std::optional<bool> value = text ? ParseAmiBoolean(*text) : std::nullopt;
    if (!value) {
        unreadable = true;
        written = Problem(*parameter, "True or False");
        return {std::nullopt, "unreadable"};
    }
    return {value, parameter->Source()};
}

bool IsReturned(const AmiParameter& parameter) { return parameter.usage == "Out" || parameter.usage == "InOut"; }

// A whole number a host can count with.
bool IsCount(std::optional<double> value) {
    return value && *value >= 0 && *value <= 1e9 && *value == std::floor(*value);
}

FlowValue<long> ReadCount(const AmiFile* ami, const char* name, const std::string& role,
                          std::vector<std::string>& warnings) {
    if (ami == nullptr) return {std::nullopt, "missing"};
    const AmiParameter* parameter = ami->Reserved(name);
    if (parameter == nullptr) return {std::nullopt, "missing"};
    const std::optional<std::string> text = parameter->EffectiveDefault();
    // A count the model returns from AMI_Init needs no value in the file.
    if (!text && IsReturned(*parameter)) return {std::nullopt, "returned by AMI_Init"};
    const std::optional<double> value = text ? ParseAmiNumber(*text) : std::nullopt;
    if (!IsCount(value)) {
        warnings.push_back(role + " " + name + " " + Problem(*parameter, "a count") + "; it is not used");
        return {std::nullopt, "unreadable"};
    }
    return {static_cast<long>(*value), parameter->Source()};
}

}  // namespace

ModelFlow ResolveModelFlow(const AmiFile* ami, bool exports_get_wave, const std::string& role,
                           const std::string& library) {
    ModelFlow flow;
    flow.exports_get_wave = exports_get_wave;
    bool unreadable = false;
    std::string written;

    flow.getwave_exists = ReadFlag(ami, "GetWave_Exists", unreadable, written);
    if (flow.getwave_exists.value) {
        const bool declared = *flow.getwave_exists.value;
        if (declared && !exports_get_wave)
            throw UsageError(library + ": the .ami file declares GetWave_Exists True, but the library exports no "
                             "AMI_GetWave");
        if (!declared && exports_get_wave)
            throw UsageError(library + ": the .ami file declares GetWave_Exists False, but the library exports "
                             "AMI_GetWave; which one describes the model cannot be told");
    } else {
        // What the library exports settles it.
        if (ami != nullptr)
            flow.warnings.push_back(role + " GetWave_Exists " + (unreadable ? written : "is missing") +
                                    "; assumed " + Text(exports_get_wave) + ", since the library " +
                                    (exports_get_wave ? "exports" : "exports no") + " AMI_GetWave");
        flow.getwave_exists = {exports_get_wave, "assumed"};
    }

    flow.init_returns_impulse = ReadFlag(ami, "Init_Returns_Impulse", unreadable, written);
    if (!flow.init_returns_impulse.value) {
        // A model without AMI_GetWave can only act through its AMI_Init; one
        // with it is driven through AMI_GetWave, the safer guess.
        const bool assumed = !*flow.getwave_exists.value;
        if (ami != nullptr)
            flow.warnings.push_back(role + " Init_Returns_Impulse " +
                                    (unreadable ? written : "is missing") + "; assumed " +
                                    Text(assumed) + ", since the model " +
                                    (assumed ? "has no AMI_GetWave" : "has an AMI_GetWave"));
        flow.init_returns_impulse = {assumed, "assumed"};
    }
    if (!*flow.init_returns_impulse.value && !*flow.getwave_exists.value)
        throw UsageError(library + ": the model declares Init_Returns_Impulse False and GetWave_Exists False; "
                         "it gives neither an impulse nor a waveform to use");

    flow.ignore_bits = ReadCount(ami, "Ignore_Bits", role, flow.warnings);
    flow.max_init_aggressors = ReadCount(ami, "Max_Init_Aggressors", role, flow.warnings);
    flow.use_init_output = ReadFlag(ami, "Use_Init_Output", unreadable, written);
    if (unreadable)
        flow.warnings.push_back(role + " Use_Init_Output " + written + "; it is not used");
    return flow;
}

std::optional<std::string> ModelModulation(const AmiFile* ami) {
    const AmiParameter* parameter = ami != nullptr ? ami->Reserved("Modulation") : nullptr;
    return parameter != nullptr ? parameter->EffectiveDefault() : std::nullopt;
}

std::optional<long> ReturnedIgnoreBits(const AmiFile* ami, const std::string& parameters_out) {
    const AmiParameter* parameter = ami != nullptr ? ami->Reserved("Ignore_Bits") : nullptr;
    if (parameter == nullptr || !IsReturned(*parameter) || parameters_out.empty()) return std::nullopt;
    try {
        const AmiTree tree = ReadAmiTree(JoinAmiLines(parameters_out), "AMI_parameters_out");
        const AmiNode* node = FindNamedList(tree.root, "Ignore_Bits");
        if (node == nullptr || node->items.size() != 2 || node->items[1].is_list) return std::nullopt;
        const std::optional<double> value = ParseAmiNumber(node->items[1].text);
        if (!IsCount(value)) return std::nullopt;
        return static_cast<long>(*value);
    } catch (const AmisimError&) {
        return std::nullopt;  // the text is not a tree: the file's count stands
    }
}

}  // namespace amisim
