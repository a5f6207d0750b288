#pragma once
// The small messages between amisim and a model's worker process. The bulk
// data (impulse matrix, wave, clock times) lies in shared memory; a frame
// carries what a call needs besides: its kind, a few numbers and the
// parameter and message texts. On the wire a frame is its byte count, a
// fixed head, then each text as its byte count and bytes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace amisim::isolation {

enum class FrameKind : std::uint32_t {
    kReady = 1,      // worker: the library is loaded; values[0] 1 when it exports AMI_GetWave
    kLoadFailed,     // worker: it is not (values[0] the exit status, texts[0] says why)
    kMapArena,       // amisim: an arena has grown (values: arena, region sizes)
    kInit,           // amisim: values row_size, aggressors; reals dt, bit time; texts[0] parameters
    kGetWave,        // amisim: values[0] the wave's size, values[1] the wave slot it lies in
    kClose,          // amisim
    kReturned,       // worker: values[0] the entry point's result, values[3] 1 when the
                     // library lacks it; reals[0] the seconds it took; texts: message,
                     // parameters out
    kOutOfBounds,    // worker, from its fault handler: values[0] which buffer, values[1] the signal
};

// Enough numbers for an arena's index and the sizes of its regions.
inline constexpr std::size_t kFrameValues = 6;

struct Frame {
    FrameKind kind = FrameKind::kReady;
    std::array<std::int64_t, kFrameValues> values{};
    std::array<double, 2> reals{};
    std::vector<std::string> texts;
};

// The wire bytes of a frame, its byte count first.
std::vector<char> Encode(const Frame& frame);

// The same into `out` without allocating, for a frame without texts: a
// fault handler sends one. Returns the bytes written, 0 when they do not fit.
std::size_t EncodeWithoutTexts(const Frame& frame, char* out, std::size_t capacity) noexcept;

// Reads frames from bytes as they arrive.
class FrameReader {
public:
    void Append(const char* data, std::size_t size) { pending_.insert(pending_.end(), data, data + size); }
    // Takes the first whole frame, if one has arrived. Throws on bytes that
    // are not a frame.
    bool Next(Frame& frame);

private:
    std::vector<char> pending_;
};

// The most a frame may hold: a model's message or parameter text beyond
// this is cut short rather than break the channel.
inline constexpr std::size_t kMaxText = std::size_t{1} << 22;

}  // namespace amisim::isolation
