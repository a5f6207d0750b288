#include "tools/amisim/models/model_instance.h"

#include <chrono>
#include <cmath>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/models/ami_library.h"
#include "tools/amisim/models/isolation/isolated_instance.h"

namespace amisim {

void ModelInstance::StartGetWave(double* wave, long size) {
    const auto before = std::chrono::steady_clock::now();
    started_result_ = GetWave(wave, size);
    started_seconds_ = std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count();
}

bool ModelInstance::Init(const std::string& parameters, std::vector<double> impulse) {
    if (impulse.empty()) impulse.assign(1, 1.0 / sample_interval_);
    const long row_size = static_cast<long>(impulse.size());
    return Init(parameters, std::move(impulse), row_size, 0);
}

bool ModelInstance::Init(const std::string& parameters, long impulse_samples) {
    std::vector<double> impulse(static_cast<std::size_t>(impulse_samples > 0 ? impulse_samples : 1), 0.0);
    impulse[0] = 1.0 / sample_interval_;
    return Init(parameters, std::move(impulse));
}

void CheckImpulseMatrix(const std::vector<double>& matrix, long row_size, long aggressors) {
    if (row_size < 1 || aggressors < 0 ||
        matrix.size() != static_cast<std::size_t>(row_size) * static_cast<std::size_t>(aggressors + 1))
        throw ModelError("an impulse matrix of " + std::to_string(matrix.size()) + " samples is not " +
                         std::to_string(row_size) + " rows by " + std::to_string(aggressors + 1) + " columns");
}

std::size_t FirstNonFinite(const double* samples, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        if (!std::isfinite(samples[i])) return i;
    return count;
}

std::string NonFiniteName(double value) {
    if (std::isnan(value)) return "NaN";
    return value > 0 ? "+infinity" : "-infinity";
}

std::unique_ptr<ModelInstance> MakeModelInstance(const std::filesystem::path& library_path,
                                                 const AmiLibrary* library, const std::string& role,
                                                 double sample_interval, double bit_time,
                                                 const ModelHosting& hosting) {
    // A model built into amisim (the reference receiver) is amisim's own
    // code: it runs in process whatever the hosting.
    if (library != nullptr && library->built_in())
        return std::make_unique<AmiSession>(*library, sample_interval, bit_time, role);
    if (!hosting.in_process)
        return std::make_unique<isolation::IsolatedInstance>(library_path, role, sample_interval, bit_time, hosting);
    if (library == nullptr) throw ModelError(library_path.string() + ": the model library is not loaded");
    return std::make_unique<AmiSession>(*library, sample_interval, bit_time, role);
}

}  // namespace amisim
