#include "tools/amisim/flows/parameter_grid.h"

#include "tools/amisim/amisim_error.h"

namespace amisim {

namespace {

std::string Assignments(const std::vector<ParameterOverride>& overrides) {
    std::string text;
    for (const ParameterOverride& o : overrides) text += (text.empty() ? "" : " ") + o.path + "=" + o.value;
    return text;
}

}  // namespace

std::string PointSetting::Text() const {
    std::string text;
    if (!tx.empty()) text = "Tx " + Assignments(tx);
    if (!rx.empty()) text += (text.empty() ? "" : ", ") + std::string("Rx ") + Assignments(rx);
    return text;
}

ParameterGrid::ParameterGrid(std::vector<GridDimension> dimensions) : dimensions_(std::move(dimensions)) {
    for (std::size_t d = 0; d < dimensions_.size(); ++d) {
        const GridDimension& dimension = dimensions_[d];
        if (dimension.values.empty()) throw UsageError("--sweep " + dimension.name + ": no values");
        for (std::size_t e = 0; e < d; ++e)
            if (dimensions_[e].rx == dimension.rx && dimensions_[e].name == dimension.name)
                throw UsageError("--sweep " + std::string(dimension.rx ? "rx:" : "tx:") + dimension.name +
                                 ": the parameter is swept twice");
        if (dimension.values.size() > kMaxPoints / size_)
            throw UsageError("the sweeps make a grid of more than " + std::to_string(kMaxPoints) + " points");
        size_ *= dimension.values.size();
    }
}

std::vector<std::size_t> ParameterGrid::Indices(std::size_t point) const {
    std::vector<std::size_t> indices(dimensions_.size());
    for (std::size_t d = dimensions_.size(); d-- > 0;) {
        const std::size_t count = dimensions_[d].values.size();
        indices[d] = point % count;
        point /= count;
    }
    return indices;
}

std::size_t ParameterGrid::Point(const std::vector<std::size_t>& indices) const {
    std::size_t point = 0;
    for (std::size_t d = 0; d < dimensions_.size(); ++d) point = point * dimensions_[d].values.size() + indices[d];
    return point;
}

PointSetting ParameterGrid::Setting(const std::vector<std::size_t>& indices) const {
    PointSetting setting;
    for (std::size_t d = 0; d < dimensions_.size(); ++d) {
        const GridDimension& dimension = dimensions_[d];
        (dimension.rx ? setting.rx : setting.tx).push_back({dimension.name, dimension.values[indices[d]]});
    }
    return setting;
}

std::string ParameterGrid::Shape() const {
    std::string shape;
    for (const GridDimension& dimension : dimensions_)
        shape += (shape.empty() ? "" : " x ") + std::to_string(dimension.values.size());
    return shape;
}

bool SweepsRx(const SweepRequest& sweep, const LinkModel& tx, const LinkModel* rx) {
    if (sweep.model == "rx") {
        if (rx == nullptr) throw UsageError("--sweep rx:" + sweep.name + ": there is no --rx model");
        return true;
    }
    if (sweep.model == "tx") return false;
    const bool in_tx = tx.Declares(sweep.name);
    const bool in_rx = rx != nullptr && rx->Declares(sweep.name);
    if (in_tx && in_rx)
        throw UsageError("--sweep " + sweep.name + ": both models declare it; write tx:" + sweep.name + " or rx:" +
                         sweep.name);
    if (in_tx) return false;
    if (in_rx) return true;
    if (!tx.ami) return false;  // a bare library takes any name
    throw UsageError("--sweep " + sweep.name + ": neither model's .ami file declares an input parameter of that name");
}

ParameterGrid GridOfSweeps(const std::vector<SweepRequest>& sweeps, const LinkModel& tx, const LinkModel* rx) {
    std::vector<GridDimension> dimensions;
    for (const SweepRequest& sweep : sweeps) dimensions.push_back({SweepsRx(sweep, tx, rx), sweep.name, sweep.values});
    return ParameterGrid(std::move(dimensions));
}

}  // namespace amisim
