#pragma once
// The grid of a sweep: every combination of the values of one or more model
// parameters, across the transmitter and the receiver. Points are numbered
// with the last parameter changing fastest, so the table reads like nested
// loops in the order the parameters were given.

#include <cstddef>
#include <string>
#include <vector>

#include "tools/amisim/flows/sweep.h"
#include "tools/amisim/models/link_model.h"
#include "tools/amisim/models/parameter_string.h"

namespace amisim {

struct GridDimension {
    bool rx = false;  // whose parameter: the receiver's, else the transmitter's
    std::string name;
    std::vector<std::string> values;
};

// The parameters a point sets on each model, on top of the command line's.
struct PointSetting {
    std::vector<ParameterOverride> tx, rx;
    // "Tx emphasis=3 Vreg=1, Rx zero_ghz=1.5"
    std::string Text() const;
};

class ParameterGrid {
public:
    // Throws a usage AmisimError for a parameter given twice or a grid of
    // more than kMaxPoints points.
    explicit ParameterGrid(std::vector<GridDimension> dimensions);

    static constexpr std::size_t kMaxPoints = 1000000;

    const std::vector<GridDimension>& dimensions() const noexcept { return dimensions_; }
    std::size_t size() const noexcept { return size_; }
    // The value index of each dimension at point `point`, and back.
    std::vector<std::size_t> Indices(std::size_t point) const;
    std::size_t Point(const std::vector<std::size_t>& indices) const;
    PointSetting Setting(const std::vector<std::size_t>& indices) const;
    // "7 x 10 x 5"
    std::string Shape() const;

private:
    std::vector<GridDimension> dimensions_;
    std::size_t size_ = 1;
};

// Whether a swept parameter is the receiver's: the tx: or rx: prefix says,
// else the one .ami file that declares it as an input; a transmitter
// library without an .ami file takes any name. Throws a usage AmisimError
// when neither or both models claim it.
bool SweepsRx(const SweepRequest& sweep, const LinkModel& tx, const LinkModel* rx);

// The grid of the --sweep options, in the order given.
ParameterGrid GridOfSweeps(const std::vector<SweepRequest>& sweeps, const LinkModel& tx, const LinkModel* rx);

}  // namespace amisim
