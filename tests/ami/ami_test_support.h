#pragma once
// An AMI instance for the tests: initialised on construction, closed on
// destruction, with the results of AMI_Init kept for inspection.

#include <cmath>
#include <string>
#include <vector>

#include "ami/ami_entry_points.h"

namespace amitest {

inline constexpr double kBitTime = 9.259259259259259e-11;

inline std::string Parameters(double emphasis, double vreg, double corner) {
    return "(korvan_tx (emphasis " + std::to_string(emphasis) + ") (Vreg " + std::to_string(vreg) +
           ") (corner " + std::to_string(corner) + "))";
}

class Instance {
public:
    explicit Instance(const std::string& parameters, double sample_interval = kBitTime / 16,
                      double bit_time = kBitTime)
        : text(parameters) {
        result = AMI_Init(impulse.data(), 4, 0, sample_interval, bit_time, text.data(), &parameters_out,
                          &handle, &msg);
    }
    ~Instance() {
        if (handle != nullptr) AMI_Close(handle);
    }
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    // Filters the wave in place in one call; the clock times are left
    // for inspection.
    long GetWave(std::vector<double>& wave) {
        clock_times.assign(wave.size() + 8, 42.0);
        return AMI_GetWave(wave.data(), static_cast<long>(wave.size()), clock_times.data(), &parameters_out, handle);
    }

    std::vector<double> impulse{1.5, -2.25, 3.0, 0.125};
    std::string text;
    long result = -1;
    void* handle = nullptr;
    char* parameters_out = nullptr;
    char* msg = nullptr;
    std::vector<double> clock_times;
};

inline std::vector<double> BitPattern(std::size_t bits, std::size_t samples_per_bit, unsigned seed) {
    std::vector<double> wave;
    unsigned state = seed;
    for (std::size_t b = 0; b < bits; ++b) {
        state = state * 1103515245u + 12345u;
        const double level = (state >> 16) & 1u ? 0.5 : -0.5;
        wave.insert(wave.end(), samples_per_bit, level);
    }
    return wave;
}

}  // namespace amitest
