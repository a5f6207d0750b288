// A stand-in IBIS-AMI model for amisim's tests: a three-tap FFE at bit
// spacing (pre, main, post), linear and fixed, so that it gives the same
// link whether it sits in the transmitter or the receiver and whether a host
// reaches it through AMI_Init or AMI_GetWave. Built several times:
//
//   LINEAR_FFE_INIT_EQUALISES  AMI_Init applies the FFE to the impulse it is
//                              given (Init_Returns_Impulse True); else it
//                              leaves the impulse alone
//   LINEAR_FFE_HAS_GETWAVE     the library exports AMI_GetWave, which applies
//                              the FFE to the waveform
//
// Parameters: (pre x) (main x) (post x), defaults -0.1, 0.7, -0.2.

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#ifndef LINEAR_FFE_INIT_EQUALISES
#define LINEAR_FFE_INIT_EQUALISES 1
#endif
#ifndef LINEAR_FFE_HAS_GETWAVE
#define LINEAR_FFE_HAS_GETWAVE 1
#endif

namespace {

double Number(const char* parameters, const char* name, double otherwise) {
    const std::string key = std::string("(") + name + " ";
    const char* at = std::strstr(parameters, key.c_str());
    return at != nullptr ? std::strtod(at + key.size(), nullptr) : otherwise;
}

struct Ffe {
    double taps[3] = {-0.1, 0.7, -0.2};
    long spacing = 1;
    std::vector<double> history;  // the last 2 * spacing inputs, oldest first

    // y[n] = pre x[n] + main x[n - spacing] + post x[n - 2 spacing]
    void Apply(double* wave, long size) {
        const long span = 2 * spacing;
        std::vector<double> x(history);
        x.insert(x.end(), wave, wave + size);
        for (long n = 0; n < size; ++n) {
            const std::size_t i = static_cast<std::size_t>(n + span);
            wave[n] = taps[0] * x[i] + taps[1] * x[i - static_cast<std::size_t>(spacing)] +
                      taps[2] * x[i - static_cast<std::size_t>(span)];
        }
        history.assign(x.end() - span, x.end());
    }
};

struct Instance {
    Ffe ffe;
    std::string message;
};

}  // namespace

extern "C" {

__attribute__((visibility("default"))) long AMI_Init(double* impulse, long row_size, long, double sample_interval,
                                                     double bit_time, char* parameters_in, char**, void** memory,
                                                     char** msg) {
    auto* instance = new Instance;
    *memory = instance;
    const char* parameters = parameters_in != nullptr ? parameters_in : "";
    Ffe& ffe = instance->ffe;
    ffe.taps[0] = Number(parameters, "pre", -0.1);
    ffe.taps[1] = Number(parameters, "main", 0.7);
    ffe.taps[2] = Number(parameters, "post", -0.2);
    ffe.spacing = static_cast<long>(bit_time / sample_interval + 0.5);
    if (ffe.spacing < 1) ffe.spacing = 1;
    ffe.history.assign(static_cast<std::size_t>(2 * ffe.spacing), 0.0);
    if (LINEAR_FFE_INIT_EQUALISES && impulse != nullptr && row_size > 0) {
        Ffe from_rest = ffe;  // the waveform's filter keeps its own rest state
        from_rest.Apply(impulse, row_size);
    }
    instance->message = "linear_ffe: taps " + std::to_string(ffe.taps[0]) + " " + std::to_string(ffe.taps[1]) +
                        " " + std::to_string(ffe.taps[2]);
    *msg = instance->message.data();
    return 1;
}

#if LINEAR_FFE_HAS_GETWAVE
__attribute__((visibility("default"))) long AMI_GetWave(double* wave, long size, double* clock_times, char**,
                                                        void* memory) {
    static_cast<Instance*>(memory)->ffe.Apply(wave, size);
    if (clock_times != nullptr) clock_times[0] = -1.0;
    return 1;
}
#endif

__attribute__((visibility("default"))) long AMI_Close(void* memory) {
    delete static_cast<Instance*>(memory);
    return 1;
}

}  // extern "C"
