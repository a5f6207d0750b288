// A stand-in model that misbehaves on purpose, for the tests of amisim's
// model isolation. It passes the wave through unchanged unless its
// parameter string names a fault (fault=NAME), which it commits in the
// entry point the name says; faults of AMI_GetWave come on the third call
// of an instance, so that a run has passed bits when they strike:
//
//   null_getwave  writes through a null pointer
//   loop_init     never returns from AMI_Init
//   exit_close    calls exit(3) in AMI_Close
//   double_free   frees a block twice
//   past_wave     writes one page past the end of the wave
//   nan_getwave   returns NaN at the call's sixth sample
//   chatter       prints 10 MB on standard output every call
//
// With AMISIM_TEST_CRASH_ON_LOAD set in its environment it crashes as it
// is loaded, before any entry point is called.
//
// It is built without the sanitizers, so that its faults reach the
// process as the plain signals a vendor's model would raise.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace {

volatile std::uintptr_t null_address = 0;

struct Instance {
    std::string fault;
    long calls = 0;
};

std::string FaultIn(const char* parameters) {
    const char* at = std::strstr(parameters, "(fault ");
    if (at == nullptr) return "none";
    at += 7;
    const char* end = std::strchr(at, ')');
    return end != nullptr ? std::string(at, end) : std::string(at);
}

__attribute__((constructor)) void CrashOnLoadWhenAsked() {
    if (std::getenv("AMISIM_TEST_CRASH_ON_LOAD") != nullptr) *reinterpret_cast<double*>(null_address) = 1.0;
}

void Chatter() {
    static const std::string line(1023, 'x');
    for (int i = 0; i < 10 * 1024; ++i) std::printf("%s\n", line.c_str());
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) long AMI_Init(double*, long, long, double, double, char* parameters_in,
                                                     char**, void** memory, char** msg) {
    auto* instance = new Instance;
    instance->fault = FaultIn(parameters_in != nullptr ? parameters_in : "");
    *memory = instance;
    static char text[] = "broken model";
    *msg = text;
    if (instance->fault == "loop_init") {
        volatile unsigned long spin = 0;
        for (;;) spin = spin + 1;
    }
    if (instance->fault == "chatter") Chatter();
    return 1;
}

__attribute__((visibility("default"))) long AMI_GetWave(double* wave, long size, double* clock_times, char**,
                                                        void* memory) {
    auto* instance = static_cast<Instance*>(memory);
    clock_times[0] = -1.0;
    const std::string& fault = instance->fault;
    if (fault == "chatter") Chatter();
    if (++instance->calls < 3) return 1;
    if (fault == "null_getwave") {
        // Through an address the compiler cannot see is null, so the write
        // is not optimised away as undefined.
        *reinterpret_cast<double*>(null_address) = 1.0;
    } else if (fault == "double_free") {
        char* volatile block = static_cast<char*>(std::malloc(64));
        std::free(block);
        std::free(block);
    } else if (fault == "past_wave") {
        double* volatile beyond = wave + size + 4096 / sizeof(double);
        *beyond = 1.0;
    } else if (fault == "nan_getwave" && size > 5) {
        wave[5] = std::numeric_limits<double>::quiet_NaN();
    }
    return 1;
}

__attribute__((visibility("default"))) long AMI_Close(void* memory) {
    auto* instance = static_cast<Instance*>(memory);
    if (instance->fault == "exit_close") std::exit(3);
    delete instance;
    return 1;
}

}  // extern "C"
