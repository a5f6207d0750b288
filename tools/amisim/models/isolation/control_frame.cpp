#include "tools/amisim/models/isolation/control_frame.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace amisim::isolation {

namespace {

struct Head {
    std::uint32_t kind;
    std::uint32_t texts;
    std::int64_t values[kFrameValues];
    double reals[2];
};

// Appends raw bytes by growing the vector and copying into the new room:
// g++ 12 at -O3 mistakes vector::insert of a small object for an overflow.
void PutBytes(std::vector<char>& out, const void* bytes, std::size_t size) {
    const std::size_t at = out.size();
    out.resize(at + size);
    if (size != 0) std::memcpy(out.data() + at, bytes, size);
}

template <typename T>
void Put(std::vector<char>& out, const T& value) {
    PutBytes(out, &value, sizeof value);
}

template <typename T>
T Take(const char*& cursor, const char* end) {
    if (static_cast<std::size_t>(end - cursor) < sizeof(T)) throw std::runtime_error("a control frame is cut short");
    T value;
    std::memcpy(&value, cursor, sizeof value);
    cursor += sizeof value;
    return value;
}

}  // namespace

std::vector<char> Encode(const Frame& frame) {
    std::vector<char> out;
    Put(out, std::uint64_t{0});  // the count, filled in below
    Head head{};
    head.kind = static_cast<std::uint32_t>(frame.kind);
    head.texts = static_cast<std::uint32_t>(frame.texts.size());
    for (std::size_t i = 0; i < kFrameValues; ++i) head.values[i] = frame.values[i];
    for (std::size_t i = 0; i < 2; ++i) head.reals[i] = frame.reals[i];
    Put(out, head);
    for (const std::string& text : frame.texts) {
        const std::size_t size = std::min(text.size(), kMaxText);
        Put(out, static_cast<std::uint64_t>(size));
        PutBytes(out, text.data(), size);
    }
    const std::uint64_t count = out.size() - sizeof(std::uint64_t);
    std::memcpy(out.data(), &count, sizeof count);
    return out;
}

std::size_t EncodeWithoutTexts(const Frame& frame, char* out, std::size_t capacity) noexcept {
    Head head{};
    head.kind = static_cast<std::uint32_t>(frame.kind);
    for (std::size_t i = 0; i < kFrameValues; ++i) head.values[i] = frame.values[i];
    for (std::size_t i = 0; i < 2; ++i) head.reals[i] = frame.reals[i];
    const std::uint64_t count = sizeof head;
    if (capacity < sizeof count + sizeof head) return 0;
    std::memcpy(out, &count, sizeof count);
    std::memcpy(out + sizeof count, &head, sizeof head);
    return sizeof count + sizeof head;
}

bool FrameReader::Next(Frame& frame) {
    if (pending_.size() < sizeof(std::uint64_t)) return false;
    std::uint64_t count = 0;
    std::memcpy(&count, pending_.data(), sizeof count);
    if (count < sizeof(Head) || count > 64 * kMaxText) throw std::runtime_error("a control frame of bad size");
    if (pending_.size() - sizeof count < count) return false;
    const char* cursor = pending_.data() + sizeof count;
    const char* end = cursor + count;
    const Head head = Take<Head>(cursor, end);
    frame.kind = static_cast<FrameKind>(head.kind);
    for (std::size_t i = 0; i < kFrameValues; ++i) frame.values[i] = head.values[i];
    for (std::size_t i = 0; i < 2; ++i) frame.reals[i] = head.reals[i];
    frame.texts.clear();
    for (std::uint32_t t = 0; t < head.texts; ++t) {
        const std::uint64_t size = Take<std::uint64_t>(cursor, end);
        if (size > static_cast<std::uint64_t>(end - cursor)) throw std::runtime_error("a control frame is cut short");
        frame.texts.emplace_back(cursor, static_cast<std::size_t>(size));
        cursor += size;
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(sizeof count + count));
    return true;
}

}  // namespace amisim::isolation
