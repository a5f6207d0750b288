#include "blocks/mux.h"

#include <charconv>
#include <cstddef>
#include <string_view>

namespace Vantrel {

namespace {

// Composes the range message in a fixed buffer: a multiplexer whose control
// is out of range fails on every firing, and Run must not allocate.
class FixedText {
public:
    void Append(std::string_view piece) {
        for (char c : piece) {
            if (used == sizeof(text)) return;
            text[used++] = c;
        }
    }
    void Append(long long number) {
        char digits[24];
        const auto result = std::to_chars(digits, digits + sizeof(digits), number);
        Append(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
    }
    std::string_view View() const { return std::string_view(text, used); }

private:
    char text[192];
    std::size_t used = 0;
};

// Kept out of line and cold so that the selecting path of Run, which runs
// every sample, carries none of the message's stack frame.
[[gnu::cold, gnu::noinline]] void ReportRange(const DFModel* block, std::int32_t control,
                                              std::uint32_t width) {
    FixedText message;
    message.Append("Control input signal value is equal to ");
    message.Append(static_cast<long long>(control));
    message.Append(".  There ");
    message.Append(width > 1 ? "are " : "is ");
    message.Append(static_cast<long long>(width));
    message.Append(width > 1 ? " inputs" : " input");
    message.Append(" connected.  The valid control input range is [0,");
    // Unsigned on purpose: an empty bus reads [0,4294967295].
    message.Append(static_cast<long long>(static_cast<std::uint32_t>(width - 1u)));
    message.Append("].");
    ReportError(block, message.View());
}

}  // namespace

template <typename B>
bool Mux<B>::Setup() {
    if (BlockSize < 1) {
        ReportError(this, "BlockSize must be >= 1");
        return false;
    }
    const auto rate = static_cast<std::uint32_t>(BlockSize);
    output.SetRate(rate);
    for (std::uint32_t i = 0; i < input.Width(); ++i) input.Branch(i)->SetRate(rate);
    return true;
}

template <typename B>
bool Mux<B>::Run() {
    const std::uint32_t width = input.Width();
    if (Control >= 0 && static_cast<std::uint32_t>(Control) < width) {
        input.Branch(static_cast<std::uint32_t>(Control))
            ->CopyTo(0, output, 0, static_cast<std::uint32_t>(BlockSize));
        return true;
    }
    ReportRange(this, Control, width);
    return false;
}

template class Mux<CircularBuffer<double>>;

}  // namespace Vantrel
