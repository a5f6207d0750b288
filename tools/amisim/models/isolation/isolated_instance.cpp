#include "tools/amisim/models/isolation/isolated_instance.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/models/isolation/fault_text.h"
#include "tools/amisim/models/isolation/worker_fds.h"

namespace amisim::isolation {

namespace {

std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", seconds);
    return text;
}

const char* BufferName(std::int64_t buffer) {
    switch (static_cast<OverrunBuffer>(buffer)) {
        case OverrunBuffer::kImpulseMatrix: return "the impulse matrix";
        case OverrunBuffer::kWave: return "the wave";
        case OverrunBuffer::kClockTimes: return "the clock times";
    }
    return "a buffer";
}

}  // namespace

IsolatedInstance::IsolatedInstance(const std::filesystem::path& library, const std::string& role,
                                   double sample_interval, double bit_time, const ModelHosting& hosting)
    : ModelInstance(sample_interval, bit_time), library_(library), role_(role), hosting_(hosting) {
    worker_ = std::make_unique<WorkerProcess>(FindWorkerProgram(hosting.worker), library, hosting.memory_bytes,
                                              matrix_arena_.fd(), wave_arena_.fd());
    Frame frame;
    const char* entry = "loading its library";
    switch (worker_->Receive(frame, hosting_.timeout_seconds)) {
        case WorkerProcess::Wait::kFrame:
            if (frame.kind == FrameKind::kReady) {
                has_get_wave_ = frame.values[0] != 0;
                return;
            }
            if (frame.kind == FrameKind::kLoadFailed) {
                failed_ = true;
                worker_->Stop();
                throw AmisimError(frame.values[0] == static_cast<std::int64_t>(ExitStatus::kUsageOrFile)
                                      ? ExitStatus::kUsageOrFile
                                      : ExitStatus::kModelFailure,
                                  frame.texts.empty() ? library.string() + ": cannot load the model library"
                                                      : frame.texts[0]);
            }
            Fail(ModelName(role_) + "'s worker sent an unexpected message while " + entry);
        case WorkerProcess::Wait::kEnded:
            Fail(ModelName(role_) + " crashed while " + entry + " (" + HowItEnded(worker_->status()) + ")");
        case WorkerProcess::Wait::kTimedOut:
            Fail(ModelName(role_) + " did not finish " + entry + " within " + Seconds(hosting_.timeout_seconds) + " s");
    }
}

IsolatedInstance::~IsolatedInstance() {
    if (initialised_ && !closed_ && !failed_) {
        try {
            Close();
        } catch (const std::exception&) {
            // The fault that got us here is the one reported.
        }
    }
    if (worker_) {
        worker_->Stop();
        const ModelOutput& output = worker_->output();
        if (!output.empty()) {
            std::fflush(stdout);
            std::cerr << output.Report(ModelName(role_)) << std::flush;
        }
    }
}

void IsolatedInstance::Fail(const std::string& what) {
    failed_ = true;
    worker_->Stop();
    throw ModelError(what);
}

Frame IsolatedInstance::Call(const Frame& request, const char* entry) {
    const Clock::time_point sent = Clock::now();
    Post(request);
    return Await(entry, sent);
}

void IsolatedInstance::Post(const Frame& request) { posted_ = worker_->Send(request); }

Frame IsolatedInstance::Await(const char* entry, Clock::time_point sent) {
    const std::string where = ModelName(role_);
    const std::string after = AfterBits(samples_done_, SamplesPerBit());
    Frame overrun;
    overrun.values[0] = -1;
    if (posted_) {
        Frame frame;
        for (;;) {
            // The deadline runs from when the call was handed over, however
            // long the caller took to come back for it.
            const double waited = std::chrono::duration<double>(Clock::now() - sent).count();
            const WorkerProcess::Wait wait = worker_->Receive(frame, hosting_.timeout_seconds - waited);
            if (wait == WorkerProcess::Wait::kTimedOut)
                Fail(where + " did not return from " + entry + " within " + Seconds(hosting_.timeout_seconds) + " s" +
                     after);
            if (wait == WorkerProcess::Wait::kEnded) break;
            if (frame.kind == FrameKind::kOutOfBounds) {
                overrun = frame;
                continue;
            }
            if (frame.kind == FrameKind::kReturned) return frame;
            Fail(where + "'s worker sent an unexpected message in " + entry);
        }
    } else {
        worker_->Stop();
    }
    const std::string how = HowItEnded(worker_->status());
    if (overrun.values[0] >= 0)
        Fail(where + " wrote " + (overrun.values[2] != 0 ? "before the start of " : "past the end of ") +
             BufferName(overrun.values[0]) + " in " + entry + " (" + how + ")" + after);
    if (how.rfind("exit status", 0) == 0) Fail(where + " ended its process in " + entry + " (" + how + ")" + after);
    Fail(where + " crashed in " + entry + " (" + how + ")" + after);
}

static_assert(kWaveArenaRegions + 1 <= kFrameValues, "a map message names the arena and each region's size");

void IsolatedInstance::MapIfGrown(std::size_t arena, bool grown) {
    if (!grown) return;
    const GuardedArena& which = arena == 0 ? matrix_arena_ : wave_arena_;
    Frame frame;
    frame.kind = FrameKind::kMapArena;
    frame.values[0] = static_cast<std::int64_t>(arena);
    for (std::size_t i = 0; i < which.layout().region_bytes.size(); ++i)
        frame.values[i + 1] = static_cast<std::int64_t>(which.layout().region_bytes[i]);
    // A worker that is gone is found out by the call that follows.
    worker_->Send(frame);
}

void IsolatedInstance::KeepParametersOut(const std::string& text) {
    if (!text.empty()) parameters_out_ = text;
}

bool IsolatedInstance::Init(const std::string& parameters, std::vector<double> matrix, long row_size,
                            long aggressors) {
    if (initialised_) throw ModelError("AMI_Init called twice on one instance");
    if (failed_) throw ModelError(ModelName(role_) + " has already failed");
    CheckImpulseMatrix(matrix, row_size, aggressors);
    const std::size_t count = matrix.size();
    MapIfGrown(0, matrix_arena_.Reserve(0, count * sizeof(double)));
    std::copy(matrix.begin(), matrix.end(), matrix_arena_.Place(0, count));
    matrix_arena_.SetCanary(0, count);

    Frame request;
    request.kind = FrameKind::kInit;
    request.values[0] = row_size;
    request.values[1] = aggressors;
    request.reals = {sample_interval(), bit_time()};
    request.texts = {parameters};
    // The handle is closed even after a failed AMI_Init, as the standard asks.
    initialised_ = true;
    const Frame reply = Call(request, "AMI_Init");
    if (!matrix_arena_.CanaryIntact(0, count))
        Fail(ModelName(role_) + " wrote past the end of the impulse matrix in AMI_Init");
    const double* returned = matrix_arena_.Place(0, count);
    impulse_.assign(returned, returned + count);
    message_ = reply.texts.size() > 0 ? reply.texts[0] : "";
    KeepParametersOut(reply.texts.size() > 1 ? reply.texts[1] : "");
    const std::size_t bad = FirstNonFinite(impulse_.data(), impulse_.size());
    if (bad < impulse_.size())
        Fail(ModelName(role_) + " returned " + NonFiniteName(impulse_[bad]) + " in its impulse matrix from AMI_Init" +
             " at sample " + Grouped(bad));
    return reply.values[0] != 0;
}

bool IsolatedInstance::GetWave(double* wave, long size) {
    StartGetWave(wave, size);
    return FinishGetWave();
}

void IsolatedInstance::StartGetWave(double* wave, long size) {
    if (!initialised_ || closed_) throw ModelError("AMI_GetWave called outside an open instance");
    if (failed_) throw ModelError(ModelName(role_) + " has already failed");
    if (pending_) throw ModelError("AMI_GetWave started while another call is under way");
    const std::size_t count = static_cast<std::size_t>(std::max(size, 0L));
    const std::size_t clock_count = count + 3;
    ReserveWave(count);
    // A block handed over in slot 1's buffer is filtered there; any other
    // goes through slot 0.
    const int slot = wave_arena_.Holds(WaveRegion(1), wave) ? 1 : 0;
    double* shared_wave = wave_arena_.Place(WaveRegion(slot), count);
    double* shared_clock = wave_arena_.Place(ClockRegion(slot), clock_count);
    // The caller's block may lie in the arena already, even overlapping
    // where this size places it (a short last block).
    if (shared_wave != wave) std::memmove(shared_wave, wave, count * sizeof(double));
    std::fill_n(shared_clock, clock_count, -1.0);
    wave_arena_.SetCanary(WaveRegion(slot), count);
    wave_arena_.SetCanary(ClockRegion(slot), clock_count);

    Frame request;
    request.kind = FrameKind::kGetWave;
    request.values[0] = size;
    request.values[1] = slot;
    pending_ = PendingWave{wave, size, slot, Clock::now()};
    Post(request);
}

bool IsolatedInstance::FinishGetWave() {
    if (!pending_) throw ModelError("AMI_GetWave finished without being started");
    const PendingWave call = *pending_;
    pending_.reset();
    const Frame reply = Await("AMI_GetWave", call.sent);
    if (reply.values[3] != 0) throw ModelError(library_.string() + ": the model library exports no AMI_GetWave");
    const std::size_t count = static_cast<std::size_t>(std::max(call.size, 0L));
    const std::size_t clock_count = count + 3;
    const std::string after = AfterBits(samples_done_, SamplesPerBit());
    if (!wave_arena_.CanaryIntact(WaveRegion(call.slot), count))
        Fail(ModelName(role_) + " wrote past the end of the wave in AMI_GetWave" + after);
    if (!wave_arena_.CanaryIntact(ClockRegion(call.slot), clock_count))
        Fail(ModelName(role_) + " wrote past the end of the clock times in AMI_GetWave" + after);
    const double* shared_wave = wave_arena_.Place(WaveRegion(call.slot), count);
    const double* shared_clock = wave_arena_.Place(ClockRegion(call.slot), clock_count);
    if (shared_wave != call.wave) std::memmove(call.wave, shared_wave, count * sizeof(double));
    // Only the ticks up to the terminator mean anything; most models write
    // none, and copying the rest would cost as much as the block.
    clock_times_.assign(shared_clock, std::find_if(shared_clock, shared_clock + clock_count,
                                                   [](double t) { return t < 0.0; }));
    clock_times_.push_back(-1.0);
    wave_parameters_out_ = reply.texts.size() > 1 ? reply.texts[1] : "";
    KeepParametersOut(wave_parameters_out_);
    wave_call_seconds_ = reply.reals[0];
    const std::size_t bad = FirstNonFinite(call.wave, count);
    if (bad < count)
        Fail(ModelName(role_) + " returned " + NonFiniteName(call.wave[bad]) + " from AMI_GetWave at " +
             AtSample(samples_done_ + bad, SamplesPerBit()));
    samples_done_ += count;
    return reply.values[0] != 0;
}

void IsolatedInstance::ReserveWave(std::size_t count) {
    // Every slot at once, so that a buffer handed out for one slot stays
    // where it is when the other is asked for.
    bool grown = false;
    for (int slot = 0; slot < kWaveSlots; ++slot) {
        grown = wave_arena_.Reserve(WaveRegion(slot), count * sizeof(double)) || grown;
        grown = wave_arena_.Reserve(ClockRegion(slot), (count + 3) * sizeof(double)) || grown;
    }
    MapIfGrown(1, grown);
}

double* IsolatedInstance::WaveBuffer(std::size_t size, int slot) {
    ReserveWave(size);
    return wave_arena_.Place(WaveRegion(slot == 1 ? 1 : 0), size);
}

bool IsolatedInstance::Close() {
    if (!initialised_ || closed_ || failed_) return close_result_;
    // A block still under way is waited for (and its faults named) first:
    // its answer comes before Close's.
    if (pending_) FinishGetWave();
    closed_ = true;
    Frame request;
    request.kind = FrameKind::kClose;
    const Frame reply = Call(request, "AMI_Close");
    close_result_ = reply.values[0] != 0;
    return close_result_;
}

std::vector<double> IsolatedInstance::ClockTimes() const {
    std::vector<double> times;
    for (double t : clock_times_) {
        if (t < 0.0) break;
        times.push_back(t);
    }
    return times;
}

}  // namespace amisim::isolation
