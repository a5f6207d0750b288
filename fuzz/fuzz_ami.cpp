// The entry points as a hostile simulator would drive them: a fuzzed
// parameter string and timing, then fuzzed waves in fuzzed block sizes.
//
// Input layout:
//   byte 0  below 0xC0: samples per bit 1 + byte % 32 at 10.8 Gb/s;
//           from 0xC0 on: one of the hostile timings below.
//   byte 1  bits 0-2: number of AMI_GetWave blocks (0..7); bit 3: no
//           parameter string at all; bit 4: no place for the message;
//           bit 5: one block with a negative size; bit 6: the clock-time
//           array left out.
//   then    one byte per block, its size (0..255); the parameter string up
//           to the first NUL; the bytes after it feed the wave samples.
//
// The model's cost grows with samples per bit times samples filtered, so
// each input's wave is cut to a fixed budget of that product: the fuzzer
// then spends its time on new paths instead of long convolutions. The
// model's own limits are untouched; the budget only shortens the waves.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "ami/ami_entry_points.h"

namespace {

constexpr double kBitTime = 1.0 / 10.8e9;
// Samples per bit times samples filtered, for one input.
constexpr double kWorkBudget = 8192.0;

struct Timing {
    double sample_interval;
    double bit_time;
};

Timing HostileTiming(std::uint8_t pick) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double most = std::numeric_limits<double>::max();
    constexpr double least = std::numeric_limits<double>::min();
    static const Timing timings[] = {
        {0.0, kBitTime},
        {-kBitTime / 16, kBitTime},
        {nan, kBitTime},
        {kBitTime / 16, nan},
        {inf, kBitTime},
        {kBitTime / 16, inf},
        {kBitTime / 16, -kBitTime},
        {kBitTime / 16, 0.0},
        {-0.0, -0.0},
        {1e-300, 1.0},
        {std::numeric_limits<double>::denorm_min(), kBitTime},
        {kBitTime * 3, kBitTime},
        {kBitTime / 2.5, kBitTime},
        {kBitTime, kBitTime},
        {1e-15 / 16, 1e-15},  // a femtosecond bit: millions of response taps
        {1.0 / 16, 1.0},      // a one-second bit: a single tap
        // Many samples per bit, but few enough that set-up stays cheap: the
        // sizes that fail (below) need no set-up at all. The unit tests cover
        // thousands of samples per bit.
        {kBitTime / 256, kBitTime},
        {kBitTime / 2e9, kBitTime},  // two billion samples per bit
        {kBitTime / 1e6, kBitTime},
        {most, most},
        {least, least},
        {-inf, -inf},
    };
    return timings[pick % (sizeof timings / sizeof timings[0])];
}

// How many wave samples an input may filter at this timing: the budget over
// the samples per bit the model will round to (at least one sample, so every
// timing still reaches AMI_GetWave).
long SampleBudget(const Timing& timing) {
    const double per_bit = timing.bit_time / timing.sample_interval;
    if (!(per_bit > 1.0)) return static_cast<long>(kWorkBudget);  // fails in setup, or one sample per bit
    return per_bit >= kWorkBudget ? 1 : static_cast<long>(kWorkBudget / per_bit);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const Timing timing = data[0] >= 0xC0 ? HostileTiming(static_cast<std::uint8_t>(data[0] - 0xC0))
                                          : Timing{kBitTime / (1 + data[0] % 32), kBitTime};
    const int blocks = data[1] & 7;
    const bool no_parameters = (data[1] & 0x08) != 0;
    const bool no_message_place = (data[1] & 0x10) != 0;
    const bool negative_block = (data[1] & 0x20) != 0;
    const bool no_clock = (data[1] & 0x40) != 0;
    std::size_t at = 2;
    std::vector<long> block_sizes;
    long budget = SampleBudget(timing);
    for (int b = 0; b < blocks && at < size; ++b) {
        const long block_size = std::min<long>(data[at++], budget);
        budget -= block_size;
        block_sizes.push_back(block_size);
    }
    if (negative_block) block_sizes.push_back(-1 - static_cast<long>(at < size ? data[at] : 0));

    std::string parameters;
    while (at < size && data[at] != 0) parameters.push_back(static_cast<char>(data[at++]));
    if (at < size) ++at;

    std::vector<double> impulse(64, 0.0);
    impulse[0] = 1.0;
    void* handle = nullptr;
    char* message = nullptr;
    char* out = nullptr;
    AMI_Init(impulse.data(), 64, 0, timing.sample_interval, timing.bit_time,
             no_parameters ? nullptr : parameters.data(), &out, &handle, no_message_place ? nullptr : &message);
    if (message != nullptr) (void)std::strlen(message);

    std::vector<double> clock(300, 0.0);
    for (long block_size : block_sizes) {
        std::vector<double> wave(block_size > 0 ? static_cast<std::size_t>(block_size) : 1);
        for (double& sample : wave) {
            std::int8_t byte = at < size ? static_cast<std::int8_t>(data[at++]) : 0;
            sample = byte / 64.0;
        }
        AMI_GetWave(wave.data(), block_size, no_clock ? nullptr : clock.data(), &out, handle);
    }
    AMI_Close(handle);
    return 0;
}
