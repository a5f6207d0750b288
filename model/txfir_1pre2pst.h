#pragma once
// Two-tap transmit pre-emphasis. The block has no ports: its owner writes one
// sample into `input` before each Run and reads `main_output` and
// `post_output` after it. The main tap is one bit late, the post-cursor tap
// two bits late; the owner adds them.

#include <algorithm>
#include <cmath>
#include <cstddef>
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
    // Exactly `count` Runs over block_input[0 .. count): the same products
    // stored in the same slots and read back in the same order, and every
    // field left as the last of those Runs leaves it. The two outputs of Run
    // j go to take(j, main output, post output), in order of j. Requires
    // CanRunBlock().
    template <typename Take>
    void RunBlock(const double* block_input, std::size_t count, Take&& take) noexcept;

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

template <typename Take>
void TXFIR_1pre2pst::RunBlock(const double* block_input, std::size_t count, Take&& take) noexcept {
    if (count == 0) return;
    post_coefficient = PostCoefficient(emphasis_index);
    main_coefficient = 1.0 - std::fabs(post_coefficient);
    // Run stores 2 * coefficient * input, evaluated left to right: the
    // doubling is exact, the one rounding is that of the product with the
    // input, as here.
    const double main_scale = 2.0 * main_coefficient;
    const double post_scale = 2.0 * post_coefficient;
    double* const main_slots = main_line.data();
    double* const post_slots = post_line.data();
    const std::size_t main_length = main_line.size();
    const std::size_t post_length = post_line.size();

    // Stretches in which none of the four indexes wraps; within one the
    // samples go through in order, each stored before the taps are read
    // back, exactly as Run does it.
    for (std::size_t done = 0; done < count;) {
        const std::size_t stretch = std::min({count - done, main_length - main_write, main_length - main_read,
                                              post_length - post_write, post_length - post_read});
        for (std::size_t j = 0; j < stretch; ++j) {
            const double x = block_input[done + j];
            main_slots[main_write + j] = main_scale * x;
            post_slots[post_write + j] = post_scale * x;
            take(done + j, main_slots[main_read + j], post_slots[post_read + j]);
        }
        done += stretch;
        main_write += stretch;
        main_read += stretch;
        post_write += stretch;
        post_read += stretch;
        if (main_write == main_length) main_write = 0;
        if (main_read == main_length) main_read = 0;
        if (post_write == post_length) post_write = 0;
        if (post_read == post_length) post_read = 0;
    }
    // The read indexes have moved past the last outputs, one place back
    // (with the wrap undone).
    input = block_input[count - 1];
    main_output = main_slots[(main_read == 0 ? main_length : main_read) - 1];
    post_output = post_slots[(post_read == 0 ? post_length : post_read) - 1];
}
