#include "tools/amisim/reports/csv_writer.h"

#include <algorithm>
#include <charconv>

namespace amisim {

namespace {

void Put(std::ostream& out, double value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.write(text, result.ptr - text);
}

}  // namespace

void WriteWaveformCsv(std::ostream& out, double sample_interval, const std::vector<double>& input,
                      const std::vector<double>& output) {
    out << "time,input,output\n";
    const std::size_t rows = std::min(input.size(), output.size());
    for (std::size_t i = 0; i < rows; ++i) {
        Put(out, static_cast<double>(i) * sample_interval);
        out << ',';
        Put(out, input[i]);
        out << ',';
        Put(out, output[i]);
        out << '\n';
    }
}

void WriteStageRows(std::ostream& out, double sample_interval, std::size_t first, std::size_t count,
                    const double* input, const double* tx, const double* channel, const double* rx,
                    const double* crosstalk) {
    for (std::size_t i = 0; i < count; ++i) {
        Put(out, static_cast<double>(first + i) * sample_interval);
        out << ',';
        Put(out, input[i]);
        out << ',';
        Put(out, tx[i]);
        if (channel != nullptr) {
            out << ',';
            Put(out, channel[i]);
        }
        if (rx != nullptr) {
            out << ',';
            Put(out, rx[i]);
        }
        if (crosstalk != nullptr) {
            out << ',';
            Put(out, crosstalk[i]);
        }
        out << '\n';
    }
}

}  // namespace amisim
