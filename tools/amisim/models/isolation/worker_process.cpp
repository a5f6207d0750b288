#include "tools/amisim/models/isolation/worker_process.h"

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/models/isolation/worker_fds.h"

extern char** environ;

namespace fs = std::filesystem;

namespace amisim::isolation {

namespace {

// Every live worker, for the signal handler: plain atomics, since a
// handler may touch nothing else.
std::array<std::atomic<pid_t>, 256> g_workers{};
struct sigaction g_previous_int {}, g_previous_term {};

void KillWorkersAndPassOn(int signal_number) {
    for (std::atomic<pid_t>& slot : g_workers) {
        const pid_t pid = slot.load();
        if (pid > 0) ::kill(pid, SIGKILL);
    }
    const struct sigaction& previous = signal_number == SIGINT ? g_previous_int : g_previous_term;
    if ((previous.sa_flags & SA_SIGINFO) == 0 && previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN) {
        previous.sa_handler(signal_number);
        return;
    }
    if (previous.sa_handler == SIG_IGN) return;
    ::signal(signal_number, SIG_DFL);
    ::raise(signal_number);
}

void InstallInterruptCleanup() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action {};
        action.sa_handler = KillWorkersAndPassOn;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGINT, &action, &g_previous_int);
        ::sigaction(SIGTERM, &action, &g_previous_term);
    });
}

void Register(pid_t pid) {
    for (std::atomic<pid_t>& slot : g_workers) {
        pid_t empty = 0;
        if (slot.compare_exchange_strong(empty, pid)) return;
    }
    // More live workers than slots: PR_SET_PDEATHSIG still ends them with amisim.
}

void Unregister(pid_t pid) {
    for (std::atomic<pid_t>& slot : g_workers) {
        pid_t expected = pid;
        if (slot.compare_exchange_strong(expected, 0)) return;
    }
}

// A copy of `fd` above the ones the child is handed, so no dup2 in the
// child overwrites a source before it is used.
int HighCopy(int fd) {
    const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 10);
    if (copy < 0) throw ModelError(std::string("cannot start a model worker: ") + std::strerror(errno));
    return copy;
}

// The sanitizers of an instrumented build stay out of the way of a model
// that crashes on purpose: its own signal is what names the fault, and
// the model's leaks are not amisim's.
std::vector<std::string> WorkerEnvironment() {
    std::vector<std::string> env;
    std::string asan = "ASAN_OPTIONS=";
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        if (text.rfind("ASAN_OPTIONS=", 0) == 0)
            asan = text + ":";
        else
            env.push_back(text);
    }
    env.push_back(asan + "handle_segv=0:handle_sigbus=0:handle_abort=0:abort_on_error=1:detect_leaks=0");
    return env;
}

using Clock = std::chrono::steady_clock;

}  // namespace

fs::path FindWorkerProgram(const fs::path& chosen) {
    if (!chosen.empty()) {
        if (::access(chosen.c_str(), X_OK) != 0) throw ModelError(chosen.string() + ": cannot run the model worker");
        return chosen;
    }
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        const fs::path folder = self.parent_path();
        for (const fs::path& candidate :
             {folder / kWorkerName, (folder / AMISIM_LIBEXEC_FROM_BIN / kWorkerName).lexically_normal(),
              fs::path(AMISIM_BUILD_WORKER)})
            if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    throw ModelError(std::string("cannot find ") + kWorkerName + " beside " + (error ? "amisim" : self.string()) +
                     "; it runs the models out of process (--in-process runs them in amisim itself)");
}

WorkerProcess::WorkerProcess(const fs::path& worker, const fs::path& library, std::size_t memory_bytes,
                             int matrix_arena_fd, int wave_arena_fd) {
    InstallInterruptCleanup();
    int sockets[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0)
        throw ModelError(std::string("cannot start a model worker: ") + std::strerror(errno));
    control_ = sockets[0];
    int pipe_fds[2];
    if (::pipe2(pipe_fds, O_CLOEXEC) != 0) {
        ::close(sockets[1]);
        throw ModelError(std::string("cannot start a model worker: ") + std::strerror(errno));
    }
    output_fd_ = pipe_fds[0];
    const std::array<int, 4> high{HighCopy(sockets[1]), HighCopy(matrix_arena_fd), HighCopy(wave_arena_fd),
                                  HighCopy(pipe_fds[1])};
    ::close(sockets[1]);
    ::close(pipe_fds[1]);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, high[3], 1);
    posix_spawn_file_actions_adddup2(&actions, high[3], 2);
    posix_spawn_file_actions_adddup2(&actions, high[0], kControlFd);
    posix_spawn_file_actions_adddup2(&actions, high[1], kMatrixArenaFd);
    posix_spawn_file_actions_adddup2(&actions, high[2], kWaveArenaFd);
    // Nothing else of amisim's reaches the model.
    posix_spawn_file_actions_addclosefrom_np(&actions, kWaveArenaFd + 1);

    // The worker shares amisim's working folder, so the library is named as
    // the user named it (and so are the messages about it).
    const std::vector<std::string> arguments{worker.string(), library.string(),
                                             std::to_string(::getpid()), std::to_string(memory_bytes)};
    std::vector<char*> argv;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const std::vector<std::string> environment = WorkerEnvironment();
    std::vector<char*> envp;
    for (const std::string& e : environment) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);

    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, worker.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    for (int fd : high) ::close(fd);
    if (spawned != 0) {
        ::close(control_);
        ::close(output_fd_);
        throw ModelError("cannot start the model worker " + worker.string() + ": " + std::strerror(spawned));
    }
    pid_ = pid;
    Register(pid_);
    ::fcntl(output_fd_, F_SETFL, ::fcntl(output_fd_, F_GETFL) | O_NONBLOCK);
}

WorkerProcess::~WorkerProcess() {
    Stop();
    if (output_fd_ >= 0) ::close(output_fd_);
}

bool WorkerProcess::Send(const Frame& frame) {
    if (control_ < 0) return false;
    const std::vector<char> bytes = Encode(frame);
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(control_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

void WorkerProcess::ReadOutput() {
    if (output_fd_ < 0) return;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(output_fd_, buffer, sizeof buffer);
        if (n > 0) {
            output_.Add(buffer, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) {
            ::close(output_fd_);
            output_fd_ = -1;
        }
        return;
    }
}

WorkerProcess::Wait WorkerProcess::Receive(Frame& frame, double seconds) {
    const Clock::time_point start = Clock::now();
    const Clock::time_point deadline =
        start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    const Clock::time_point awake_until = std::min(deadline, start + kStayAwake);
    for (;;) {
        if (reader_.Next(frame)) return Wait::kFrame;
        if (control_ < 0) {
            Reap(2.0);
            return Wait::kEnded;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        // Past the deadline the channel still gets one last look: the answer
        // may have come while the caller was busy elsewhere.
        const bool overdue = left <= 0;
        const bool awake = Clock::now() < awake_until;
        pollfd fds[2] = {{control_, POLLIN, 0}, {output_fd_, POLLIN, 0}};
        const int ready = ::poll(fds, output_fd_ >= 0 ? 2 : 1,
                                 overdue || awake ? 0 : static_cast<int>(std::min<long long>(left, 1 << 30)));
        if (ready < 0 && errno != EINTR) throw ModelError(std::string("waiting for a model: ") + std::strerror(errno));
        if (ready > 0 && output_fd_ >= 0 && fds[1].revents != 0) ReadOutput();
        const bool answered = ready > 0 && fds[0].revents != 0;
        if (overdue && !answered) {
            ::kill(pid_, SIGKILL);
            Reap(-1.0);
            return Wait::kTimedOut;
        }
        if (!answered) {
            if (ready == 0 && awake) ::sched_yield();
            continue;
        }
        char buffer[65536];
        const ssize_t n = ::read(control_, buffer, sizeof buffer);
        if (n > 0) {
            reader_.Append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            // The worker is gone; what it left in the channel still counts.
            ::close(control_);
            control_ = -1;
        }
    }
}

void WorkerProcess::Reap(double seconds) {
    if (pid_ <= 0) return;
    const Clock::time_point deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(std::max(seconds, 0.0)));
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid_, &status, seconds < 0 ? 0 : WNOHANG);
        if (done == pid_ || (done < 0 && errno != EINTR)) break;
        if (done == 0) {
            ReadOutput();
            if (Clock::now() >= deadline) {
                ::kill(pid_, SIGKILL);
                seconds = -1.0;
                continue;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    ReadOutput();
    status_ = status;
    Unregister(pid_);
    pid_ = -1;
}

void WorkerProcess::Stop() {
    if (control_ >= 0) {
        ::close(control_);
        control_ = -1;
    }
    Reap(2.0);
}

}  // namespace amisim::isolation
