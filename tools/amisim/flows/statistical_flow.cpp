#include "tools/amisim/flows/statistical_flow.h"

#include <algorithm>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/channel/overlap_save.h"
#include "tools/amisim/flows/stimulus.h"

namespace amisim {

std::vector<double> ConvolveTaps(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.empty() || b.empty()) return {};
    const std::vector<double>& shorter = a.size() <= b.size() ? a : b;
    const std::vector<double>& longer = a.size() <= b.size() ? b : a;
    std::vector<double> input(longer);
    input.resize(a.size() + b.size() - 1, 0.0);
    if (shorter.size() <= 64) return DirectConvolution(shorter, input);
    OverlapSaveConvolver convolver(shorter);
    convolver.Process(input.data(), input.data(), input.size());
    return input;
}

std::vector<double> TapsFromStep(ModelInstance& session, const std::string& parameters,
                                 const std::vector<double>& init_impulse, std::size_t settle, std::size_t length,
                                 const std::string& role) {
    if (!session.Init(parameters, init_impulse))
        throw ModelError(role + "AMI_Init failed (returned 0) in the instance driven for the statistical flow");
    settle = std::max<std::size_t>(settle, 1);
    std::vector<double> wave(settle + length, -kNrzLevel);
    std::fill(wave.begin() + static_cast<std::ptrdiff_t>(settle), wave.end(), kNrzLevel);
    if (!session.GetWave(wave.data(), static_cast<long>(wave.size())))
        throw ModelError(role + "AMI_GetWave failed (returned 0) on samples 0 to " + std::to_string(wave.size() - 1) +
                         " of the step that gives the statistical flow its Tx impulse");
    if (!session.Close()) throw ModelError(role + "AMI_Close failed (returned 0)");
    std::vector<double> taps(length);
    for (std::size_t n = 0; n < length; ++n) taps[n] = wave[settle + n] - wave[settle + n - 1];
    // The step is 1 V (2 * kNrzLevel): the taps are per volt already.
    return taps;
}

}  // namespace amisim
