#include "tools/amisim/models/ami_library.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdint>
#include <system_error>

#include "tools/amisim/amisim_error.h"

namespace amisim {

namespace {

template <typename Function>
Function* Resolve(void* handle, const char* name) {
    // POSIX guarantees that a data pointer from dlsym converts to a function
    // pointer; the detour through an integer keeps -Wpedantic content.
    void* symbol = dlsym(handle, name);
    return reinterpret_cast<Function*>(reinterpret_cast<std::uintptr_t>(symbol));
}

}  // namespace

AmiLibrary::AmiLibrary(const std::filesystem::path& path) : path_(path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        throw UsageError(path.string() + ": no such model library");
    // dlopen searches the system's folders for a name without a slash, so the
    // library is named by its absolute path.
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    dlerror();
    handle_ = dlopen((error ? path : absolute).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* why = dlerror();
        throw ModelError(path.string() + ": cannot load the model library: " +
                         (why != nullptr ? why : "unknown reason"));
    }
    init_ = Resolve<AmiInitFunction>(handle_, "AMI_Init");
    get_wave_ = Resolve<AmiGetWaveFunction>(handle_, "AMI_GetWave");
    close_ = Resolve<AmiCloseFunction>(handle_, "AMI_Close");
    std::string missing;
    if (init_ == nullptr) missing += " AMI_Init";
    if (get_wave_ == nullptr) missing += " AMI_GetWave";
    if (close_ == nullptr) missing += " AMI_Close";
    if (!missing.empty()) {
        dlclose(handle_);
        handle_ = nullptr;
        throw ModelError(path.string() + ": the model library does not export" + missing);
    }
}

AmiLibrary::~AmiLibrary() {
    if (handle_ != nullptr) dlclose(handle_);
}

AmiSession::AmiSession(const AmiLibrary& library, double sample_interval, double bit_time)
    : library_(library), sample_interval_(sample_interval), bit_time_(bit_time) {}

AmiSession::~AmiSession() {
    if (initialised_) Close();
}

void AmiSession::KeepParametersOut(const char* text) {
    if (text != nullptr && *text != '\0') parameters_out_ = text;
}

bool AmiSession::Init(const std::string& parameters, long impulse_samples) {
    std::vector<double> impulse(static_cast<std::size_t>(impulse_samples > 0 ? impulse_samples : 1), 0.0);
    impulse[0] = 1.0 / sample_interval_;
    return Init(parameters, std::move(impulse));
}

std::vector<double> AmiSession::ClockTimes() const {
    std::vector<double> times;
    for (double t : clock_times_) {
        if (t < 0.0) break;
        times.push_back(t);
    }
    return times;
}

bool AmiSession::Init(const std::string& parameters, std::vector<double> impulse) {
    return Init(parameters, std::move(impulse), {});
}

std::vector<double> AmiSession::AggressorColumn(std::size_t index) const {
    if (index >= aggressor_columns_) return {};
    const std::size_t rows = impulse_.size();
    const auto first = matrix_.begin() + static_cast<std::ptrdiff_t>((index + 1) * rows);
    return std::vector<double>(first, first + static_cast<std::ptrdiff_t>(rows));
}

bool AmiSession::Init(const std::string& parameters, std::vector<double> impulse,
                      const std::vector<std::vector<double>>& aggressors) {
    if (initialised_) throw ModelError("AMI_Init called twice on one instance");
    // The model may keep pointers into what it is given until AMI_Close, as
    // the standard allows, so the buffers outlive the call.
    parameters_in_.assign(parameters.begin(), parameters.end());
    parameters_in_.push_back('\0');
    impulse_ = std::move(impulse);
    if (impulse_.empty()) impulse_.assign(1, 1.0 / sample_interval_);
    const std::size_t rows = impulse_.size();
    aggressor_columns_ = aggressors.size();
    if (aggressor_columns_ > 0) {
        matrix_.assign((aggressor_columns_ + 1) * rows, 0.0);
        std::copy(impulse_.begin(), impulse_.end(), matrix_.begin());
        for (std::size_t a = 0; a < aggressor_columns_; ++a)
            std::copy_n(aggressors[a].begin(), std::min(rows, aggressors[a].size()),
                        matrix_.begin() + static_cast<std::ptrdiff_t>((a + 1) * rows));
    }
    double* handed = aggressor_columns_ > 0 ? matrix_.data() : impulse_.data();
    char* parameters_out = nullptr;
    char* msg = nullptr;
    const long result =
        library_.init()(handed, static_cast<long>(rows), static_cast<long>(aggressor_columns_), sample_interval_,
                        bit_time_, parameters_in_.data(), &parameters_out, &memory_, &msg);
    // The through column as the model left it, where impulse() finds it.
    if (aggressor_columns_ > 0) std::copy_n(matrix_.begin(), rows, impulse_.begin());
    // The handle is closed even after a failed AMI_Init, as the standard asks.
    initialised_ = true;
    if (msg != nullptr) message_ = msg;
    KeepParametersOut(parameters_out);
    return result != 0;
}

bool AmiSession::GetWave(double* wave, long size) {
    if (!initialised_ || closed_) throw ModelError("AMI_GetWave called outside an open instance");
    // Room for a clock tick per bit and the terminator, whatever the model's
    // samples per bit; it is refilled so that stale ticks never show.
    clock_times_.assign(static_cast<std::size_t>(size) + 3, -1.0);
    char* parameters_out = nullptr;
    const long result = library_.get_wave()(wave, size, clock_times_.data(), &parameters_out, memory_);
    KeepParametersOut(parameters_out);
    return result != 0;
}

bool AmiSession::Close() {
    if (!initialised_ || closed_) return close_result_;
    closed_ = true;
    close_result_ = library_.close()(memory_) != 0;
    memory_ = nullptr;
    return close_result_;
}

}  // namespace amisim
