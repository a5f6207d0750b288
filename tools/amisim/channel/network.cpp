#include "tools/amisim/channel/network.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/channel/complex_lu.h"

namespace amisim {

bool Network::UniformReference() const {
    for (double r : reference_ohms)
        if (r != reference_ohms.front()) return false;
    return true;
}

void Renormalise(Network& network, double ohms) {
    const int n = network.ports;
    const std::size_t size = static_cast<std::size_t>(n);
    if (network.reference_ohms.size() != size) network.reference_ohms.assign(size, ohms);
    bool needed = false;
    for (double r : network.reference_ohms) needed = needed || r != ohms;
    if (!needed) return;
    // For each port, the new reference seen from the old one: a' = c (a - rho b),
    // b' = c (b - rho a), with rho = (new - old) / (new + old) and
    // c = (old + new) / (2 sqrt(old new)).
    std::vector<double> rho(size), c(size);
    for (std::size_t k = 0; k < size; ++k) {
        const double old = network.reference_ohms[k];
        rho[k] = (ohms - old) / (ohms + old);
        c[k] = (old + ohms) / (2.0 * std::sqrt(old * ohms));
    }
    // S' = C (S - rho)(I - rho S)^-1 C^-1. With A = I - rho S and
    // B = S - rho, X = B A^-1 solves A^T X^T = B^T: one factorisation, a
    // solve per row of X.
    std::vector<std::complex<double>> transposed(size * size), row(size), result(size * size);
    std::vector<int> pivot;
    for (std::size_t f = 0; f < network.frequencies.size(); ++f) {
        std::complex<double>* s = network.Matrix(f);
        for (std::size_t i = 0; i < size; ++i)
            for (std::size_t j = 0; j < size; ++j)
                transposed[j * size + i] = (i == j ? 1.0 : 0.0) - rho[i] * s[i * size + j];
        if (!FactorLu(transposed.data(), n, pivot))
            throw UsageError("cannot renormalise the ports at " + std::to_string(network.frequencies[f] / 1e9) +
                             " GHz: the data are singular there");
        for (std::size_t i = 0; i < size; ++i) {
            for (std::size_t j = 0; j < size; ++j) row[j] = s[i * size + j] - (i == j ? rho[i] : 0.0);
            SolveLu(transposed.data(), n, pivot, row.data());
            for (std::size_t j = 0; j < size; ++j) result[i * size + j] = c[i] * row[j] / c[j];
        }
        std::copy(result.begin(), result.end(), s);
    }
    network.reference_ohms.assign(size, ohms);
}

}  // namespace amisim
