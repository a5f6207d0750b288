#pragma once
// A linear N-port network as S-parameters at a list of frequencies, the
// form every multi-port channel takes between the file that describes it
// and the voltage transfers amisim draws from it.

#include <complex>
#include <cstddef>
#include <string>
#include <vector>

namespace amisim {

struct Network {
    int ports = 0;
    std::vector<double> frequencies;  // hertz, strictly increasing
    // Every frequency's ports x ports matrix, one after the other, each row
    // by row: s[(f * ports + i) * ports + j] is S(i+1, j+1). One block keeps
    // a 32-port file of thousands of frequencies in a single allocation.
    std::vector<std::complex<double>> s;
    // The real reference impedance of each port, ohms. Equal on every port
    // once Renormalise has run; the transfers require that.
    std::vector<double> reference_ohms;

    std::size_t MatrixSize() const { return static_cast<std::size_t>(ports) * static_cast<std::size_t>(ports); }
    const std::complex<double>* Matrix(std::size_t frequency) const { return s.data() + frequency * MatrixSize(); }
    std::complex<double>* Matrix(std::size_t frequency) { return s.data() + frequency * MatrixSize(); }
    std::complex<double> At(std::size_t frequency, int row, int column) const {
        return Matrix(frequency)[static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(ports) +
                                 static_cast<std::size_t>(column - 1)];
    }
    // The one reference impedance of every port (the first port's when
    // they differ).
    double Reference() const { return reference_ohms.empty() ? 50.0 : reference_ohms.front(); }
    bool UniformReference() const;
};

// Refers every port to `ohms`, in place: S' = C (S - R)(I - R S)^-1 C^-1
// with R the ports' reflection coefficients of the new reference against
// the old, and C the wave scaling between them. Nothing changes for a port
// already at `ohms`.
void Renormalise(Network& network, double ohms);

// The reference a channel of mixed port references is brought to before
// its ports are combined into pairs.
inline constexpr double kCommonReferenceOhms = 50.0;

}  // namespace amisim
