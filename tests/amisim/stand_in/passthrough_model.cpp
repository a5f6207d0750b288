// A stand-in IBIS-AMI model for amisim's tests: it passes the waveform
// through unchanged. Words in its parameter string make it fail on purpose:
// "fail_init" makes AMI_Init return 0, "fail_getwave" makes the second
// AMI_GetWave call return 0, "fail_close" makes AMI_Close return 0.
// "(return_jitter True)" makes AMI_Init return jitter, noise and
// Ignore_Bits in its AMI_parameters_out, as a model whose .ami declares
// them Usage Out does.

#include <cstring>
#include <string>

namespace {

struct Instance {
    std::string message;
    bool fail_getwave = false;
    bool fail_close = false;
    long calls = 0;
};

}  // namespace

extern "C" {

__attribute__((visibility("default"))) long AMI_Init(double*, long, long, double, double bit_time,
                                                     char* parameters_in, char** parameters_out, void** memory,
                                                     char** msg) {
    auto* instance = new Instance;
    const char* parameters = parameters_in != nullptr ? parameters_in : "";
    instance->fail_getwave = std::strstr(parameters, "fail_getwave") != nullptr;
    instance->fail_close = std::strstr(parameters, "fail_close") != nullptr;
    instance->message = "passthrough model, bit time " + std::to_string(bit_time) +
                        ", parameters " + parameters;
    *memory = instance;
    *msg = instance->message.data();
    static char returned[] =
        "(passthrough (Tx_Rj 2e-12) (Tx_Jitter (Dual-Dirac -3e-12 3e-12 0)) "
        "(Rx_Clock_PDF (Gaussian 0 0.02)) (Rx_Noise 0.004) (Ignore_Bits 300))";
    if (std::strstr(parameters, "(return_jitter True)") != nullptr) *parameters_out = returned;
    return std::strstr(parameters, "fail_init") != nullptr ? 0 : 1;
}

__attribute__((visibility("default"))) long AMI_GetWave(double*, long, double* clock_times, char**,
                                                        void* memory) {
    auto* instance = static_cast<Instance*>(memory);
    clock_times[0] = -1.0;
    return instance->fail_getwave && ++instance->calls >= 2 ? 0 : 1;
}

__attribute__((visibility("default"))) long AMI_Close(void* memory) {
    auto* instance = static_cast<Instance*>(memory);
    const bool fail = instance->fail_close;
    delete instance;
    return fail ? 0 : 1;
}

}  // extern "C"
