// The three entry points. Each validates what the simulator hands it, keeps
// every exception inside the library and answers with 1 or 0; reasons go
// into the instance's message text or, from the blocks, to standard error.

#include "ami/ami_entry_points.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <new>

#include "ami/ami_model_instance.h"
#include "ami/ami_parameters.h"

namespace {

constexpr char kSetupFailed[] = "Error occurred in korvan_tx::Setup(). ";
constexpr char kInitializeFailed[] = "Error occurred in korvan_tx::Initialize(). ";
constexpr char kRunFailed[] = "Error occurred in korvan_tx::Run(). ";
constexpr char kFinalizeFailed[] = "Error occurred in korvan_tx::Finalize(). ";
// Handed back when not even the instance could be allocated; read-only.
constexpr char kNoMemory[] = "The IBIS-AMI model, korvan_tx, ran out of memory in AMI_Init. ";

// Samples per bit: the nearest whole number of samples, halves up. A ratio
// that no 32-bit count holds (or that is not a number) gives 0, which the
// model's Setup rejects.
std::int32_t SamplesPerBit(double sample_interval, double bit_time) {
    const double ratio = bit_time / sample_interval + 0.5;
    if (!(ratio >= 0.0 && ratio < 2147483648.0)) return 0;
    return static_cast<std::int32_t>(ratio);
}

// Runs one lifecycle operation of the model; an exception (memory running
// out) counts as failure.
template <typename Operation>
bool Succeeds(Operation operation) noexcept {
    try {
        return operation();
    } catch (...) {
        return false;
    }
}

// One double of storage for a port of the model, owned by this layer.
void AttachPortStorage(Vantrel::CircularBuffer<double>& port) {
    port.Attach(new double[1](), 1, 1, 0);
}

void FreePortStorage(Vantrel::CircularBuffer<double>& port) noexcept {
    delete[] port.Storage();
    port.Attach(nullptr, 0, 1, 0);
}

// Sets up and initialises a fresh instance; false with the reason in its
// message when the model cannot run.
bool PrepareInstance(AmiModelInstance& instance, double sample_interval, double bit_time,
                     const char* parameters_in) {
    korvan_tx& model = instance.model;
    instance.samples_per_bit = SamplesPerBit(sample_interval, bit_time);
    model.samples_per_bit = static_cast<double>(instance.samples_per_bit);
    ReadModelParameters(parameters_in, model, instance.message);
    model.bit_time = bit_time;

    const bool ports_ready = Succeeds([&] {
        AttachPortStorage(model.input);
        AttachPortStorage(model.output);
        AttachPortStorage(model.fir_output);
        return true;
    });
    if (!ports_ready || !Succeeds([&] { return model.Setup(); })) {
        instance.message += kSetupFailed;
        return false;
    }
    if (!Succeeds([&] { return model.Initialize(); })) {
        instance.message += kInitializeFailed;
        return false;
    }
    return true;
}

}  // namespace

extern "C" long AMI_Init(double* /*impulse_matrix*/, long /*row_size*/, long /*aggressors*/,
                         double sample_interval, double bit_time, char* AMI_parameters_in,
                         char** /*AMI_parameters_out*/, void** AMI_memory_handle, char** msg) {
    // Without a place for the handle the instance could never be closed.
    if (AMI_memory_handle == nullptr) return 0;
    AmiModelInstance* instance = nullptr;
    try {
        instance = new AmiModelInstance;
    } catch (...) {
        *AMI_memory_handle = nullptr;
        if (msg != nullptr) *msg = const_cast<char*>(kNoMemory);
        return 0;
    }

    bool ok = false;
    try {
        ok = PrepareInstance(*instance, sample_interval, bit_time, AMI_parameters_in);
    } catch (...) {
        // Memory ran out reading the parameters or appending a sentence; the
        // message is as complete as memory allowed.
        ok = false;
    }
    instance->ready = ok;

    // Handed back on failure too: the simulator closes it with AMI_Close.
    *AMI_memory_handle = instance;
    if (msg != nullptr && !instance->message.empty()) *msg = instance->message.data();
    return ok ? 1 : 0;
}

extern "C" long AMI_GetWave(double* wave, long wave_size, double* clock_times,
                            char** /*AMI_parameters_out*/, void* AMI_memory) {
    auto* instance = static_cast<AmiModelInstance*>(AMI_memory);
    if (instance == nullptr || !instance->ready || wave_size < 0) return 0;
    if (wave_size > 0 && (wave == nullptr || clock_times == nullptr)) return 0;

    try {
        korvan_tx& model = instance->model;
        bool ok = true;
        // Filter state carries over from the previous call: one waveform.
        // The model filters what it can of the block at once, bit for bit as
        // the graph would; the rest, and always the last sample, goes
        // through the graph one sample at a time.
        const auto filtered = static_cast<long>(model.RunBlock(wave, static_cast<std::size_t>(wave_size)));
        for (long i = filtered; i < wave_size; ++i) {
            model.input.Item(0) = wave[i];
            if (!model.Run()) {
                // The rest of the block keeps its input values.
                instance->message += kRunFailed;
                ok = false;
                break;
            }
            wave[i] = model.output.Item(0);
        }

        // This model recovers no clock: the list holds only its terminator.
        instance->clock_list.clear();
        instance->clock_list.push_back(-1.0);
        if (clock_times != nullptr) {
            const double limit =
                std::floor(static_cast<double>(wave_size) / static_cast<double>(instance->samples_per_bit)) + 3.0;
            const std::size_t recorded = instance->clock_list.size();
            const std::size_t copied =
                static_cast<double>(recorded) <= limit ? recorded : static_cast<std::size_t>(limit);
            const std::size_t first = recorded - copied;  // the most recent ones
            for (std::size_t i = 0; i < copied; ++i) clock_times[i] = instance->clock_list[first + i];
        }
        return ok ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

extern "C" long AMI_Close(void* AMI_memory) {
    auto* instance = static_cast<AmiModelInstance*>(AMI_memory);
    if (instance == nullptr) return 0;
    bool ok = Succeeds([&] { return instance->model.Finalize(); });
    if (!ok) {
        // The record goes below, so the sentence never reaches the simulator;
        // it completes the instance's account all the same.
        try {
            instance->message += kFinalizeFailed;
        } catch (...) {
        }
    }
    FreePortStorage(instance->model.input);
    FreePortStorage(instance->model.output);
    FreePortStorage(instance->model.fir_output);
    delete instance;
    return ok ? 1 : 0;
}
