#pragma once
// A number as a printf format writes it, for the figures amisim's
// summary and messages quote ("%.4g ohm", "%.3g V").

#include <cstdio>
#include <string>

namespace amisim {

inline std::string Figure(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace amisim
