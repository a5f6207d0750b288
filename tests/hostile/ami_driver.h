#pragma once
// Drives one model instance through the entry points the way a simulator
// does, and keeps what each call returned.

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "ami/ami_entry_points.h"
#include "ami/ami_model_instance.h"

namespace hostile {

inline constexpr double kBitTime = 1.0 / 10.8e9;

inline std::string ModelParameters(double emphasis, double vreg, double corner) {
    return "(korvan_tx (emphasis " + std::to_string(emphasis) + ") (Vreg " + std::to_string(vreg) +
           ") (corner " + std::to_string(corner) + "))";
}

struct Run {
    long init = -1;
    std::string message;  // the text AMI_Init handed back, if any
    std::vector<long> get_wave;
    long close = -1;
    std::vector<double> wave;  // the output, block after block
};

// AMI_Init with the given text (null for none) and timing, then the wave in
// blocks of the given sizes (cycled), then AMI_Close. The instance computes
// the way `path` asks (the block path, or the per-sample graph alone).
inline Run RunInstance(const char* parameters, double sample_interval, double bit_time,
                       const std::vector<double>& wave, const std::vector<std::size_t>& blocks = {1024},
                       WavePath path = WavePath::Automatic) {
    Run run;
    std::vector<double> impulse(8, 0.25);
    std::string text = parameters != nullptr ? parameters : "";
    void* handle = nullptr;
    char* message = nullptr;
    char* out = nullptr;
    run.init = AMI_Init(impulse.data(), 8, 0, sample_interval, bit_time, parameters != nullptr ? text.data() : nullptr,
                        &out, &handle, &message);
    if (message != nullptr) run.message = message;
    if (handle != nullptr) static_cast<AmiModelInstance*>(handle)->model.wave_path = path;
    run.wave = wave;
    std::vector<double> clock(wave.size() + 8, 0.0);
    std::size_t at = 0;
    for (std::size_t b = 0; at < wave.size(); ++b) {
        const std::size_t n = std::min(blocks[b % blocks.size()], wave.size() - at);
        run.get_wave.push_back(AMI_GetWave(run.wave.data() + at, static_cast<long>(n), clock.data(), &out, handle));
        at += n;
    }
    run.close = AMI_Close(handle);
    return run;
}

// Bits of +-0.5, each held for `samples_per_bit` samples, from a seeded
// generator.
inline std::vector<double> BitPattern(std::size_t bits, std::size_t samples_per_bit, unsigned seed) {
    std::vector<double> wave;
    unsigned state = seed;
    for (std::size_t b = 0; b < bits; ++b) {
        state = state * 1103515245u + 12345u;
        wave.insert(wave.end(), samples_per_bit, ((state >> 16) & 1u) != 0 ? 0.5 : -0.5);
    }
    return wave;
}

}  // namespace hostile
