#include "tools/amisim/models/isolation/fault_text.h"

#include <sys/wait.h>

#include <csignal>
#include <cmath>

namespace amisim::isolation {

std::string Grouped(std::size_t value) {
    std::string digits = std::to_string(value);
    for (std::ptrdiff_t at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return digits;
}

std::string ModelName(const std::string& role) { return role.empty() ? "the model" : "the " + role + " model"; }

namespace {

std::string SignalName(int number) {
    switch (number) {
        case SIGSEGV: return "segmentation fault";
        case SIGBUS: return "bus error";
        case SIGABRT: return "aborted";
        case SIGFPE: return "arithmetic exception";
        case SIGILL: return "illegal instruction";
        case SIGKILL: return "killed";
        case SIGTERM: return "terminated";
        case SIGTRAP: return "trap";
        case SIGSYS: return "bad system call";
        case SIGXCPU: return "CPU time limit exceeded";
        case SIGPIPE: return "broken pipe";
        default: return "signal " + std::to_string(number);
    }
}

}  // namespace

std::string HowItEnded(int wait_status) {
    if (WIFSIGNALED(wait_status)) return SignalName(WTERMSIG(wait_status));
    if (WIFEXITED(wait_status)) return "exit status " + std::to_string(WEXITSTATUS(wait_status));
    return "wait status " + std::to_string(wait_status);
}

std::string AfterBits(std::size_t samples, double samples_per_bit) {
    if (samples == 0 || !(samples_per_bit > 0.0)) return "";
    const std::size_t bits = static_cast<std::size_t>(std::floor(static_cast<double>(samples) / samples_per_bit));
    return " after " + Grouped(bits) + (bits == 1 ? " bit" : " bits");
}

std::string AtSample(std::size_t sample, double samples_per_bit) {
    const double bit = samples_per_bit > 0.0 ? std::floor(static_cast<double>(sample) / samples_per_bit) : 0.0;
    return "sample " + Grouped(sample) + " (bit " + Grouped(static_cast<std::size_t>(bit)) + ")";
}

}  // namespace amisim::isolation
