// amisim-model-worker: hosts one model instance for amisim in a process of
// its own, so that whatever the model does (crash, hang, exit, scribble)
// ends here and amisim can say what happened. amisim starts it with
//
//   amisim-model-worker LIBRARY PARENT_PID MEMORY_BYTES
//
// and hands it the control channel as fd 3 and the two shared-memory
// arenas (impulse matrix; wave and clock times) as fds 4 and 5; the
// model's standard output and error go to a pipe amisim reads.

#include <sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/models/ami_library.h"
#include "tools/amisim/models/isolation/control_frame.h"
#include "tools/amisim/models/isolation/guarded_arena.h"
#include "tools/amisim/models/isolation/worker_fds.h"

using namespace amisim;
using namespace amisim::isolation;

namespace {

GuardedArena* g_matrix = nullptr;
GuardedArena* g_waves = nullptr;

// A model that touches a guard page is told apart from any other crash:
// the handler says which buffer it overran, then lets the fault kill the
// process as it would have.
void OnFault(int signal_number, siginfo_t* info, void*) {
    Frame frame;
    frame.kind = FrameKind::kOutOfBounds;
    frame.values[1] = signal_number;
    bool known = false;
    if (g_matrix != nullptr) {
        const int guard = g_matrix->GuardOf(info->si_addr);
        if (guard != -2) {
            frame.values[0] = static_cast<std::int64_t>(OverrunBuffer::kImpulseMatrix);
            frame.values[2] = guard == -1 ? 1 : 0;
            known = true;
        }
    }
    if (!known && g_waves != nullptr) {
        const int guard = g_waves->GuardOf(info->si_addr);
        if (guard != -2) {
            // Each slot is a wave region and then its clock-times region.
            frame.values[0] =
                static_cast<std::int64_t>(guard >= 0 && guard % 2 == 1 ? OverrunBuffer::kClockTimes : OverrunBuffer::kWave);
            frame.values[2] = guard == -1 ? 1 : 0;
            known = true;
        }
    }
    if (known) {
        char bytes[128];
        const std::size_t size = EncodeWithoutTexts(frame, bytes, sizeof bytes);
        if (size > 0) {
            const ssize_t written = ::write(kControlFd, bytes, size);
            (void)written;
        }
    }
    ::signal(signal_number, SIG_DFL);
}

void InstallFaultHandler() {
    static std::vector<char> stack(std::max<std::size_t>(SIGSTKSZ, 65536));
    stack_t alternate{};
    alternate.ss_sp = stack.data();
    alternate.ss_size = stack.size();
    ::sigaltstack(&alternate, nullptr);
    struct sigaction action {};
    action.sa_sigaction = OnFault;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGSEGV, &action, nullptr);
    ::sigaction(SIGBUS, &action, nullptr);
}

void LimitMemory(unsigned long long bytes) {
    // The sanitizers reserve terabytes of address space up front; a limit
    // on it would stop them, so those builds go without.
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    if (bytes == 0) return;
    const rlimit limit{bytes, bytes};
    ::setrlimit(RLIMIT_AS, &limit);
#else
    (void)bytes;
#endif
}

void Send(const Frame& frame) {
    const std::vector<char> bytes = Encode(frame);
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::write(kControlFd, bytes.data() + sent, bytes.size() - sent);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) _exit(kWorkerLostChannel);
        sent += static_cast<std::size_t>(n);
    }
}

// Stays awake a while for the next request (see kStayAwake), then sleeps
// until it comes.
ssize_t ReadChannel(char* buffer, std::size_t size) {
    const auto awake_until = std::chrono::steady_clock::now() + kStayAwake;
    while (std::chrono::steady_clock::now() < awake_until) {
        const ssize_t n = ::recv(kControlFd, buffer, size, MSG_DONTWAIT);
        if (n >= 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) return n;
        ::sched_yield();
    }
    return ::read(kControlFd, buffer, size);
}

bool Receive(FrameReader& reader, Frame& frame) {
    char buffer[65536];
    while (!reader.Next(frame)) {
        const ssize_t n = ReadChannel(buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        reader.Append(buffer, static_cast<std::size_t>(n));
    }
    return true;
}

// What the model printed reaches amisim before the call's answer does.
void FlushModelOutput() {
    std::fflush(stdout);
    std::fflush(stderr);
}

Frame Returned(long result) {
    Frame frame;
    frame.kind = FrameKind::kReturned;
    frame.values[0] = result;
    return frame;
}

int Serve(const AmiLibrary& library, GuardedArena& matrix, GuardedArena& waves) {
    FrameReader reader;
    Frame request;
    // The model may keep pointers into its parameter string until
    // AMI_Close, as the standard allows.
    std::vector<char> parameters_in;
    void* memory = nullptr;
    while (Receive(reader, request)) {
        switch (request.kind) {
            case FrameKind::kMapArena: {
                std::vector<std::size_t> sizes;
                for (std::size_t i = 1; i < request.values.size() && request.values[i] > 0; ++i)
                    sizes.push_back(static_cast<std::size_t>(request.values[i]));
                (request.values[0] == 0 ? matrix : waves).MapWithGuards(ArenaLayout(sizes));
                break;
            }
            case FrameKind::kInit: {
                const long row_size = static_cast<long>(request.values[0]);
                const long aggressors = static_cast<long>(request.values[1]);
                const std::string& text = request.texts.at(0);
                parameters_in.assign(text.begin(), text.end());
                parameters_in.push_back('\0');
                char* parameters_out = nullptr;
                char* msg = nullptr;
                double* impulse = matrix.Place(0, static_cast<std::size_t>(row_size * (aggressors + 1)));
                const long result = library.init()(impulse, row_size, aggressors, request.reals[0], request.reals[1],
                                                   parameters_in.data(), &parameters_out, &memory, &msg);
                FlushModelOutput();
                Frame reply = Returned(result);
                reply.texts = {msg != nullptr ? msg : "", parameters_out != nullptr ? parameters_out : ""};
                Send(reply);
                break;
            }
            case FrameKind::kGetWave: {
                if (library.get_wave() == nullptr) {
                    // An Init-only model: amisim says so as it does in process.
                    Frame missing = Returned(0);
                    missing.values[3] = 1;
                    Send(missing);
                    break;
                }
                const long size = static_cast<long>(request.values[0]);
                const int slot = request.values[1] == 1 ? 1 : 0;
                double* wave = waves.Place(WaveRegion(slot), static_cast<std::size_t>(size));
                double* clock_times = waves.Place(ClockRegion(slot), static_cast<std::size_t>(size) + 3);
                char* parameters_out = nullptr;
                const auto before = std::chrono::steady_clock::now();
                const long result = library.get_wave()(wave, size, clock_times, &parameters_out, memory);
                const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count();
                FlushModelOutput();
                Frame reply = Returned(result);
                reply.reals[0] = seconds;
                reply.texts = {"", parameters_out != nullptr ? parameters_out : ""};
                Send(reply);
                break;
            }
            case FrameKind::kClose: {
                const long result = library.close()(memory);
                memory = nullptr;
                FlushModelOutput();
                Send(Returned(result));
                break;
            }
            default:
                return kWorkerLostChannel;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "amisim-model-worker: started by amisim to host a model; not for use on its own\n");
        return 2;
    }
    // The worker never outlives amisim, however amisim ends.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != static_cast<pid_t>(std::strtol(argv[2], nullptr, 10))) return kWorkerLostChannel;
    ::signal(SIGPIPE, SIG_IGN);
    LimitMemory(std::strtoull(argv[3], nullptr, 10));

    GuardedArena matrix(kMatrixArenaFd, 1);
    GuardedArena waves(kWaveArenaFd, kWaveArenaRegions);
    g_matrix = &matrix;
    g_waves = &waves;
    InstallFaultHandler();

    int status = 0;
    try {
        const AmiLibrary library(argv[1]);
        Frame ready;
        ready.kind = FrameKind::kReady;
        ready.values[0] = library.has_get_wave() ? 1 : 0;
        Send(ready);
        status = Serve(library, matrix, waves);
        FlushModelOutput();
        // Straight out: the model's static destructors are not amisim's to run.
        _exit(status);
    } catch (const AmisimError& e) {
        Frame failed;
        failed.kind = FrameKind::kLoadFailed;
        failed.values[0] = static_cast<std::int64_t>(e.status());
        failed.texts = {e.what()};
        Send(failed);
    } catch (const std::exception& e) {
        Frame failed;
        failed.kind = FrameKind::kLoadFailed;
        failed.values[0] = static_cast<std::int64_t>(ExitStatus::kModelFailure);
        failed.texts = {e.what()};
        Send(failed);
    }
    FlushModelOutput();
    _exit(status);
}
