#include "tools/amisim/flows/noise_source.h"

#include <algorithm>

namespace amisim {

NoiseSource::NoiseSource(const Impairments& impairments, std::uint64_t seed)
    : random_(seed), sigma_(impairments.noise_sigma), uniform_(impairments.noise_uniform),
      parts_(impairments.noise_parts) {
    for (const JitterComponent& part : parts_)
        point_draws_.emplace_back(part.kind == JitterComponent::Kind::kPoints ? part.points
                                                                               : std::vector<std::pair<double, double>>{});
}

void NoiseSource::Add(double* values, std::size_t count) {
    // The plain Gaussian and uniform first, a block at a time: the order
    // their draws have always come in, so a seed repeats its record.
    if (sigma_ > 0.0) random_.AddNormal(values, count, sigma_);
    if (uniform_ > 0.0)
        for (std::size_t i = 0; i < count; ++i) values[i] += uniform_ * random_.Symmetric();
    for (std::size_t k = 0; k < parts_.size(); ++k) {
        const JitterComponent& part = parts_[k];
        switch (part.kind) {
        case JitterComponent::Kind::kGaussian: random_.AddNormal(values, count, part.size); break;
        case JitterComponent::Kind::kUniform:
            for (std::size_t i = 0; i < count; ++i) values[i] += part.size * random_.Symmetric();
            break;
        case JitterComponent::Kind::kPoints: {
            if (part.points.size() == 1) {
                // A lone point is a mean: no draw.
                for (std::size_t i = 0; i < count; ++i) values[i] += part.points.front().first;
                break;
            }
            for (std::size_t i = 0; i < count; ++i) values[i] += point_draws_[k].Pick(random_.Uniform());
            break;
        }
        case JitterComponent::Kind::kSinusoid:
        case JitterComponent::Kind::kDutyCycle: break;  // a timing kind: the noise has none
        }
    }
}

}  // namespace amisim
