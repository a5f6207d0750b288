#pragma once
// A model instance in a worker process of its own. The impulse matrix, the
// wave and the clock times cross in shared memory behind guard pages; the
// parameter strings and the model's messages in small frames. Whatever
// the model does wrong (it dies, hangs past the timeout, writes past a
// buffer, returns NaN or infinity) becomes a model-failure AmisimError
// that says which model, which entry point, what, and after how many bits.

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tools/amisim/models/isolation/guarded_arena.h"
#include "tools/amisim/models/isolation/worker_fds.h"
#include "tools/amisim/models/isolation/worker_process.h"
#include "tools/amisim/models/model_instance.h"

namespace amisim::isolation {

class IsolatedInstance : public ModelInstance {
public:
    // Starts the worker and loads the library in it; throws what loading
    // throws in process (a model-failure AmisimError), or the fault.
    IsolatedInstance(const std::filesystem::path& library, const std::string& role, double sample_interval,
                     double bit_time, const ModelHosting& hosting);
    ~IsolatedInstance() override;

    using ModelInstance::Init;
    bool Init(const std::string& parameters, std::vector<double> matrix, long row_size, long aggressors) override;
    bool GetWave(double* wave, long size) override;
    void StartGetWave(double* wave, long size) override;
    bool FinishGetWave() override;
    double wave_call_seconds() const override { return wave_call_seconds_; }
    bool Close() override;
    double* WaveBuffer(std::size_t size, int slot = 0) override;

    const std::string& message() const override { return message_; }
    const std::string& parameters_out() const override { return parameters_out_; }
    const std::string& wave_parameters_out() const override { return wave_parameters_out_; }
    std::vector<double> ClockTimes() const override;
    const std::vector<double>& impulse() const override { return impulse_; }
    // Whether the library exports AMI_GetWave, as its worker found.
    bool has_get_wave() const noexcept { return has_get_wave_; }

private:
    using Clock = std::chrono::steady_clock;
    // Sends the request and waits for the entry point's return; a fault
    // ends the worker and throws.
    Frame Call(const Frame& request, const char* entry);
    // The two halves of Call: Post sends (a worker already gone is found
    // out by Await), Await waits for the return of a call posted at `sent`.
    void Post(const Frame& request);
    Frame Await(const char* entry, Clock::time_point sent);
    [[noreturn]] void Fail(const std::string& what);
    void MapIfGrown(std::size_t arena, bool grown);
    // Room in the wave arena for `count` samples and their clock times.
    void ReserveWave(std::size_t count);
    void KeepParametersOut(const std::string& text);
    double SamplesPerBit() const { return bit_time() / sample_interval(); }

    std::filesystem::path library_;
    std::string role_;
    ModelHosting hosting_;
    GuardedArena matrix_arena_{1};
    GuardedArena wave_arena_{kWaveArenaRegions};
    std::unique_ptr<WorkerProcess> worker_;
    bool initialised_ = false;
    bool closed_ = false;
    bool close_result_ = true;
    bool failed_ = false;
    bool has_get_wave_ = true;
    std::size_t samples_done_ = 0;
    std::string message_;
    std::string parameters_out_;
    std::string wave_parameters_out_;
    std::vector<double> impulse_;
    std::vector<double> clock_times_;
    double wave_call_seconds_ = 0.0;
    bool posted_ = false;  // the latest Post reached the worker
    // The AMI_GetWave started and not yet finished, if any.
    struct PendingWave {
        double* wave = nullptr;  // the caller's block
        long size = 0;
        int slot = 0;
        Clock::time_point sent;
    };
    std::optional<PendingWave> pending_;
};

}  // namespace amisim::isolation
