#include "tools/amisim/flows/sweep.h"

#include <charconv>

#include "tools/amisim/amisim_error.h"

namespace amisim {

namespace {

bool ParseInteger(const std::string& text, long& value) {
    const char* first = text.data() + (!text.empty() && text[0] == '+' ? 1 : 0);
    const auto result = std::from_chars(first, text.data() + text.size(), value);
    return !text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size();
}

}  // namespace

SweepRequest ParseSweep(const std::string& text) {
    const auto bad = [&](const std::string& why) {
        return UsageError("--sweep " + text + ": " + why + " (NAME=FROM..TO or NAME=v1,v2,...)");
    };
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0) throw bad("no NAME=");
    SweepRequest sweep;
    sweep.name = text.substr(0, equals);
    if (sweep.name.rfind("tx:", 0) == 0 || sweep.name.rfind("rx:", 0) == 0) {
        sweep.model = sweep.name.substr(0, 2);
        sweep.name = sweep.name.substr(3);
    }
    if (sweep.name.empty() || sweep.name.find_first_of(" ()\"") != std::string::npos) throw bad("not a parameter name");
    const std::string values = text.substr(equals + 1);
    if (const std::size_t dots = values.find(".."); dots != std::string::npos) {
        long from = 0, to = 0;
        if (!ParseInteger(values.substr(0, dots), from) || !ParseInteger(values.substr(dots + 2), to))
            throw bad("a range is of integers");
        if (to < from) throw bad("the range runs backwards");
        if (to - from >= 1000) throw bad("more than 1000 values");
        for (long v = from; v <= to; ++v) sweep.values.push_back(std::to_string(v));
    } else {
        std::size_t start = 0;
        while (start <= values.size()) {
            std::size_t comma = values.find(',', start);
            if (comma == std::string::npos) comma = values.size();
            const std::string value = values.substr(start, comma - start);
            if (value.empty()) throw bad("an empty value");
            sweep.values.push_back(value);
            start = comma + 1;
        }
        if (sweep.values.size() > 1000) throw bad("more than 1000 values");
    }
    return sweep;
}

}  // namespace amisim
