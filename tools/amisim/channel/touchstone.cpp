#include "tools/amisim/channel/touchstone.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <numbers>
#include <sstream>

#include "tools/amisim/amisim_error.h"

namespace amisim {

namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

struct Options {
    double unit = 1e9;  // GHz unless the option line says otherwise
    TouchstoneFormat format = TouchstoneFormat::kMagnitudeAngle;
    double reference = 50.0;
};

class LineError {
public:
    LineError(const std::string& source, int line) : source_(source), line_(line) {}
    AmisimError operator()(const std::string& why) const {
        return UsageError(source_ + ":" + std::to_string(line_) + ": " + why);
    }

private:
    const std::string& source_;
    int line_;
};

Options ReadOptionLine(const std::string& text, const LineError& error) {
    Options options;
    std::istringstream words(text.substr(1));
    std::string word;
    while (words >> word) {
        const std::string w = Lower(word);
        if (w == "hz") options.unit = 1.0;
        else if (w == "khz") options.unit = 1e3;
        else if (w == "mhz") options.unit = 1e6;
        else if (w == "ghz") options.unit = 1e9;
        else if (w == "ma") options.format = TouchstoneFormat::kMagnitudeAngle;
        else if (w == "db") options.format = TouchstoneFormat::kDecibelAngle;
        else if (w == "ri") options.format = TouchstoneFormat::kRealImaginary;
        else if (w == "s") continue;
        else if (w == "y" || w == "z" || w == "h" || w == "g")
            throw error("only S parameters can describe a channel, not " + word + " parameters");
        else if (w == "r") {
            std::string ohms;
            if (!(words >> ohms)) throw error("the option line's R gives no reference impedance");
            double value = 0.0;
            const auto result = std::from_chars(ohms.data(), ohms.data() + ohms.size(), value);
            if (result.ec != std::errc() || result.ptr != ohms.data() + ohms.size() || !(value > 0.0))
                throw error("the reference impedance '" + ohms + "' is not a positive number");
            options.reference = value;
        } else {
            throw error("the option line holds '" + word + "', which is no Touchstone option");
        }
    }
    return options;
}

std::complex<double> Pair(double a, double b, TouchstoneFormat format) {
    constexpr double kDegree = std::numbers::pi / 180.0;
    switch (format) {
    case TouchstoneFormat::kRealImaginary: return {a, b};
    case TouchstoneFormat::kDecibelAngle: return std::polar(std::pow(10.0, a / 20.0), b * kDegree);
    case TouchstoneFormat::kMagnitudeAngle: break;
    }
    return std::polar(a, b * kDegree);
}

}  // namespace

int TouchstonePorts(const std::filesystem::path& path) {
    const std::string extension = Lower(path.extension().string());
    if (extension.size() < 4 || extension[1] != 's' || extension.back() != 'p') return 0;
    int ports = 0;
    const char* first = extension.data() + 2;
    const char* last = extension.data() + extension.size() - 1;
    const auto result = std::from_chars(first, last, ports);
    return result.ec == std::errc() && result.ptr == last && ports > 0 ? ports : 0;
}

TouchstoneData ReadTouchstone(std::istream& in, int ports, const std::string& source) {
    if (ports < 1 || ports > 64) throw UsageError(source + ": cannot read a " + std::to_string(ports) + "-port file");
    TouchstoneData data;
    data.ports = ports;
    const std::size_t values_per_point = 1 + 2 * static_cast<std::size_t>(ports) * ports;
    Options options;
    bool have_options = false;
    std::vector<double> pending;  // the numbers of the frequency point being read
    int point_line = 0;           // where it started
    std::string text;
    int line = 0;

    const auto finish_point = [&](const LineError& error) {
        const double frequency = pending[0] * options.unit;
        if (!std::isfinite(frequency) || frequency < 0.0) throw error("a negative frequency");
        if (!data.frequencies.empty() && frequency <= data.frequencies.back())
            throw error("the frequencies do not increase");
        std::vector<std::complex<double>> matrix(static_cast<std::size_t>(ports) * ports);
        for (std::size_t k = 0; k < matrix.size(); ++k) {
            const std::complex<double> value = Pair(pending[1 + 2 * k], pending[2 + 2 * k], options.format);
            if (ports == 2) {
                // S11 S21 S12 S22: the 2-port lists its matrix by columns.
                const std::size_t column = k / 2, row = k % 2;
                matrix[row * 2 + column] = value;
            } else {
                matrix[k] = value;
            }
        }
        data.frequencies.push_back(frequency);
        data.s.insert(data.s.end(), matrix.begin(), matrix.end());
        pending.clear();
    };

    while (std::getline(in, text)) {
        ++line;
        const LineError error(source, line);
        if (const std::size_t bang = text.find('!'); bang != std::string::npos) text.erase(bang);
        const std::size_t start = text.find_first_not_of(" \t\r");
        if (start == std::string::npos) continue;
        if (text[start] == '#') {
            if (have_options) continue;  // later option lines are ignored, as the format says
            options = ReadOptionLine(text.substr(start), error);
            have_options = true;
            continue;
        }
        if (text[start] == '[')
            throw error("a Touchstone 2 keyword; only Touchstone 1.x files are read");
        if (pending.empty()) point_line = line;
        std::istringstream words(text);
        std::string word;
        while (words >> word) {
            double value = 0.0;
            const char* first = word.data() + (word[0] == '+' ? 1 : 0);
            const auto result = std::from_chars(first, word.data() + word.size(), value);
            if (result.ec != std::errc() || result.ptr != word.data() + word.size() || !std::isfinite(value))
                throw error("'" + word + "' is not a number");
            pending.push_back(value);
        }
        // A new frequency point starts on its own line: a point cut short
        // shows where the next one begins.
        if (pending.size() > values_per_point)
            throw LineError(source, point_line)(
                "a frequency point of a " + std::to_string(ports) + "-port holds " +
                std::to_string(values_per_point) + " numbers; this one runs on to " +
                std::to_string(pending.size()) + " by line " + std::to_string(line));
        // Larger networks should hold at most four pairs a line; writers that
        // put more are read all the same, since the count per point decides.
        if (pending.size() == values_per_point) finish_point(LineError(source, point_line));
    }
    if (!pending.empty())
        throw LineError(source, point_line)("the last frequency point holds " + std::to_string(pending.size()) +
                                            " of its " + std::to_string(values_per_point) + " numbers");
    if (data.frequencies.size() < 2) throw UsageError(source + ": fewer than two frequency points");
    data.reference_ohms.assign(static_cast<std::size_t>(ports), options.reference);
    return data;
}

TouchstoneData ReadTouchstoneFile(const std::filesystem::path& path) {
    const int ports = TouchstonePorts(path);
    if (ports == 0) throw UsageError(path.string() + ": a Touchstone file's name ends in .sNp (.s2p, .s4p)");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw UsageError(path.string() + ": cannot open the Touchstone file");
    return ReadTouchstone(in, ports, path.string());
}

void WriteTouchstone(std::ostream& out, const TouchstoneData& data, const std::string& unit,
                     TouchstoneFormat format) {
    const std::string u = Lower(unit);
    const double scale = u == "hz" ? 1.0 : u == "khz" ? 1e3 : u == "mhz" ? 1e6 : 1e9;
    const char* name = format == TouchstoneFormat::kRealImaginary ? "RI"
                       : format == TouchstoneFormat::kDecibelAngle ? "DB" : "MA";
    out << "! written by amisim\n# " << unit << " S " << name << " R " << data.Reference() << '\n';
    out.precision(17);
    const int n = data.ports;
    for (std::size_t f = 0; f < data.frequencies.size(); ++f) {
        out << data.frequencies[f] / scale;
        int on_line = 0;
        for (int i = 0; i < n * n; ++i) {
            const int row = n == 2 ? i % 2 : i / n;
            const int column = n == 2 ? i / 2 : i % n;
            const std::complex<double> v = data.Matrix(f)[static_cast<std::size_t>(row * n + column)];
            if (n > 2 && on_line == 4) {
                out << "\n ";
                on_line = 0;
            }
            if (format == TouchstoneFormat::kRealImaginary)
                out << ' ' << v.real() << ' ' << v.imag();
            else
                out << ' ' << (format == TouchstoneFormat::kDecibelAngle ? 20.0 * std::log10(std::abs(v)) : std::abs(v))
                    << ' ' << std::arg(v) * 180.0 / std::numbers::pi;
            ++on_line;
        }
        out << '\n';
    }
}

}  // namespace amisim
