#pragma once
// Two-tap transmit pre-emphasis. The block has no ports: its owner writes one
// sample into `input` before each Run and reads `main_output` and
// `post_output` after it. The main tap is one bit late, the post-cursor tap
// two bits late; the owner adds them.

#include <cstdint>
#include <vector>

#include "dataflow/df_model.h"

class TXFIR_1pre2pst final : public Vantrel::DFModel {
public:
    // Number of emphasis settings; valid indexes are 0 to kEmphasisSettings - 1.
    static constexpr std::int32_t kEmphasisSettings = 7;
    // Most samples per bit: the delay lines hold five bits of samples, forty
    // megabytes at this count; a count of a billion (a nonsensical timing)
    // would ask for tens of gigabytes.
    static constexpr std::int32_t kMostSamplesPerBit = 1048576;

    // Post-cursor coefficient of an emphasis setting.
    static double PostCoefficient(std::int32_t emphasis_index) noexcept;

    // Rejects an emphasis index outside the table, a bit shorter than one
    // sample and more than kMostSamplesPerBit samples per bit, so that Run
    // never uses a coefficient nobody chose and Initialize never sizes a line
    // nobody could hold.
    bool Setup() override;
    // Sizes both delay lines from samples_per_bit and clears them.
    bool Initialize() override;
    // One sample through both taps.
    bool Run() override;

    // Whether RunBlock applies: initialised lines and an emphasis index in
    // the table (a Run with any other index keeps an older coefficient).
    bool CanRunBlock() const noexcept;
    // Exactly `count` Runs over input[0 .. count): the same products stored
    // in the same slots and read back in the same order, the two outputs of
    // each Run written to main_out and post_out, and every field left as the
    // last of those Runs leaves it. Requires CanRunBlock().
    void RunBlock(const double* block_input, double* main_out, double* post_out, std::size_t count) noexcept;

    // Set by the owner before Setup.
    std::int32_t emphasis_index = 0;
    std::int32_t samples_per_bit = 16;

    // Set by the owner before each Run.
    double input = 0.0;

    // Results of the last Run. An emphasis index outside the table keeps the
    // post coefficient of the last valid one (0.0 before any).
    double main_coefficient = 1.0;
    double post_coefficient = 0.0;
    double main_output = 0.0;
    double post_output = 0.0;

private:
    // Circular delay lines of 2N (main) and 3N (post) samples; their length is
    // fixed by Initialize, so a later change of samples_per_bit without a new
    // Initialize cannot make Run step outside them.
    std::vector<double> main_line;
    std::vector<double> post_line;
    std::size_t main_write = 0;
    std::size_t main_read = 0;
    std::size_t post_write = 0;
    std::size_t post_read = 0;
};
