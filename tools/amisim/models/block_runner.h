#pragma once
// Passes a whole transmitted waveform through AMI_GetWave in consecutive
// blocks, as a channel simulator streams it, and times the model.

#include <cstddef>
#include <vector>

#include "tools/amisim/models/model_instance.h"

namespace amisim {

struct BlockRun {
    std::vector<double> output;
    double get_wave_seconds = 0.0;  // time spent inside AMI_GetWave only
    std::size_t calls = 0;
};

// Throws a model-failure AmisimError naming the block when AMI_GetWave
// returns 0.
BlockRun RunInBlocks(ModelInstance& session, const std::vector<double>& input,
                     std::size_t block_samples);

}  // namespace amisim
