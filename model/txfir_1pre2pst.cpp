#include "model/txfir_1pre2pst.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace {

// Post-cursor weight of each emphasis setting; the main tap gets the rest,
// so a bit that differs from its predecessor always swings the full 2L.
constexpr std::array<double, TXFIR_1pre2pst::kEmphasisSettings> kPostCoefficients = {
    0.0, -0.05555, -0.1111, -0.18889, -0.255555, -0.305555, -0.36665,
};

}  // namespace

double TXFIR_1pre2pst::PostCoefficient(std::int32_t emphasis_index) noexcept {
    return kPostCoefficients[static_cast<std::size_t>(emphasis_index)];
}

bool TXFIR_1pre2pst::Setup() {
    bool ok = true;
    if (emphasis_index < 0 || emphasis_index >= kEmphasisSettings) {
        Vantrel::ReportError(this, "Emphasis index is equal to " + std::to_string(emphasis_index) +
                                       ".  The valid emphasis range is [0,6].");
        ok = false;
    }
    if (samples_per_bit < 1) {
        Vantrel::ReportError(this, "Samples per bit must be >= 1");
        ok = false;
    }
    if (samples_per_bit > kMostSamplesPerBit) {
        Vantrel::ReportError(this, "Samples per bit must be <= " + std::to_string(kMostSamplesPerBit));
        ok = false;
    }
    return ok;
}

bool TXFIR_1pre2pst::Initialize() {
    if (samples_per_bit < 1 || samples_per_bit > kMostSamplesPerBit) {
        main_line.clear();
        post_line.clear();
        return false;
    }
    const std::size_t n = static_cast<std::size_t>(samples_per_bit);
    // The main line's writer starts N ahead of its reader and the post line's
    // 2N ahead; what lies between them is the cleared history the first
    // outputs are read from. The post line's last N entries are written
    // before they are first read.
    main_line.assign(2 * n, 0.0);
    post_line.assign(3 * n, 0.0);
    main_write = n;
    main_read = 0;
    post_write = 2 * n;
    post_read = 0;
    return true;
}

bool TXFIR_1pre2pst::Run() {
    if (main_line.empty()) return false;  // not initialised
    if (emphasis_index >= 0 && emphasis_index < kEmphasisSettings) {
        post_coefficient = kPostCoefficients[static_cast<std::size_t>(emphasis_index)];
    }
    main_coefficient = 1.0 - std::fabs(post_coefficient);

    main_line[main_write] = 2.0 * main_coefficient * input;
    post_line[post_write] = 2.0 * post_coefficient * input;
    if (++main_write == main_line.size()) main_write = 0;
    if (++post_write == post_line.size()) post_write = 0;

    main_output = main_line[main_read];
    post_output = post_line[post_read];
    if (++main_read == main_line.size()) main_read = 0;
    if (++post_read == post_line.size()) post_read = 0;
    return true;
}

bool TXFIR_1pre2pst::CanRunBlock() const noexcept {
    return !main_line.empty() && !post_line.empty() && emphasis_index >= 0 && emphasis_index < kEmphasisSettings;
}

void TXFIR_1pre2pst::RunBlock(const double* block_input, double* main_out, double* post_out,
                              std::size_t count) noexcept {
    if (count == 0) return;
    post_coefficient = kPostCoefficients[static_cast<std::size_t>(emphasis_index)];
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
    // samples go through in order, each stored before it and its neighbour
    // are read back, exactly as Run does it.
    for (std::size_t done = 0; done < count;) {
        const std::size_t stretch = std::min({count - done, main_length - main_write, main_length - main_read,
                                              post_length - post_write, post_length - post_read});
        for (std::size_t j = 0; j < stretch; ++j) {
            const double x = block_input[done + j];
            main_slots[main_write + j] = main_scale * x;
            post_slots[post_write + j] = post_scale * x;
            main_out[done + j] = main_slots[main_read + j];
            post_out[done + j] = post_slots[post_read + j];
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
    input = block_input[count - 1];
    main_output = main_out[count - 1];
    post_output = post_out[count - 1];
}
