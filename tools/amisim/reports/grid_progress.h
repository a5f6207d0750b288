#pragma once
// The progress of a sweep or search on a terminal: one line on stderr,
// redrawn in place, with the points done of all, the best so far and the
// time left. Nothing is drawn when stderr is a file or a pipe, so logs and
// scripts see only the results.

#include <chrono>
#include <cstddef>
#include <string>

namespace amisim {

// "  12/350 points  best 0.2248 V (Tx emphasis=6)  0:27 left"; with a
// total of 0 (not known), "  12 candidates  best ...".
std::string FormatProgress(std::size_t done, std::size_t total, const std::string& unit, const std::string& best,
                           double elapsed_seconds);

class GridProgressLine {
public:
    GridProgressLine(std::size_t total, std::string unit);
    ~GridProgressLine();
    GridProgressLine(const GridProgressLine&) = delete;
    GridProgressLine& operator=(const GridProgressLine&) = delete;

    bool shown() const noexcept { return terminal_; }
    // Redraws at most ten times a second, and always for the last point.
    void Update(std::size_t done, const std::string& best);
    // Wipes the line, so that other output starts on a clean line; the
    // next Update draws it again.
    void Clear();

private:
    using Clock = std::chrono::steady_clock;
    bool terminal_;
    std::size_t total_;
    std::string unit_;
    Clock::time_point start_, last_draw_;
    bool drawn_ = false;
};

}  // namespace amisim
