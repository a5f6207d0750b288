#pragma once
// A progress line for long runs: bits done, the rate and the time left, on
// standard error, rewritten in place. It shows only on a terminal and only
// once a run has lasted about a second, so a pipe or a CI log never sees
// it, and a quick run never flickers.

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>

namespace amisim {

class ProgressLine {
public:
    // `enabled` false (standard error is not a terminal) makes every call
    // do nothing.
    ProgressLine(std::size_t total_bits, int samples_per_bit, bool enabled, std::FILE* out = stderr);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Samples done so far, from the record's first.
    void Update(std::size_t samples_done);
    // Clears the line, if one was shown.
    void Finish();

    static bool StandardErrorIsTerminal();
    // The text shown, for the tests.
    static std::string Text(std::size_t bits_done, std::size_t total_bits, double seconds);

private:
    using Clock = std::chrono::steady_clock;
    std::size_t total_bits_;
    std::size_t per_bit_;
    bool enabled_;
    std::FILE* out_;
    Clock::time_point start_;
    Clock::time_point last_shown_;
    bool shown_ = false;
};

}  // namespace amisim
