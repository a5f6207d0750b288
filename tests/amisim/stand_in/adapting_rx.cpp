// A stand-in receiver that adapts in name only: it passes its input
// through and reports, after each AMI_GetWave call k (from 1), a tap that
// converges exponentially, tap1 = 0.25 (1 - exp(-k / 4)), written in full
// precision, beside a nested counter, a pair of numbers and a text, so the
// host's recording can be checked call by call.

#include <cmath>
#include <cstdio>
#include <new>
#include <string>

namespace {

struct Instance {
    long calls = 0;
    std::string out;
};

}  // namespace

extern "C" {

__attribute__((visibility("default"))) long AMI_Init(double*, long, long, double, double, char*, char**,
                                                     void** memory, char**) {
    *memory = new (std::nothrow) Instance;
    return *memory != nullptr ? 1 : 0;
}

__attribute__((visibility("default"))) long AMI_GetWave(double*, long, double* clock_times, char** parameters_out,
                                                        void* memory) {
    auto* instance = static_cast<Instance*>(memory);
    ++instance->calls;
    const double tap = 0.25 * (1.0 - std::exp(-static_cast<double>(instance->calls) / 4.0));
    char text[200];
    std::snprintf(text, sizeof text, "(adapting_rx (tap1 %.17g) (loop (count %ld)) (pair 1 -2) (note \"adapting\"))",
                  tap, instance->calls);
    instance->out = text;
    *parameters_out = instance->out.data();
    if (clock_times != nullptr) clock_times[0] = -1.0;
    return 1;
}

__attribute__((visibility("default"))) long AMI_Close(void* memory) {
    delete static_cast<Instance*>(memory);
    return 1;
}

}  // extern "C"
