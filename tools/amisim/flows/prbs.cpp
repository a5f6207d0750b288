#include "tools/amisim/flows/prbs.h"

#include <stdexcept>
#include <string>

namespace amisim {

namespace {

// The second tap of each register; the first is the register length itself.
int FeedbackTap(int order) {
    switch (order) {
    case 7: return 6;
    case 15: return 14;
    case 23: return 18;
    case 31: return 28;
    default: return 0;
    }
}

}  // namespace

bool PrbsGenerator::IsSupportedOrder(int order) noexcept { return FeedbackTap(order) != 0; }

PrbsGenerator::PrbsGenerator(int order)
    : order_(order),
      tap_(FeedbackTap(order)),
      mask_(static_cast<std::uint32_t>((std::uint64_t{1} << order) - 1)),
      state_(mask_) {
    if (tap_ == 0)
        throw std::invalid_argument("PRBS order " + std::to_string(order) +
                                    " is not one of 7, 15, 23, 31");
}

PrbsGenerator::PrbsGenerator(int order, std::uint64_t seed) : PrbsGenerator(order) {
    if (seed == 0) return;
    // SplitMix64's finaliser spreads neighbouring seeds over the whole
    // register; the all-zero state is the one a register never leaves.
    std::uint64_t z = seed + 0x9e3779b97f4a7c15ULL;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    z ^= z >> 31;
    state_ = static_cast<std::uint32_t>(z) & mask_;
    if (state_ == 0) state_ = 1;
}

int PrbsGenerator::Next() noexcept {
    const std::uint32_t bit = ((state_ >> (order_ - 1)) ^ (state_ >> (tap_ - 1))) & 1u;
    state_ = ((state_ << 1) | bit) & mask_;
    return static_cast<int>(bit);
}

std::vector<std::uint8_t> PrbsGenerator::Generate(std::size_t count) {
    std::vector<std::uint8_t> bits(count);
    for (auto& bit : bits) bit = static_cast<std::uint8_t>(Next());
    return bits;
}

}  // namespace amisim
