#include "tools/amisim/reports/grid_progress.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>

namespace amisim {

std::string FormatProgress(std::size_t done, std::size_t total, const std::string& unit, const std::string& best,
                           double elapsed_seconds) {
    // A search does not know its total: it shows what it has done.
    std::string line = "  " + std::to_string(done) + (total > 0 ? "/" + std::to_string(total) : "") + " " + unit;
    if (!best.empty()) line += "  best " + best;
    if (total > 0 && done > 0 && done < total) {
        const double left = elapsed_seconds / static_cast<double>(done) * static_cast<double>(total - done);
        const long seconds = std::lround(left);
        char text[48];
        if (seconds >= 3600)
            std::snprintf(text, sizeof text, "  %ld:%02ld:%02ld left", seconds / 3600, seconds / 60 % 60, seconds % 60);
        else
            std::snprintf(text, sizeof text, "  %ld:%02ld left", seconds / 60, seconds % 60);
        line += text;
    }
    return line;
}

GridProgressLine::GridProgressLine(std::size_t total, std::string unit)
    : terminal_(::isatty(STDERR_FILENO) == 1), total_(total), unit_(std::move(unit)), start_(Clock::now()) {}

GridProgressLine::~GridProgressLine() { Clear(); }

void GridProgressLine::Update(std::size_t done, const std::string& best) {
    if (!terminal_) return;
    const Clock::time_point now = Clock::now();
    if (drawn_ && done < total_ && now - last_draw_ < std::chrono::milliseconds(100)) return;
    last_draw_ = now;
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    // The line ends in "erase to the end", so a shorter one leaves no tail.
    std::fflush(stdout);
    std::fprintf(stderr, "\r%s\033[K", FormatProgress(done, total_, unit_, best, elapsed).c_str());
    std::fflush(stderr);
    drawn_ = true;
}

void GridProgressLine::Clear() {
    if (!terminal_ || !drawn_) return;
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
    drawn_ = false;
}

}  // namespace amisim
