#pragma once
// A loaded IBIS-AMI model library and one model instance driven through it,
// the way a channel simulator drives it: AMI_Init once, AMI_GetWave on
// consecutive blocks, AMI_Close once.

#include <filesystem>
#include <string>
#include <vector>

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
    // model-failure AmisimError when it does not load or lacks an entry point.
    explicit AmiLibrary(const std::filesystem::path& path);
    ~AmiLibrary();
    AmiLibrary(const AmiLibrary&) = delete;
    AmiLibrary& operator=(const AmiLibrary&) = delete;

    const std::filesystem::path& path() const noexcept { return path_; }
    AmiInitFunction* init() const noexcept { return init_; }
    AmiGetWaveFunction* get_wave() const noexcept { return get_wave_; }
    AmiCloseFunction* close() const noexcept { return close_; }

private:
    std::filesystem::path path_;
    void* handle_ = nullptr;
    AmiInitFunction* init_ = nullptr;
    AmiGetWaveFunction* get_wave_ = nullptr;
    AmiCloseFunction* close_ = nullptr;
};

// One model instance. The destructor closes an instance left open, so an
// error part-way never leaks the model's memory.
class AmiSession {
public:
    AmiSession(const AmiLibrary& library, double sample_interval, double bit_time);
    ~AmiSession();
    AmiSession(const AmiSession&) = delete;
    AmiSession& operator=(const AmiSession&) = delete;

    // Calls AMI_Init with a unit-area impulse (an ideal channel) of
    // impulse_samples samples and no aggressors. Returns the model's result
    // as a flag; the message and any output parameters are kept either way.
    bool Init(const std::string& parameters, long impulse_samples);
    // The same with the channel's impulse (1/s, one column, no aggressors).
    bool Init(const std::string& parameters, std::vector<double> impulse);
    // The same with aggressor columns after the through one: the matrix is
    // the through response's row_size samples, then each aggressor's, each
    // column cut or zero-padded to the through's length; `aggressors` in
    // AMI_Init counts them.
    bool Init(const std::string& parameters, std::vector<double> impulse,
              const std::vector<std::vector<double>>& aggressors);
    // Filters `size` samples in place. Returns false when AMI_GetWave
    // returns 0.
    bool GetWave(double* wave, long size);
    // Calls AMI_Close once; later calls return the first result.
    bool Close();

    const std::string& message() const noexcept { return message_; }
    // The clock times the latest AMI_GetWave returned, up to the -1 that
    // ends them (a model returning none writes -1 first).
    std::vector<double> ClockTimes() const;
    // The impulse AMI_Init was given, as the model left it: a model whose
    // Init_Returns_Impulse is True has put its equalised impulse there.
    const std::vector<double>& impulse() const noexcept { return impulse_; }
    // Aggressor column `index` (0 the first after the through) as the model
    // left it; empty past the columns it was given.
    std::vector<double> AggressorColumn(std::size_t index) const;
    std::size_t aggressor_columns() const noexcept { return aggressor_columns_; }
    // The latest AMI_parameters_out text a call produced, if any.
    const std::string& parameters_out() const noexcept { return parameters_out_; }

private:
    void KeepParametersOut(const char* text);

    const AmiLibrary& library_;
    double sample_interval_;
    double bit_time_;
    void* memory_ = nullptr;
    bool initialised_ = false;
    bool closed_ = false;
    bool close_result_ = true;
    std::string message_;
    std::string parameters_out_;
    std::vector<char> parameters_in_;
    std::vector<double> impulse_;
    // The whole matrix handed to AMI_Init when it had aggressor columns;
    // the model may keep pointers into it until AMI_Close.
    std::vector<double> matrix_;
    std::size_t aggressor_columns_ = 0;
    std::vector<double> clock_times_;
};

}  // namespace amisim
