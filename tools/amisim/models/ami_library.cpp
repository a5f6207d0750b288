#include "tools/amisim/models/ami_library.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdint>
#include <system_error>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/models/isolation/fault_text.h"

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
    // A model without AMI_GetWave is a whole model (GetWave_Exists False);
    // without AMI_Init or AMI_Close it is none.
    if (init_ == nullptr || close_ == nullptr) {
        dlclose(handle_);
        handle_ = nullptr;
        throw ModelError(path.string() + ": the model library does not export" + missing);
    }
}

AmiLibrary::AmiLibrary(const std::string& name, AmiInitFunction* init_entry, AmiGetWaveFunction* get_wave_entry,
                       AmiCloseFunction* close_entry)
    : path_(name), init_(init_entry), get_wave_(get_wave_entry), close_(close_entry), built_in_(true) {}

AmiLibrary::~AmiLibrary() {
    if (handle_ != nullptr) dlclose(handle_);
}

AmiSession::AmiSession(const AmiLibrary& library, double sample_interval, double bit_time, std::string role)
    : ModelInstance(sample_interval, bit_time), library_(library), role_(std::move(role)) {}

AmiSession::~AmiSession() {
    if (initialised_) Close();
}

void AmiSession::KeepParametersOut(const char* text) {
    if (text != nullptr && *text != '\0') parameters_out_ = text;
}

std::vector<double> AmiSession::ClockTimes() const {
    std::vector<double> times;
    for (double t : clock_times_) {
        if (t < 0.0) break;
        times.push_back(t);
    }
    return times;
}

bool AmiSession::Init(const std::string& parameters, std::vector<double> matrix, long row_size, long aggressors) {
    if (initialised_) throw ModelError("AMI_Init called twice on one instance");
    // The model may keep pointers into what it is given until AMI_Close, as
    // the standard allows, so the buffers outlive the call.
    parameters_in_.assign(parameters.begin(), parameters.end());
    parameters_in_.push_back('\0');
    impulse_ = std::move(matrix);
    CheckImpulseMatrix(impulse_, row_size, aggressors);
    char* parameters_out = nullptr;
    char* msg = nullptr;
    const long result =
        library_.init()(impulse_.data(), row_size, aggressors, sample_interval(), bit_time(),
                        parameters_in_.data(), &parameters_out, &memory_, &msg);
    // The handle is closed even after a failed AMI_Init, as the standard asks.
    initialised_ = true;
    if (msg != nullptr) message_ = msg;
    KeepParametersOut(parameters_out);
    const std::size_t bad = FirstNonFinite(impulse_.data(), impulse_.size());
    if (bad < impulse_.size())
        throw ModelError(isolation::ModelName(role_) + " returned " + NonFiniteName(impulse_[bad]) +
                         " in its impulse matrix from AMI_Init at sample " + isolation::Grouped(bad));
    return result != 0;
}

bool AmiSession::GetWave(double* wave, long size) {
    if (!initialised_ || closed_) throw ModelError("AMI_GetWave called outside an open instance");
    // Room for a clock tick per bit and the terminator, whatever the model's
    // samples per bit; it is refilled so that stale ticks never show.
    clock_times_.assign(static_cast<std::size_t>(size) + 3, -1.0);
    char* parameters_out = nullptr;
    if (library_.get_wave() == nullptr)
        throw ModelError(library_.path().string() + ": the model library exports no AMI_GetWave");
    const long result = library_.get_wave()(wave, size, clock_times_.data(), &parameters_out, memory_);
    wave_parameters_out_ = parameters_out != nullptr ? parameters_out : "";
    KeepParametersOut(parameters_out);
    const std::size_t count = static_cast<std::size_t>(std::max(size, 0L));
    const std::size_t bad = FirstNonFinite(wave, count);
    if (bad < count)
        throw ModelError(isolation::ModelName(role_) + " returned " + NonFiniteName(wave[bad]) +
                         " from AMI_GetWave at " + isolation::AtSample(samples_done_ + bad, bit_time() / sample_interval()));
    samples_done_ += count;
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
