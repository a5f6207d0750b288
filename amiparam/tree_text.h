#pragma once
// Character helpers private to the parameter tree reader.
//
// The checker's shared cursor helpers guard their scans with a limit of one
// line (120 characters) that ends the process unless a process-wide switch is
// on. A parameter string comes from the simulator, may hold whitespace runs of
// any length and may be read on several threads at once, so the reader keeps
// its own skipper with the same notion of whitespace and no limit, and never
// touches that switch.

#include <cstddef>

namespace amiparam_detail {

// isspace of the classic locale: space, tab, line feed, vertical tab, form
// feed, carriage return. Bytes of 0x80 and above are never whitespace.
inline bool IsTreeSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Index of the first non-whitespace character at or after `p`.
inline std::size_t SkipTreeSpace(const char* text, std::size_t p) {
    while (IsTreeSpace(text[p])) ++p;
    return p;
}

// Length of text[start, end) once trailing whitespace is dropped.
inline std::size_t TrimmedLength(const char* text, std::size_t start, std::size_t end) {
    while (end > start && IsTreeSpace(text[end - 1])) --end;
    return end - start;
}

}  // namespace amiparam_detail
