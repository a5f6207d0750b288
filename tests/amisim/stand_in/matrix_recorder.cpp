// A stand-in IBIS-AMI model that tells what AMI_Init received: its message
// is "row_size R aggressors A gains g0 g1 ...", each g the DC gain (sum
// times sample interval) of one column of the impulse matrix, the through
// first. It then doubles every column in place, so a host that reads back
// the matrix of a model declared Init_Returns_Impulse True sees every
// column this model was given, and only those, equalised. AMI_GetWave
// passes its input through.

#include <cstdio>
#include <string>

namespace {

struct Instance {
    std::string message;
};

}  // namespace

extern "C" {

__attribute__((visibility("default"))) long AMI_Init(double* impulse_matrix, long row_size, long aggressors,
                                                     double sample_interval, double, char*, char**, void** memory,
                                                     char** msg) {
    auto* instance = new Instance;
    instance->message = "row_size " + std::to_string(row_size) + " aggressors " + std::to_string(aggressors) +
                        " gains";
    for (long column = 0; column <= aggressors; ++column) {
        double sum = 0.0;
        for (long row = 0; row < row_size; ++row) {
            double& value = impulse_matrix[column * row_size + row];
            sum += value;
            value *= 2.0;
        }
        char text[32];
        std::snprintf(text, sizeof text, " %.4g", sum * sample_interval);
        instance->message += text;
    }
    *memory = instance;
    *msg = instance->message.data();
    return 1;
}

__attribute__((visibility("default"))) long AMI_GetWave(double*, long, double* clock_times, char**, void*) {
    clock_times[0] = -1.0;
    return 1;
}

__attribute__((visibility("default"))) long AMI_Close(void* memory) {
    delete static_cast<Instance*>(memory);
    return 1;
}

}  // extern "C"
