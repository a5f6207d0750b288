#pragma once
// Pseudo-random binary sequences from maximal-length linear feedback shift
// registers, the patterns serial-link tests use: PRBS7, PRBS15, PRBS23 and
// PRBS31 with the polynomials x^7+x^6+1, x^15+x^14+1, x^23+x^18+1 and
// x^31+x^28+1.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace amisim {

class PrbsGenerator {
public:
    // order is 7, 15, 23 or 31; anything else throws std::invalid_argument.
    // The register starts with all ones.
    explicit PrbsGenerator(int order);
    // The same register started from a state that `seed` chooses: seed 0 is
    // the all-ones start above, other seeds start elsewhere in the pattern,
    // so that several streams of one order run independently of each other.
    PrbsGenerator(int order, std::uint64_t seed);

    static bool IsSupportedOrder(int order) noexcept;

    int order() const noexcept { return order_; }
    // Length of one repetition of the pattern: 2^order - 1 bits.
    std::uint64_t period() const noexcept { return (std::uint64_t{1} << order_) - 1; }
    std::uint32_t state() const noexcept { return state_; }

    // The next bit (0 or 1). Each bit is the feedback bit shifted into the
    // register, so the sequence obeys b[n] = b[n - order] ^ b[n - tap].
    int Next() noexcept;
    std::vector<std::uint8_t> Generate(std::size_t count);

private:
    int order_;
    int tap_;
    std::uint32_t mask_;
    std::uint32_t state_;
};

}  // namespace amisim
