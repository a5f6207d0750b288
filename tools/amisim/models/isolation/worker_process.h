#pragma once
// The process a model instance lives in, seen from amisim: started with
// its channel, arenas and output pipe, talked to in frames, waited for
// with a deadline, and never left behind: it is killed when this object
// goes, when amisim is interrupted (SIGINT, SIGTERM), and by the kernel
// when amisim dies some other way.

#include <sys/types.h>

#include <filesystem>
#include <string>

#include "tools/amisim/models/isolation/control_frame.h"
#include "tools/amisim/models/isolation/model_output.h"

namespace amisim::isolation {

class WorkerProcess {
public:
    // Starts `worker` hosting `library`, under an address-space limit of
    // `memory_bytes` (0: none). Throws a model-failure AmisimError when it
    // cannot start.
    WorkerProcess(const std::filesystem::path& worker, const std::filesystem::path& library, std::size_t memory_bytes,
                  int matrix_arena_fd, int wave_arena_fd);
    ~WorkerProcess();
    WorkerProcess(const WorkerProcess&) = delete;
    WorkerProcess& operator=(const WorkerProcess&) = delete;

    // False when the worker is gone (the caller then asks Outcome()).
    bool Send(const Frame& frame);

    enum class Wait { kFrame, kEnded, kTimedOut };
    // The next frame, reading the model's output meanwhile. kEnded: the
    // worker closed its channel and has been reaped (status()). kTimedOut:
    // nothing came within `seconds`; the worker has been killed and reaped.
    Wait Receive(Frame& frame, double seconds);

    // Ends the worker: closes the channel and waits a moment for it to
    // leave, then kills it. Safe to call more than once.
    void Stop();

    int status() const noexcept { return status_; }
    const ModelOutput& output() const noexcept { return output_; }

private:
    void ReadOutput();
    void Reap(double seconds);

    pid_t pid_ = -1;
    int control_ = -1;
    int output_fd_ = -1;
    int status_ = 0;
    FrameReader reader_;
    ModelOutput output_;
};

// Where the worker program is: `chosen` when given, else beside this
// executable or in the install's libexec folder. Throws when not found.
std::filesystem::path FindWorkerProgram(const std::filesystem::path& chosen);

}  // namespace amisim::isolation
