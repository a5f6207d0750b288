#include "tools/amisim/models/model_instance.h"

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/models/ami_library.h"

namespace amisim {

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

std::unique_ptr<ModelInstance> MakeModelInstance(const std::filesystem::path& library_path,
                                                 const AmiLibrary* library, const std::string& role,
                                                 double sample_interval, double bit_time,
                                                 const ModelHosting& hosting) {
    (void)library_path;
    (void)role;
    (void)hosting;
    if (library == nullptr) throw ModelError(library_path.string() + ": the model library is not loaded");
    // A model built into amisim (the reference receiver) is amisim's own
    // code: it runs in process whatever the hosting.
    if (library->built_in()) return std::make_unique<AmiSession>(*library, sample_interval, bit_time);
    return std::make_unique<AmiSession>(*library, sample_interval, bit_time);
}

}  // namespace amisim
