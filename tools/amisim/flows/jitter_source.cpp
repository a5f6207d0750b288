#include "tools/amisim/flows/jitter_source.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace amisim {

namespace {

std::uint64_t SplitMix(std::uint64_t& x) {
    std::uint64_t z = (x += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

std::uint64_t Rotate(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

// A Gaussian draw is held within this many sigmas, so that one wild draw
// cannot push an edge past its neighbours; beyond lies 1e-15 of the mass.
constexpr double kDrawReach = 8.0;

}  // namespace

Random::Random(std::uint64_t seed) {
    for (std::uint64_t& s : state_) s = SplitMix(seed);
}

// xoshiro256**: fast, and the same numbers everywhere.
std::uint64_t Random::Next() {
    const std::uint64_t result = Rotate(state_[1] * 5, 7) * 9;
    const std::uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = Rotate(state_[3], 45);
    return result;
}

double Random::Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

double Random::Symmetric() { return 2.0 * Uniform() - 1.0; }

namespace {

// The tables of Marsaglia and Tsang's ziggurat for the normal distribution,
// 128 layers: most draws cost one comparison and one multiplication, which
// matters when every output sample gets its noise.
struct Ziggurat {
    std::uint32_t k[128];
    double w[128];
    double f[128];
    Ziggurat() {
        const double m1 = 2147483648.0;
        double dn = 3.442619855899, tn = dn;
        const double vn = 9.91256303526217e-3;
        const double q = vn / std::exp(-0.5 * dn * dn);
        k[0] = static_cast<std::uint32_t>((dn / q) * m1);
        k[1] = 0;
        w[0] = q / m1;
        w[127] = dn / m1;
        f[0] = 1.0;
        f[127] = std::exp(-0.5 * dn * dn);
        for (int i = 126; i >= 1; --i) {
            dn = std::sqrt(-2.0 * std::log(vn / dn + std::exp(-0.5 * dn * dn)));
            k[i + 1] = static_cast<std::uint32_t>((dn / tn) * m1);
            tn = dn;
            f[i] = std::exp(-0.5 * dn * dn);
            w[i] = dn / m1;
        }
    }
};

const Ziggurat& Tables() {
    static const Ziggurat tables;
    return tables;
}

constexpr double kZigguratEdge = 3.442619855899;

}  // namespace

// One attempt of the ziggurat from 64 random bits: the layer from the low
// bits, the signed position from the high ones, so that the two are
// independent. False when the draw is rejected.
bool Random::Attempt(std::uint64_t bits, double& value) {
    const Ziggurat& z = Tables();
    const std::size_t layer = bits & 127u;
    const std::int32_t position = static_cast<std::int32_t>(bits >> 32);
    const std::uint32_t magnitude =
        position < 0 ? 0u - static_cast<std::uint32_t>(position) : static_cast<std::uint32_t>(position);
    const double x = static_cast<double>(position) * z.w[layer];
    if (magnitude < z.k[layer]) {
        value = x;
        return true;
    }
    if (layer == 0) {
        // The tail beyond the last layer.
        double tail = 0.0, y = 0.0;
        do {
            tail = -std::log(1.0 - Uniform()) / kZigguratEdge;
            y = -std::log(1.0 - Uniform());
        } while (y + y < tail * tail);
        value = position > 0 ? kZigguratEdge + tail : -kZigguratEdge - tail;
        return true;
    }
    value = x;
    return z.f[layer] + Uniform() * (z.f[layer - 1] - z.f[layer]) < std::exp(-0.5 * x * x);
}

double Random::Normal() {
    double value = 0.0;
    while (!Attempt(Next(), value)) {
    }
    return value;
}

void Random::AddNormal(double* values, std::size_t count, double sigma) {
    const Ziggurat& z = Tables();
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t bits = Next();
        const std::size_t layer = bits & 127u;
        const std::int32_t position = static_cast<std::int32_t>(bits >> 32);
        const std::uint32_t magnitude =
            position < 0 ? 0u - static_cast<std::uint32_t>(position) : static_cast<std::uint32_t>(position);
        // The common case inline; the rare rest as Normal() takes it.
        double value = static_cast<double>(position) * z.w[layer];
        if (magnitude >= z.k[layer] && !Attempt(bits, value)) value = Normal();
        values[i] += sigma * value;
    }
}

PointDraw::PointDraw(const std::vector<std::pair<double, double>>& points) : points_(points) {
    double total = 0.0;
    for (const auto& point : points_) cumulative_.push_back(total += point.second);
    for (double& c : cumulative_) c /= total;
}

double PointDraw::Pick(double u) const {
    const std::size_t k =
        static_cast<std::size_t>(std::upper_bound(cumulative_.begin(), cumulative_.end(), u) - cumulative_.begin());
    return points_[std::min(k, points_.size() - 1)].first;
}

JitterSource::JitterSource(const Jitter& jitter, std::uint64_t seed, std::uint64_t stream)
    : jitter_(jitter), random_(seed * 0x9e3779b97f4a7c15ULL + stream) {
    for (const JitterComponent& component : jitter_) {
        // A sinusoid starts at a phase of its own, from the seed.
        phases_.push_back(component.kind == JitterComponent::Kind::kSinusoid ? 2.0 * std::numbers::pi * random_.Uniform()
                                                                              : 0.0);
        double extent = std::abs(component.size);
        if (component.kind == JitterComponent::Kind::kGaussian) extent = kDrawReach * component.size;
        if (component.kind == JitterComponent::Kind::kPoints) {
            extent = 0.0;
            for (const auto& point : component.points) extent = std::max(extent, std::abs(point.first));
        }
        point_draws_.emplace_back(component.kind == JitterComponent::Kind::kPoints
                                      ? component.points
                                      : std::vector<std::pair<double, double>>{});
        bound_ += extent;
    }
}

double JitterSource::Draw(double time, bool positive_dcd) {
    double total = 0.0;
    for (std::size_t i = 0; i < jitter_.size(); ++i) {
        const JitterComponent& c = jitter_[i];
        switch (c.kind) {
        case JitterComponent::Kind::kGaussian:
            total += c.size * std::clamp(random_.Normal(), -kDrawReach, kDrawReach);
            break;
        case JitterComponent::Kind::kUniform: total += c.size * random_.Symmetric(); break;
        case JitterComponent::Kind::kDutyCycle: total += positive_dcd ? c.size : -c.size; break;
        case JitterComponent::Kind::kSinusoid:
            total += c.size * std::sin(2.0 * std::numbers::pi * c.frequency * time + phases_[i]);
            break;
        case JitterComponent::Kind::kPoints: total += point_draws_[i].Pick(random_.Uniform()); break;
        }
    }
    return total;
}

}  // namespace amisim
