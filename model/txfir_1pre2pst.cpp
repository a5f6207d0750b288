#include "model/txfir_1pre2pst.h"

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
