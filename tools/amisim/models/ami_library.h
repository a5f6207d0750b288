#pragma once
// A loaded IBIS-AMI model library and one model instance driven through it,
// the way a channel simulator drives it: AMI_Init once, AMI_GetWave on
// consecutive blocks, AMI_Close once.

#include <filesystem>
#include <string>
#include <vector>

#include "tools/amisim/models/model_instance.h"

namespace amisim {

// The standard prototypes. Sizes and results are `long`, as the standard
// declares them, so a model built for the standard returns a whole register.
extern "C" {
using AmiInitFunction = long(double* impulse_matrix, long row_size, long aggressors,
                             double sample_interval, double bit_time, char* AMI_parameters_in,
                             char** AMI_parameters_out, void** AMI_memory_handle, char** msg);
using AmiGetWaveFunction = long(double* wave, long wave_size, double* clock_times,
                                char** AMI_parameters_out, void* AMI_memory);
using AmiCloseFunction = long(void* AMI_memory);
}

class AmiLibrary {
public:
    // Throws a usage-or-file AmisimError when the file does not exist, and a
    // model-failure AmisimError when it does not load or lacks AMI_Init or
    // AMI_Close (AMI_GetWave may be missing: see has_get_wave).
    explicit AmiLibrary(const std::filesystem::path& path);
    // A model built into amisim: its entry points, with `name` for messages.
    AmiLibrary(const std::string& name, AmiInitFunction* init_entry, AmiGetWaveFunction* get_wave_entry,
               AmiCloseFunction* close_entry);
    ~AmiLibrary();
    AmiLibrary(const AmiLibrary&) = delete;
    AmiLibrary& operator=(const AmiLibrary&) = delete;

    const std::filesystem::path& path() const noexcept { return path_; }
    AmiInitFunction* init() const noexcept { return init_; }
    // Null when the library exports no AMI_GetWave (an Init-only model).
    AmiGetWaveFunction* get_wave() const noexcept { return get_wave_; }
    bool has_get_wave() const noexcept { return get_wave_ != nullptr; }
    AmiCloseFunction* close() const noexcept { return close_; }
    // Built into amisim rather than loaded from a file.
    bool built_in() const noexcept { return built_in_; }

private:
    std::filesystem::path path_;
    void* handle_ = nullptr;
    AmiInitFunction* init_ = nullptr;
    AmiGetWaveFunction* get_wave_ = nullptr;
    AmiCloseFunction* close_ = nullptr;
    bool built_in_ = false;
};

// One model instance in amisim's own process. The destructor closes an
// instance left open, so an error part-way never leaks the model's memory.
class AmiSession : public ModelInstance {
public:
    // `role` names the model when it returns non-finite samples.
    AmiSession(const AmiLibrary& library, double sample_interval, double bit_time, std::string role = "");
    ~AmiSession() override;

    using ModelInstance::Init;
    bool Init(const std::string& parameters, std::vector<double> matrix, long row_size,
              long aggressors) override;
    bool GetWave(double* wave, long size) override;
    bool Close() override;

    const std::string& message() const override { return message_; }
    std::vector<double> ClockTimes() const override;
    const std::vector<double>& impulse() const override { return impulse_; }
    const std::string& parameters_out() const override { return parameters_out_; }
    const std::string& wave_parameters_out() const override { return wave_parameters_out_; }

private:
    void KeepParametersOut(const char* text);

    const AmiLibrary& library_;
    std::string role_;
    std::size_t samples_done_ = 0;
    void* memory_ = nullptr;
    bool initialised_ = false;
    bool closed_ = false;
    bool close_result_ = true;
    std::string message_;
    std::string parameters_out_;
    std::string wave_parameters_out_;
    std::vector<char> parameters_in_;
    std::vector<double> impulse_;
    std::vector<double> clock_times_;
};

}  // namespace amisim
