#include "tools/amisim/channel/complex_lu.h"

#include <cmath>
#include <cstddef>
#include <utility>

namespace amisim {

namespace {

std::size_t At(int row, int column, int n) {
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(n) + static_cast<std::size_t>(column);
}

}  // namespace

bool FactorLu(std::complex<double>* a, int n, std::vector<int>& pivot) {
    pivot.resize(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        int best = k;
        double largest = std::abs(a[At(k, k, n)]);
        for (int r = k + 1; r < n; ++r)
            if (const double size = std::abs(a[At(r, k, n)]); size > largest) {
                largest = size;
                best = r;
            }
        pivot[static_cast<std::size_t>(k)] = best;
        if (!(largest > 0.0)) return false;
        if (best != k)
            for (int c = 0; c < n; ++c) std::swap(a[At(k, c, n)], a[At(best, c, n)]);
        const std::complex<double> inverse = 1.0 / a[At(k, k, n)];
        for (int r = k + 1; r < n; ++r) {
            const std::complex<double> factor = a[At(r, k, n)] * inverse;
            a[At(r, k, n)] = factor;
            if (factor == 0.0) continue;
            for (int c = k + 1; c < n; ++c) a[At(r, c, n)] -= factor * a[At(k, c, n)];
        }
    }
    return true;
}

void SolveLu(const std::complex<double>* a, int n, const std::vector<int>& pivot, std::complex<double>* b) {
    // The factorisation swapped whole rows, multipliers included, so the
    // swaps go first, all of them, then the two triangular solves.
    for (int k = 0; k < n; ++k)
        if (const int p = pivot[static_cast<std::size_t>(k)]; p != k) std::swap(b[k], b[p]);
    for (int k = 0; k < n; ++k)
        for (int r = k + 1; r < n; ++r) b[r] -= a[At(r, k, n)] * b[k];
    for (int k = n - 1; k >= 0; --k) {
        std::complex<double> sum = b[k];
        for (int c = k + 1; c < n; ++c) sum -= a[At(k, c, n)] * b[c];
        b[k] = sum / a[At(k, k, n)];
    }
}

}  // namespace amisim
