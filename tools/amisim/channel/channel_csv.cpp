#include "tools/amisim/channel/channel_csv.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/channel/channel_impulse.h"
#include "tools/amisim/letter_case.h"

namespace amisim {

namespace {

std::string Trim(const std::string& text) {
    const std::size_t start = text.find_first_not_of(" \t\r");
    if (start == std::string::npos) return {};
    return text.substr(start, text.find_last_not_of(" \t\r") - start + 1);
}

bool ParseCell(const std::string& cell, double& value) {
    const std::string text = Trim(cell);
    const char* first = text.data() + (!text.empty() && text[0] == '+' ? 1 : 0);
    const auto result = std::from_chars(first, text.data() + text.size(), value);
    return !text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size() &&
           std::isfinite(value);
}

}  // namespace

std::vector<double> ReadChannelCsv(std::istream& in, double sample_interval, const std::string& source) {
    std::string line;
    int number = 0;
    std::string header;
    while (header.empty() && std::getline(in, line)) {
        ++number;
        header = Lowercase(Trim(line));
        header.erase(std::remove(header.begin(), header.end(), ' '), header.end());
    }
    const bool is_step = header == "time,step";
    if (!is_step && header != "time,impulse")
        throw UsageError(source + ":" + std::to_string(number) +
                         ": the header must be time,step or time,impulse, not '" + Trim(line) + "'");

    std::vector<double> times, values;
    while (std::getline(in, line)) {
        ++number;
        if (Trim(line).empty()) continue;
        const std::size_t comma = line.find(',');
        double t = 0.0, v = 0.0;
        if (comma == std::string::npos || line.find(',', comma + 1) != std::string::npos ||
            !ParseCell(line.substr(0, comma), t) || !ParseCell(line.substr(comma + 1), v))
            throw UsageError(source + ":" + std::to_string(number) + ": expected two numbers, time and " +
                             (is_step ? "step" : "impulse") + ", not '" + Trim(line) + "'");
        if (!times.empty() && t <= times.back())
            throw UsageError(source + ":" + std::to_string(number) + ": the times do not increase");
        times.push_back(t);
        values.push_back(v);
    }
    if (times.size() < 2) throw UsageError(source + ": fewer than two rows of data");

    // An impulse becomes a step by the trapezoid rule; the step is what the
    // resampling reads, since the difference of a step over one interval is
    // exactly the tap a held sample sees.
    std::vector<double> step = values;
    if (!is_step) {
        step[0] = 0.0;
        for (std::size_t i = 1; i < times.size(); ++i)
            step[i] = step[i - 1] + 0.5 * (values[i] + values[i - 1]) * (times[i] - times[i - 1]);
    }
    // Response before the stimulus: a step that has already moved by t = 0.
    double before = 0.0, scale = 0.0;
    for (std::size_t i = 0; i < times.size(); ++i) {
        scale = std::max(scale, std::abs(step[i] - step.front()));
        if (times[i] <= 0.0) before = std::max(before, std::abs(step[i] - step.front()));
    }
    if (scale > 0.0 && before > 0.01 * scale)
        throw UsageError(source + ": non-causal data: the response moves by " +
                         std::to_string(static_cast<int>(100 * before / scale)) + "% of its swing before t = 0");

    const double span = times.back() / sample_interval;
    if (!(span < static_cast<double>(kMaxChannelSamples)))
        throw UsageError(source + ": the response spans " + std::to_string(static_cast<long long>(span)) +
                         " samples, more than the " + std::to_string(kMaxChannelSamples) + " amisim holds in memory");
    if (span < 1.0) throw UsageError(source + ": the response ends before the first sample interval");
    const std::size_t count = static_cast<std::size_t>(std::floor(span)) + 1;
    // The step at n * dt, linear between rows; zero before the first row
    // (the stimulus has not arrived) and held after the last.
    std::vector<double> taps(count);
    std::size_t at = 0;
    double previous = 0.0;
    for (std::size_t n = 0; n < count; ++n) {
        const double t = static_cast<double>(n) * sample_interval;
        double s = 0.0;
        if (t >= times.front()) {
            while (at + 2 < times.size() && times[at + 1] < t) ++at;
            const double w = std::clamp((t - times[at]) / (times[at + 1] - times[at]), 0.0, 1.0);
            s = step[at] + w * (step[at + 1] - step[at]) - step.front();
        }
        taps[n] = s - previous;
        previous = s;
    }
    return TrimTail(std::move(taps));
}

}  // namespace amisim
