#pragma once
// Dense complex LU factorisation with partial pivoting, in place, for the
// small systems of terminations and renormalisation (a few to a few dozen
// unknowns, solved once per frequency).

#include <complex>
#include <vector>

namespace amisim {

// Factors the n x n matrix `a` (row by row) in place; `pivot` receives the
// row swaps. Returns false for a singular matrix.
bool FactorLu(std::complex<double>* a, int n, std::vector<int>& pivot);
// Solves a x = b with a factored by FactorLu, b overwritten by x.
void SolveLu(const std::complex<double>* a, int n, const std::vector<int>& pivot, std::complex<double>* b);

}  // namespace amisim
