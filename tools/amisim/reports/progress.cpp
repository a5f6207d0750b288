#include "tools/amisim/reports/progress.h"

#include <unistd.h>

#include <string>

namespace amisim {

namespace {

// After this long a run earns a progress line, refreshed this often.
constexpr std::chrono::milliseconds kQuiet{1000};
constexpr std::chrono::milliseconds kRefresh{250};

std::string Duration(double seconds) {
    char text[32];
    if (seconds < 60.0) std::snprintf(text, sizeof text, "%.0f s", seconds);
    else if (seconds < 3600.0) std::snprintf(text, sizeof text, "%d min %02d s", static_cast<int>(seconds) / 60, static_cast<int>(seconds) % 60);
    else std::snprintf(text, sizeof text, "%d h %02d min", static_cast<int>(seconds) / 3600, static_cast<int>(seconds) / 60 % 60);
    return text;
}

}  // namespace

ProgressLine::ProgressLine(std::size_t total_bits, int samples_per_bit, bool enabled, std::FILE* out)
    : total_bits_(total_bits), per_bit_(static_cast<std::size_t>(samples_per_bit > 0 ? samples_per_bit : 1)),
      enabled_(enabled), out_(out), start_(Clock::now()), last_shown_(start_) {}

ProgressLine::~ProgressLine() { Finish(); }

bool ProgressLine::StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

std::string ProgressLine::Text(std::size_t bits_done, std::size_t total_bits, double seconds) {
    const double rate = seconds > 0.0 ? static_cast<double>(bits_done) / seconds : 0.0;
    const double left = rate > 0.0 ? static_cast<double>(total_bits - std::min(bits_done, total_bits)) / rate : 0.0;
    char text[160];
    std::snprintf(text, sizeof text, "amisim: %zu of %zu bits (%.0f%%), %.3g bits/s, %s left", bits_done, total_bits,
                  total_bits > 0 ? 100.0 * static_cast<double>(bits_done) / static_cast<double>(total_bits) : 100.0,
                  rate, Duration(left).c_str());
    return text;
}

void ProgressLine::Update(std::size_t samples_done) {
    if (!enabled_) return;
    const Clock::time_point now = Clock::now();
    if (now - start_ < kQuiet || (shown_ && now - last_shown_ < kRefresh)) return;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    // Erase to the end of the line: the new text may be shorter.
    std::fprintf(out_, "\r%s\033[K", Text(samples_done / per_bit_, total_bits_, seconds).c_str());
    std::fflush(out_);
    shown_ = true;
    last_shown_ = now;
}

void ProgressLine::Finish() {
    if (!shown_) return;
    std::fprintf(out_, "\r\033[K");
    std::fflush(out_);
    shown_ = false;
}

}  // namespace amisim
