// Reading input lines with the character checks: carriage returns before a
// line feed and a final Ctrl-Z are dropped, every other control character,
// NUL and every byte above 127 is reported and turned into a space.

#include <cstdlib>
#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/cmn_internal.h"

namespace {

int g_keepIllegalChars = 0;

constexpr int kCtrlZ = 26;

// Kind of an illegal character for message 1917, or null when it is legal.
const char* IllegalKind(int c) {
    if (c == '\t' || (c >= 32 && c <= 127)) return nullptr;
    if (c == 0) return "NUL";
    if (c >= 128) return "non-7-bit ASCII";
    return "control";
}

// The checker reads its files from one thread, so the stream's lock, taken
// by getc on every character, buys nothing; these take characters straight
// from the stream's buffer.
int Next(FILE* stream) { return getc_unlocked(stream); }

// Peeks at the next character without taking it.
int Peek(FILE* stream) {
    const int c = Next(stream);
    if (c != EOF) std::ungetc(c, stream);
    return c;
}

// Reads one line into `sink` (HasRoom(), Put(c)). Returns false at end of
// input before the first character.
template <class Sink>
bool ReadCheckedLine(FILE* stream, Sink& sink) {
    int c = Next(stream);
    if (c == EOF) return false;
    for (; c != EOF; c = Next(stream)) {
        // Nearly every character is a printable one or a tab, kept as it is.
        if (c >= 32 ? c <= 127 : c == '\t') {
            if (sink.HasRoom()) sink.Put(c);
            continue;
        }
        if (c == '\r' && Peek(stream) == '\n') continue;
        if (c == kCtrlZ && Peek(stream) == EOF) break;
        if (c == '\n') {
            if (sink.HasRoom()) sink.Put('\n');
            break;
        }
        const char* kind = IllegalKind(c);
        if (kind == nullptr || g_keepIllegalChars) {
            if (sink.HasRoom()) sink.Put(c);
            continue;
        }
        const bool stored = sink.HasRoom();
        MSG_ErrorLine(1917, kind, static_cast<unsigned>(c), stored ? "  Converting to space." : "");
        if (stored) sink.Put(' ');
    }
    return true;
}

// A caller's buffer; characters beyond its room are dropped.
class FixedSink {
public:
    FixedSink(char* buffer, size_t room) : buffer_(buffer), room_(room) {}
    bool HasRoom() const { return length_ < room_; }
    void Put(int c) { buffer_[length_++] = static_cast<char>(c); }
    void Terminate() { buffer_[length_] = '\0'; }

private:
    char* buffer_;
    size_t room_;
    size_t length_ = 0;
};

// A heap buffer doubling as it fills, so long lines cost linear time.
class GrowingSink {
public:
    ~GrowingSink() { std::free(buffer_); }
    bool HasRoom() const { return !failed_; }
    void Put(int c) {
        if (length_ + 1 >= capacity_ && !Grow()) return;
        buffer_[length_++] = static_cast<char>(c);
    }
    // Hands the terminated text over to the caller.
    char* Release(size_t* length) {
        if (failed_ || (buffer_ == nullptr && !Grow())) return nullptr;
        buffer_[length_] = '\0';
        if (length != nullptr) *length = length_ + 1;
        char* text = buffer_;
        buffer_ = nullptr;
        return text;
    }

private:
    bool Grow() {
        const size_t capacity = capacity_ == 0 ? 128 : capacity_ * 2;
        void* block = buffer_;
        if (!CMN_Realloc(&block, capacity)) {
            failed_ = true;
            return false;
        }
        buffer_ = static_cast<char*>(block);
        capacity_ = capacity;
        return true;
    }

    char* buffer_ = nullptr;
    size_t capacity_ = 0;
    size_t length_ = 0;
    bool failed_ = false;
};

}  // namespace

int CMN_KeepIllegalChars(int on) {
    g_keepIllegalChars = on ? 1 : 0;
    return g_keepIllegalChars;
}

int CMN_GetKeepIllegalChars() { return g_keepIllegalChars; }

char* CMN_ReadLine(char* buffer, size_t size, FILE* stream) {
    if (buffer == nullptr || size == 0 || stream == nullptr) return nullptr;
    FixedSink sink(buffer, size - 1);
    if (!ReadCheckedLine(stream, sink)) return nullptr;
    sink.Terminate();
    return buffer;
}

char* CMN_ReadWholeLine(size_t* length, FILE* stream) {
    if (stream == nullptr) return nullptr;
    GrowingSink sink;
    if (!ReadCheckedLine(stream, sink)) return nullptr;
    return sink.Release(length);
}
