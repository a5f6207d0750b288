#include "tools/amisim/channel/mixed_mode.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <complex>
#include <numbers>

namespace amisim {

namespace {

bool ReadPortNumber(std::string_view text, int& number) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size() && number >= 1;
}

// The non-zero entries of one row of M: (single-ended column, weight).
struct Weight {
    std::size_t column;
    double value;
};

std::vector<Weight> RowOf(const MixedModePort& port) {
    const double half = std::numbers::sqrt2 / 2.0;
    const std::size_t first = static_cast<std::size_t>(port.first - 1);
    switch (port.kind) {
    case MixedModePort::Kind::kSingle:
        return {{first, 1.0}};
    case MixedModePort::Kind::kDifferential:
        return {{first, half}, {static_cast<std::size_t>(port.second - 1), -half}};
    case MixedModePort::Kind::kCommon:
        return {{first, half}, {static_cast<std::size_t>(port.second - 1), half}};
    }
    return {};
}

}  // namespace

bool ReadMixedModePort(std::string_view word, MixedModePort& port) {
    if (word.size() < 2) return false;
    const char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(word[0])));
    const std::string_view numbers = word.substr(1);
    if (kind == 'S') {
        port = {MixedModePort::Kind::kSingle, 0, 0};
        return ReadPortNumber(numbers, port.first);
    }
    if (kind != 'D' && kind != 'C') return false;
    const std::size_t comma = numbers.find(',');
    if (comma == std::string_view::npos) return false;
    port.kind = kind == 'D' ? MixedModePort::Kind::kDifferential : MixedModePort::Kind::kCommon;
    return ReadPortNumber(numbers.substr(0, comma), port.first) &&
           ReadPortNumber(numbers.substr(comma + 1), port.second) && port.first != port.second;
}

std::string MixedModeOrderProblem(const std::vector<MixedModePort>& order, int ports) {
    if (order.size() != static_cast<std::size_t>(ports))
        return std::to_string(order.size()) + " entries for " + std::to_string(ports) + " ports";
    // How often each single-ended port is used as a single port, and in
    // differential and common entries.
    std::vector<int> single(static_cast<std::size_t>(ports) + 1, 0), paired(single);
    for (const MixedModePort& port : order) {
        if (port.first > ports || port.second > ports)
            return "port " + std::to_string(std::max(port.first, port.second)) + " of a " + std::to_string(ports) +
                   "-port";
        if (port.kind == MixedModePort::Kind::kSingle) {
            ++single[static_cast<std::size_t>(port.first)];
            continue;
        }
        ++paired[static_cast<std::size_t>(port.first)];
        ++paired[static_cast<std::size_t>(port.second)];
        const MixedModePort::Kind partner = port.kind == MixedModePort::Kind::kDifferential
                                                ? MixedModePort::Kind::kCommon
                                                : MixedModePort::Kind::kDifferential;
        bool found = false;
        for (const MixedModePort& other : order)
            found = found || (other.kind == partner && other.first == port.first && other.second == port.second);
        if (!found)
            return "the pair " + std::to_string(port.first) + "," + std::to_string(port.second) +
                   " has no " + (partner == MixedModePort::Kind::kCommon ? "common" : "differential") + " mode";
    }
    for (int p = 1; p <= ports; ++p) {
        const std::size_t i = static_cast<std::size_t>(p);
        if (!(single[i] == 1 && paired[i] == 0) && !(single[i] == 0 && paired[i] == 2))
            return "port " + std::to_string(p) + " is not used exactly once";
    }
    return {};
}

void ToSingleEnded(Network& network, const std::vector<MixedModePort>& order) {
    const std::size_t n = static_cast<std::size_t>(network.ports);
    std::vector<std::vector<Weight>> rows;
    rows.reserve(n);
    for (const MixedModePort& port : order) rows.push_back(RowOf(port));
    std::vector<std::complex<double>> product(n * n);
    for (std::size_t f = 0; f < network.frequencies.size(); ++f) {
        std::complex<double>* s = network.Matrix(f);
        // product = S_mm M
        std::fill(product.begin(), product.end(), std::complex<double>{});
        for (std::size_t r = 0; r < n; ++r)
            for (std::size_t k = 0; k < n; ++k)
                for (const Weight& w : rows[k]) product[r * n + w.column] += s[r * n + k] * w.value;
        // S = M^T product
        std::fill(s, s + n * n, std::complex<double>{});
        for (std::size_t r = 0; r < n; ++r)
            for (const Weight& w : rows[r])
                for (std::size_t c = 0; c < n; ++c) s[w.column * n + c] += w.value * product[r * n + c];
    }
}

}  // namespace amisim
