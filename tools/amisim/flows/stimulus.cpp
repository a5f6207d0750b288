#include "tools/amisim/flows/stimulus.h"

#include <cstddef>

namespace amisim {

std::vector<double> NrzWaveform(const std::vector<std::uint8_t>& bits, int samples_per_bit,
                                double level) {
    const std::size_t per_bit = samples_per_bit > 0 ? static_cast<std::size_t>(samples_per_bit) : 0;
    std::vector<double> wave;
    wave.reserve(bits.size() * per_bit);
    for (std::uint8_t bit : bits) wave.insert(wave.end(), per_bit, bit ? level : -level);
    return wave;
}

}  // namespace amisim
