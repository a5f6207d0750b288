// Reading input lines with the character checks: carriage returns before a
// line feed and a final Ctrl-Z are dropped, every other control character,
// NUL and every byte above 127 is reported and turned into a space.

#include <cstdint>
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

// Characters straight from a stream. The checker reads its files from one
// thread, so the stream's lock, which getc takes for every character, buys
// nothing.
class StreamSource {
public:
    explicit StreamSource(FILE* stream) : stream_(stream) {}
    int Next() { return getc_unlocked(stream_); }
    // The next character without taking it.
    int Peek() {
        const int c = getc_unlocked(stream_);
        if (c != EOF) std::ungetc(c, stream_);
        return c;
    }
    // Characters are taken one at a time.
    template <class Sink>
    void TakePlainRun(Sink&) {}

private:
    FILE* stream_;
};

// Nearly every character of a file is one of these, kept as it is.
bool IsPlain(int c) { return c >= 32 ? c <= 127 : c == '\t'; }

// Reads one line from `source` (Next(), Peek(), TakePlainRun(sink)) into
// `sink` (HasRoom(), Put(c), PutRun(text, n)). Returns false at end of
// input before the first character.
template <class Source, class Sink>
bool ReadCheckedLine(Source& source, Sink& sink) {
    int c = source.Next();
    if (c == EOF) return false;
    for (; c != EOF; c = source.Next()) {
        if (IsPlain(c)) {
            if (sink.HasRoom()) sink.Put(c);
            source.TakePlainRun(sink);
            continue;
        }
        if (c == '\r' && source.Peek() == '\n') continue;
        if (c == kCtrlZ && source.Peek() == EOF) break;
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
    // Keeps what there is room for of `n` plain characters.
    void PutRun(const char* text, size_t n) {
        if (n > room_ - length_) n = room_ - length_;
        std::memcpy(buffer_ + length_, text, n);
        length_ += n;
    }
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
    void PutRun(const char* text, size_t n) {
        for (size_t i = 0; i < n; ++i) Put(text[i]);
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
    StreamSource source(stream);
    if (!ReadCheckedLine(source, sink)) return nullptr;
    sink.Terminate();
    return buffer;
}

char* CMN_ReadWholeLine(size_t* length, FILE* stream) {
    if (stream == nullptr) return nullptr;
    GrowingSink sink;
    StreamSource source(stream);
    if (!ReadCheckedLine(source, sink)) return nullptr;
    return sink.Release(length);
}

// Characters from a block read ahead of the stream, and runs of plain
// characters found by one tight scan of the block instead of one call each.
class CMN_LineReader::BlockSource {
public:
    explicit BlockSource(CMN_LineReader& reader) : r_(reader) {}
    int Next() {
        if (r_.next_ == r_.end_ && !r_.Refill()) return EOF;
        return static_cast<unsigned char>(*r_.next_++);
    }
    int Peek() {
        if (r_.next_ == r_.end_ && !r_.Refill()) return EOF;
        return static_cast<unsigned char>(*r_.next_);
    }
    template <class Sink>
    void TakePlainRun(Sink& sink) {
        const char* run = r_.next_;
        const char* end = r_.end_;
        // Eight characters at a time while all of them lie in 32..127: a
        // byte below 32 borrows into its top bit when 32 is taken from it,
        // a byte of 128 and above has it set already. A tab, or anything
        // else, ends the fast steps; the byte loop takes it from there.
        constexpr std::uint64_t kEach32 = 0x2020202020202020ULL;
        constexpr std::uint64_t kTopBits = 0x8080808080808080ULL;
        while (end - run >= 8) {
            std::uint64_t eight;
            std::memcpy(&eight, run, sizeof eight);
            if ((((eight - kEach32) & ~eight) | eight) & kTopBits) break;
            run += 8;
        }
        while (run < end && IsPlain(static_cast<unsigned char>(*run))) ++run;
        sink.PutRun(r_.next_, static_cast<size_t>(run - r_.next_));
        r_.next_ = run;
    }

private:
    CMN_LineReader& r_;
};

CMN_LineReader::CMN_LineReader(FILE* stream) : stream_(stream) {}

CMN_LineReader::~CMN_LineReader() { std::free(block_); }

bool CMN_LineReader::Refill() {
    if (stream_ == nullptr) return false;
    if (block_ == nullptr) {
        block_ = static_cast<char*>(std::malloc(kBlockSize));
        if (block_ == nullptr) return false;
    }
    const size_t got = std::fread(block_, 1, kBlockSize, stream_);
    next_ = block_;
    end_ = block_ + got;
    return got > 0;
}

char* CMN_LineReader::ReadLine(char* buffer, size_t size) {
    if (buffer == nullptr || size == 0 || stream_ == nullptr) return nullptr;
    FixedSink sink(buffer, size - 1);
    BlockSource source(*this);
    if (!ReadCheckedLine(source, sink)) return nullptr;
    sink.Terminate();
    return buffer;
}
