// The entry points as a hostile simulator would drive them: a fuzzed
// parameter string and timing, then fuzzed waves in fuzzed block sizes.
//
// Input layout: byte 0 picks the samples per bit (1..64), byte 1 the number
// of GetWave blocks (0..7); then one byte per block gives its size (0..255);
// everything after that up to the first NUL is the parameter string, and the
// bytes after it feed the wave samples.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "ami/ami_entry_points.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const double bitTime = 1.0 / 10.8e9;
    const int samplesPerBit = 1 + data[0] % 64;
    const int blocks = data[1] % 8;
    std::size_t at = 2;
    std::vector<int> blockSizes;
    for (int b = 0; b < blocks && at < size; ++b) blockSizes.push_back(data[at++]);

    std::string parameters;
    while (at < size && data[at] != 0) parameters.push_back(static_cast<char>(data[at++]));
    if (at < size) ++at;

    std::vector<double> impulse(64, 0.0);
    impulse[0] = 1.0;
    void* handle = nullptr;
    char* message = nullptr;
    char* out = nullptr;
    AMI_Init(impulse.data(), 64, 0, bitTime / samplesPerBit, bitTime, parameters.data(), &out,
             &handle, &message);
    if (message != nullptr) (void)std::strlen(message);

    std::vector<double> clock(300, 0.0);
    for (int blockSize : blockSizes) {
        std::vector<double> wave(static_cast<std::size_t>(blockSize));
        for (double& sample : wave) {
            std::int8_t byte = at < size ? static_cast<std::int8_t>(data[at++]) : 0;
            sample = byte / 64.0;
        }
        AMI_GetWave(wave.data(), blockSize, clock.data(), &out, handle);
    }
    AMI_Close(handle);
    return 0;
}
