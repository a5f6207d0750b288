#pragma once
// One instance of a model as the flows see it: AMI_Init once, AMI_GetWave
// on consecutive blocks, AMI_Close once. Where the library's code runs (in
// amisim's own process, or in a worker process of its own that a crash
// cannot take the run down with) is the implementation's business; the
// flows only hold this interface.

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace amisim {

class AmiLibrary;

class ModelInstance {
public:
    virtual ~ModelInstance() = default;
    ModelInstance(const ModelInstance&) = delete;
    ModelInstance& operator=(const ModelInstance&) = delete;

    // Calls AMI_Init with the impulse matrix: `row_size` samples of the
    // channel's impulse (1/s), followed by one column of `row_size` samples
    // per aggressor. Returns the model's result as a flag; the message and
    // any output parameters are kept either way. Faults of the model (it
    // dies, hangs, writes out of bounds, returns non-finite samples) throw a
    // model-failure AmisimError naming them.
    virtual bool Init(const std::string& parameters, std::vector<double> matrix, long row_size,
                      long aggressors) = 0;
    // The channel's impulse alone (one column, no aggressors).
    bool Init(const std::string& parameters, std::vector<double> impulse);
    // A unit-area impulse (an ideal channel) of impulse_samples samples.
    bool Init(const std::string& parameters, long impulse_samples);
    // Filters `size` samples in place. Returns false when AMI_GetWave
    // returns 0.
    virtual bool GetWave(double* wave, long size) = 0;
    // The same call in two halves, so that the caller can go on working
    // while a model that runs elsewhere filters: StartGetWave hands the
    // block over, FinishGetWave waits for it and returns what GetWave
    // would. One call at a time; `wave` stays the caller's to keep, and not
    // to touch, until it is finished. By default (in process) the whole call
    // runs in StartGetWave.
    virtual void StartGetWave(double* wave, long size);
    virtual bool FinishGetWave() { return started_result_; }
    // The time the model itself spent in the AMI_GetWave that
    // FinishGetWave finished, wherever it ran: the model's own figure, not
    // the caller's wait.
    virtual double wave_call_seconds() const { return started_seconds_; }
    // Calls AMI_Close once; later calls return the first result.
    virtual bool Close() = 0;
    // A buffer of `size` samples that GetWave(buffer, size) filters where
    // it lies, without copying the block to where the model runs; null
    // when any buffer is as good (in process). There are two such slots (0
    // and 1), so that one block can be filtered while the caller works on
    // the other. Both stay valid until a GetWave of more samples than any
    // before.
    virtual double* WaveBuffer(std::size_t size, int slot = 0) {
        (void)size;
        (void)slot;
        return nullptr;
    }

    virtual const std::string& message() const = 0;
    // The latest AMI_parameters_out text a call produced, if any.
    virtual const std::string& parameters_out() const = 0;
    // The AMI_parameters_out text of the latest AMI_GetWave call alone, empty
    // when that call gave none: what adaptation is recorded from. (The
    // fallback cannot tell a repeated text from none.)
    virtual const std::string& wave_parameters_out() const { return parameters_out(); }
    // The clock times the latest AMI_GetWave returned, up to the -1 that
    // ends them (a model returning none writes -1 first).
    virtual std::vector<double> ClockTimes() const = 0;
    // The impulse matrix AMI_Init was given, as the model left it: a model
    // whose Init_Returns_Impulse is True has put its equalised impulse there.
    virtual const std::vector<double>& impulse() const = 0;

    double sample_interval() const noexcept { return sample_interval_; }
    double bit_time() const noexcept { return bit_time_; }

protected:
    ModelInstance(double sample_interval, double bit_time)
        : sample_interval_(sample_interval), bit_time_(bit_time) {}

private:
    double sample_interval_;
    double bit_time_;
    bool started_result_ = false;
    double started_seconds_ = 0.0;
};

// Throws when `matrix` is not `row_size` samples times one column plus
// one per aggressor: a model reads exactly that much.
void CheckImpulseMatrix(const std::vector<double>& matrix, long row_size, long aggressors);

// The index of the first NaN or infinity among `count` samples; `count`
// when all are finite. A model's non-finite output is stopped, not eyed.
std::size_t FirstNonFinite(const double* samples, std::size_t count);
// "NaN", "+infinity" or "-infinity".
std::string NonFiniteName(double value);

// Where model instances run and the limits they run under.
struct ModelHosting {
    bool in_process = false;         // the library's code in amisim's own process
    double timeout_seconds = 60.0;   // the longest one entry point may take
    std::size_t memory_bytes = std::size_t{4} << 30;  // each worker's address space
    std::filesystem::path worker;    // the worker program; empty: beside this executable
};

// A fresh instance of the model in `library_path`. `role` ("Tx", "Rx" or
// empty for a lone model) names it in diagnoses. In process, `library` is
// the library already loaded there; out of process it may be null.
std::unique_ptr<ModelInstance> MakeModelInstance(const std::filesystem::path& library_path,
                                                 const AmiLibrary* library, const std::string& role,
                                                 double sample_interval, double bit_time,
                                                 const ModelHosting& hosting);

}  // namespace amisim
