#include "tools/amisim/reference_rx/reference_rx_model.h"

#include <memory>
#include <new>
#include <stdexcept>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/reference_rx/reference_receiver.h"

namespace amisim {

namespace {

constexpr const char* kRoot = "reference_rx";

// Ranges are what a search may try; the defaults leave the CTLE flat, no
// DFE taps, and the clock recovered.
constexpr const char* kAmiText = R"ami(
(reference_rx
    (Reserved_Parameters
        (AMI_Version (Usage Info) (Type String) (Value "7.0"))
        (Init_Returns_Impulse (Usage Info) (Type Boolean) (Default True))
        (GetWave_Exists (Usage Info) (Type Boolean) (Default True))
    )
    (Model_Specific
        (ctle_mode (Usage In) (Type String) (Format List "peaking" "poles" "off") (Default "peaking")
            (Description "peaking: set by ctle_peak_freq, ctle_peaking, ctle_bandwidth; poles: by ctle_zero, ctle_pole1, ctle_pole2; off: bypassed"))
        (ctle_peak_freq (Usage In) (Type Float) (Format Range 5e9 1e8 5e10)
            (Description "Hz where the response peaks"))
        (ctle_peaking (Usage In) (Type Float) (Format Range 0 0 20)
            (Description "dB of the peak above DC"))
        (ctle_bandwidth (Usage In) (Type Float) (Format Range 2e10 1e9 1e11)
            (Description "Hz of the second pole"))
        (ctle_zero (Usage In) (Type Float) (Format Range 1e9 1e7 5e10) (Description "Hz"))
        (ctle_pole1 (Usage In) (Type Float) (Format Range 5e9 1e7 1e11) (Description "Hz"))
        (ctle_pole2 (Usage In) (Type Float) (Format Range 2e10 1e7 1e11) (Description "Hz"))
        (ctle_dc_gain (Usage In) (Type Float) (Format Range 0 -20 20)
            (Description "dB at DC (poles), at the peak (peaking)"))
        (dfe_taps (Usage In) (Type Integer) (Format Range 0 0 32) (Description "taps"))
        (dfe_limit (Usage In) (Type Float) (Format Range 0.5 0 2) (Description "V, each tap"))
        (dfe_adapt (Usage In) (Type Boolean) (Format List False True) (Default False)
            (Description "adapt the taps by sign-sign LMS instead of zero forcing"))
        (dfe_step (Usage In) (Type Float) (Format Range 0.001 0 0.1)
            (Description "V an adapting tap moves a decision"))
        (cdr (Usage In) (Type String) (Format List "bang-bang" "mm" "none") (Default "bang-bang")
            (Description "clock recovery: bang-bang (Alexander), mm (Mueller-Muller), none"))
        (cdr_gain (Usage In) (Type Float) (Format Range 0.01 0 0.5)
            (Description "UI the clock moves a phase-detector decision"))
    )
)
)ami";

// One receiver instance behind the entry points.
struct Instance {
    std::unique_ptr<ReferenceReceiver> receiver;
    std::string message, parameters_out;
};

extern "C" {

long ReferenceRxInit(double* impulse_matrix, long row_size, long aggressors, double sample_interval,
                     double bit_time, char* parameters_in, char** parameters_out, void** memory, char** msg) {
    (void)aggressors;
    Instance* instance = new (std::nothrow) Instance;
    if (instance == nullptr) return 0;
    *memory = instance;
    try {
        const ReferenceRxSettings settings = ReadReferenceRxSettings(parameters_in, kRoot);
        if (row_size < 1) throw std::invalid_argument("no impulse");
        instance->receiver = std::make_unique<ReferenceReceiver>(
            settings, impulse_matrix, static_cast<std::size_t>(row_size), sample_interval, bit_time);
        instance->message = instance->receiver->Message();
        instance->parameters_out = instance->receiver->InitReport();
        if (parameters_out != nullptr) *parameters_out = instance->parameters_out.data();
    } catch (const std::exception& e) {
        instance->message = std::string("reference receiver: ") + e.what();
    }
    if (msg != nullptr) *msg = instance->message.data();
    return instance->receiver ? 1 : 0;
}

long ReferenceRxGetWave(double* wave, long wave_size, double* clock_times, char** parameters_out, void* memory) {
    auto* instance = static_cast<Instance*>(memory);
    if (instance == nullptr || !instance->receiver || wave_size < 0) return 0;
    try {
        instance->receiver->GetWave(wave, static_cast<std::size_t>(wave_size), clock_times);
        instance->parameters_out = instance->receiver->WaveReport();
    } catch (const std::exception&) {
        return 0;
    }
    if (parameters_out != nullptr) *parameters_out = instance->parameters_out.data();
    return 1;
}

long ReferenceRxClose(void* memory) {
    delete static_cast<Instance*>(memory);
    return 1;
}

}  // extern "C"

}  // namespace

bool NamesReferenceReceiver(const ModelChoice& choice) {
    return choice.role == "Rx" && choice.path == kReferenceRxName;
}

const char* ReferenceRxAmiText() { return kAmiText; }

LinkModel LoadReferenceReceiver(const ModelChoice& choice) {
    if (!choice.ami.empty()) throw UsageError("--rx-ami: the reference receiver (--rx ref) has its own parameters");
    if (!choice.model_name.empty()) throw UsageError("--rx-model: the reference receiver (--rx ref) has one model");
    LinkModel model;
    model.choice = choice;
    model.library_path = kReferenceRxName;
    model.origin = " (the built-in reference receiver)";
    model.ami = ParseAmiText(JoinAmiLines(kAmiText), "the reference receiver's parameters");
    for (const std::string& text : choice.params) model.overrides.push_back(ParseOverride(text));
    (void)model.Parameters();
    model.library = std::make_unique<AmiLibrary>(kReferenceRxName, &ReferenceRxInit, &ReferenceRxGetWave,
                                                 &ReferenceRxClose);
    model.flow = ResolveModelFlow(&*model.ami, true, choice.role, kReferenceRxName);
    return model;
}

std::string ReferenceRxHelp() {
    return "The reference receiver (--rx ref), set with --rx-param NAME=VALUE:\n"
           "  ctle_mode peaking|poles|off   how the CTLE is set (default peaking)\n"
           "  ctle_peak_freq HZ             where it peaks (default 5e9)\n"
           "  ctle_peaking DB               the peak above DC, DC lowered to keep the peak (default 0: flat)\n"
           "  ctle_bandwidth HZ             its second pole (default 2e10)\n"
           "  ctle_zero, ctle_pole1, ctle_pole2 HZ   the corners when ctle_mode is poles\n"
           "  ctle_dc_gain DB               the gain at DC (poles), or at the peak (peaking) (default 0)\n"
           "  dfe_taps N                    DFE taps (default 0); zero forcing from the pulse response\n"
           "  dfe_limit V                   each tap's range, +-V (default 0.5)\n"
           "  dfe_adapt True|False          adapt by sign-sign LMS instead (default False)\n"
           "  dfe_step V                    the LMS step (default 0.001)\n"
           "  cdr bang-bang|mm|none         clock recovery (default bang-bang); none samples the eye's centre\n"
           "  cdr_gain UI                   the loop's step (default 0.01)\n"
           "The statistical flow uses an ideal DFE at the pulse's peak; the time-domain flow decides, "
           "feeds back and recovers the clock, and reports its taps and phase after every AMI_GetWave.";
}

}  // namespace amisim
