#include "tools/amisim/channel/touchstone.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <numbers>
#include <optional>
#include <sstream>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/channel/mixed_mode.h"
#include "tools/amisim/letter_case.h"

namespace amisim {

namespace {

// A table, since every character of a file of many megabytes passes here.
constexpr std::array<bool, 256> kBlank = [] {
    std::array<bool, 256> blank{};
    for (unsigned char c : {' ', '\t', '\r', '\f', '\v'}) blank[c] = true;
    return blank;
}();

inline bool IsBlank(char c) { return kBlank[static_cast<unsigned char>(c)]; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// The next blank-separated word of `text`, consumed; empty at the end.
inline std::string_view NextWord(std::string_view& text) {
    const char* at = text.data();
    const char* const last = at + text.size();
    while (at != last && IsBlank(*at)) ++at;
    const char* const start = at;
    while (at != last && !IsBlank(*at)) ++at;
    text = std::string_view(at, static_cast<std::size_t>(last - at));
    return std::string_view(start, static_cast<std::size_t>(at - start));
}

inline bool ParseDouble(std::string_view word, double& value) {
    const char* first = word.data() + (!word.empty() && word[0] == '+' ? 1 : 0);
    const char* last = word.data() + word.size();
    const auto result = std::from_chars(first, last, value);
    return result.ec == std::errc() && result.ptr == last && std::isfinite(value);
}

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

struct Options {
    double unit = 1e9;  // GHz unless the option line says otherwise
    TouchstoneFormat format = TouchstoneFormat::kMagnitudeAngle;
    double reference = 50.0;
};

Options ReadOptionLine(std::string_view text, const LineError& error) {
    Options options;
    text.remove_prefix(1);  // the '#'
    for (std::string_view word = NextWord(text); !word.empty(); word = NextWord(text)) {
        const std::string w = Lowercase(word);
        if (w == "hz") options.unit = 1.0;
        else if (w == "khz") options.unit = 1e3;
        else if (w == "mhz") options.unit = 1e6;
        else if (w == "ghz") options.unit = 1e9;
        else if (w == "ma") options.format = TouchstoneFormat::kMagnitudeAngle;
        else if (w == "db") options.format = TouchstoneFormat::kDecibelAngle;
        else if (w == "ri") options.format = TouchstoneFormat::kRealImaginary;
        else if (w == "s") continue;
        else if (w == "y" || w == "z" || w == "h" || w == "g")
            throw error("only S parameters can describe a channel, not " + std::string(word) + " parameters");
        else if (w == "r") {
            const std::string_view ohms = NextWord(text);
            if (ohms.empty()) throw error("the option line's R gives no reference impedance");
            double value = 0.0;
            if (!ParseDouble(ohms, value) || !(value > 0.0))
                throw error("the reference impedance '" + std::string(ohms) + "' is not a positive number");
            options.reference = value;
        } else {
            throw error("the option line holds '" + std::string(word) + "', which is no Touchstone option");
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

// Where each pair of a frequency point goes in the ports x ports matrix,
// and for a triangular matrix the mirrored place it fills as well.
struct PairPlaces {
    std::vector<std::size_t> place, mirror;
};

PairPlaces Places(int ports, MatrixFormat matrix, bool two_port_by_columns) {
    PairPlaces places;
    const std::size_t n = static_cast<std::size_t>(ports);
    for (std::size_t row = 0; row < n; ++row)
        for (std::size_t column = 0; column < n; ++column) {
            if ((matrix == MatrixFormat::kLower && column > row) || (matrix == MatrixFormat::kUpper && column < row))
                continue;
            places.place.push_back(row * n + column);
            places.mirror.push_back(matrix == MatrixFormat::kFull ? row * n + column : column * n + row);
        }
    // S11 S21 S12 S22: the 2-port of version 1 lists its matrix by columns.
    if (ports == 2 && matrix == MatrixFormat::kFull && two_port_by_columns) {
        places.place = {0, 2, 1, 3};
        places.mirror = places.place;
    }
    return places;
}

// The state of a version 2 file's keywords.
struct Version2 {
    bool active = false;
    int ports = 0;
    std::optional<std::size_t> frequencies;  // [Number of Frequencies]
    std::vector<double> references;          // [Reference], filled over lines
    bool reading_references = false;
    std::vector<MixedModePort> mixed_mode;   // [Mixed-Mode Order], filled over lines
    bool reading_mixed_mode = false;
    MatrixFormat matrix = MatrixFormat::kFull;
    int two_port_order = 0;  // 0 not given, 1 for 12_21, 2 for 21_12
    bool in_data = false;    // after [Network Data]
    bool skipping = false;   // in [Noise Data] or an information block
};

class TouchstoneReader {
public:
    TouchstoneReader(int ports_from_name, const std::string& source) : name_ports_(ports_from_name), source_(source) {}

    TouchstoneData Read(std::string_view text) {
        text_size_ = text.size();
        while (!text.empty() && !done_) {
            const std::size_t end = text.find('\n');
            std::string_view line = text.substr(0, end);
            text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
            ++line_;
            if (const std::size_t bang = line.find('!'); bang != std::string_view::npos) line = line.substr(0, bang);
            line = Trim(line);
            if (line.empty()) continue;
            if (line.front() == '[') Keyword(line);
            else if (v2_.skipping) continue;
            else if (line.front() == '#') OptionLine(line);
            else if (v2_.reading_references) References(line);
            else if (v2_.reading_mixed_mode) MixedModeOrder(line);
            else Data(line);
        }
        return Finish();
    }

private:
    LineError Here() const { return LineError(source_, line_); }

    void OptionLine(std::string_view line) {
        if (have_options_) return;  // later option lines are ignored, as the format says
        options_ = ReadOptionLine(line, Here());
        have_options_ = true;
    }

    void Keyword(std::string_view line) {
        const std::size_t close = line.find(']');
        if (close == std::string_view::npos) throw Here()("a keyword without its closing ']'");
        std::string key = Lowercase(Trim(line.substr(1, close - 1)));
        std::replace(key.begin(), key.end(), '_', ' ');
        std::string_view rest = Trim(line.substr(close + 1));
        if (key == "version") {
            if (started_data_ || v2_.active) throw Here()("[Version] must come first");
            const std::string_view version = NextWord(rest);
            if (version.empty() || version[0] != '2') throw Here()("version '" + std::string(version) + "': only Touchstone 1.x and 2.0 are read");
            v2_.active = true;
            return;
        }
        if (!v2_.active) throw Here()("the keyword " + std::string(line.substr(0, close + 1)) +
                                      " belongs to Touchstone 2, and the file does not begin with [Version] 2.0");
        v2_.reading_references = false;
        v2_.reading_mixed_mode = false;
        if (key == "end information") {
            v2_.skipping = false;
            return;
        }
        if (v2_.skipping && key != "end") return;
        if (key == "number of ports") {
            double value = 0.0;
            if (!ParseDouble(NextWord(rest), value) || value < 1 || value > 1024 || value != std::floor(value))
                throw Here()("[Number of Ports] needs a whole number of ports");
            v2_.ports = static_cast<int>(value);
            if (name_ports_ > 0 && v2_.ports != name_ports_)
                throw Here()("[Number of Ports] " + std::to_string(v2_.ports) + " but the file's name says " +
                             std::to_string(name_ports_));
        } else if (key == "two-port data order" || key == "two port data order") {
            const std::string order = Lowercase(NextWord(rest));
            if (order == "12_21") v2_.two_port_order = 1;
            else if (order == "21_12") v2_.two_port_order = 2;
            else throw Here()("[Two-Port Data Order] is 12_21 or 21_12, not '" + order + "'");
        } else if (key == "number of frequencies") {
            double value = 0.0;
            if (!ParseDouble(NextWord(rest), value) || value < 1 || value != std::floor(value))
                throw Here()("[Number of Frequencies] needs a whole number");
            v2_.frequencies = static_cast<std::size_t>(value);
        } else if (key == "number of noise frequencies") {
            // Noise data are skipped; their count does not matter.
        } else if (key == "reference") {
            RequirePorts("[Reference]");
            v2_.references.clear();
            v2_.reading_references = true;
            if (!rest.empty()) References(rest);
        } else if (key == "matrix format") {
            const std::string format = Lowercase(NextWord(rest));
            if (format == "full") v2_.matrix = MatrixFormat::kFull;
            else if (format == "lower") v2_.matrix = MatrixFormat::kLower;
            else if (format == "upper") v2_.matrix = MatrixFormat::kUpper;
            else throw Here()("[Matrix Format] is Full, Lower or Upper, not '" + format + "'");
        } else if (key == "mixed-mode order" || key == "mixed mode order") {
            RequirePorts("[Mixed-Mode Order]");
            v2_.mixed_mode.clear();
            v2_.reading_mixed_mode = true;
            if (!rest.empty()) MixedModeOrder(rest);
        } else if (key == "network data") {
            if (!v2_.mixed_mode.empty()) {
                if (const std::string problem = MixedModeOrderProblem(v2_.mixed_mode, v2_.ports); !problem.empty())
                    throw Here()("[Mixed-Mode Order]: " + problem);
            }
            RequirePorts("[Network Data]");
            if (v2_.ports == 2 && v2_.matrix == MatrixFormat::kFull && v2_.two_port_order == 0)
                throw Here()("a 2-port file gives [Two-Port Data Order] 12_21 or 21_12 before its data");
            if (!v2_.references.empty() && v2_.references.size() != static_cast<std::size_t>(v2_.ports))
                throw Here()("[Reference] gives " + std::to_string(v2_.references.size()) + " of the " +
                             std::to_string(v2_.ports) + " ports' impedances");
            v2_.in_data = true;
            Prepare(v2_.ports, v2_.matrix, v2_.two_port_order != 1);
            // The declared count sizes the matrices at once, unless the text
            // is too short to hold that many (two characters a number at
            // least): a wrong count must not reserve memory the data never fill.
            if (v2_.frequencies && *v2_.frequencies <= text_size_ / (2 * values_per_point_)) {
                data_.s.reserve(*v2_.frequencies * data_.MatrixSize());
                data_.frequencies.reserve(*v2_.frequencies);
            }
        } else if (key == "noise data" || key == "begin information") {
            v2_.skipping = true;
        } else if (key == "end") {
            done_ = true;
        } else {
            throw Here()("[" + std::string(Trim(line.substr(1, close - 1))) + "] is no Touchstone 2.0 keyword");
        }
    }

    void RequirePorts(const char* keyword) const {
        if (v2_.ports == 0) throw Here()(std::string(keyword) + " before [Number of Ports]");
    }

    void References(std::string_view line) {
        for (std::string_view word = NextWord(line); !word.empty(); word = NextWord(line)) {
            double value = 0.0;
            if (!ParseDouble(word, value) || !(value > 0.0))
                throw Here()("the reference impedance '" + std::string(word) + "' is not a positive number");
            if (v2_.references.size() == static_cast<std::size_t>(v2_.ports))
                throw Here()("[Reference] gives more impedances than the " + std::to_string(v2_.ports) + " ports");
            v2_.references.push_back(value);
        }
        if (v2_.references.size() == static_cast<std::size_t>(v2_.ports)) v2_.reading_references = false;
    }

    void MixedModeOrder(std::string_view line) {
        for (std::string_view word = NextWord(line); !word.empty(); word = NextWord(line)) {
            MixedModePort port;
            if (!ReadMixedModePort(word, port))
                throw Here()("[Mixed-Mode Order]: '" + std::string(word) + "' is none of D<i>,<j>, C<i>,<j>, S<i>");
            if (v2_.mixed_mode.size() == static_cast<std::size_t>(v2_.ports))
                throw Here()("[Mixed-Mode Order] gives more entries than the " + std::to_string(v2_.ports) + " ports");
            v2_.mixed_mode.push_back(port);
        }
        if (v2_.mixed_mode.size() == static_cast<std::size_t>(v2_.ports)) v2_.reading_mixed_mode = false;
    }

    void Prepare(int ports, MatrixFormat matrix, bool two_port_by_columns) {
        data_.ports = ports;
        places_ = Places(ports, matrix, two_port_by_columns);
        values_per_point_ = 1 + 2 * places_.place.size();
        pending_.reserve(values_per_point_);
    }

    void Data(std::string_view line) {
        if (v2_.active && !v2_.in_data) throw Here()("data before [Network Data]");
        if (!started_data_) {
            started_data_ = true;
            if (!v2_.active) {
                if (name_ports_ == 0)
                    throw Here()("data without [Version] 2.0: a version 1 file's port count comes from its "
                                 "name (.s2p, .s4p, ...)");
                if (name_ports_ < 1 || name_ports_ > 1024)
                    throw UsageError(source_ + ": cannot read a " + std::to_string(name_ports_) + "-port file");
                Prepare(name_ports_, MatrixFormat::kFull, true);
            }
        }
        const bool first_line_of_point = pending_.empty();
        if (first_line_of_point) point_line_ = line_;
        for (std::string_view word = NextWord(line); !word.empty(); word = NextWord(line)) {
            double value = 0.0;
            if (!ParseDouble(word, value)) throw Here()("'" + std::string(word) + "' is not a number");
            // A new frequency point starts on its own line: a point cut
            // short shows where the next one begins.
            if (pending_.size() == values_per_point_)
                throw LineError(source_, point_line_)(
                    "a frequency point of a " + std::to_string(data_.ports) + "-port holds " +
                    std::to_string(values_per_point_) + " numbers; this one runs on by line " + std::to_string(line_));
            pending_.push_back(value);
        }
        // Version 1 puts a 2-port's noise parameters after its network
        // data, five numbers a line, their frequencies starting over.
        if (!v2_.active && data_.ports == 2 && first_line_of_point && pending_.size() == 5 &&
            !data_.frequencies.empty() && pending_[0] * options_.unit <= data_.frequencies.back()) {
            pending_.clear();
            done_ = true;
            return;
        }
        if (pending_.size() == values_per_point_) FinishPoint();
    }

    void FinishPoint() {
        const LineError error(source_, point_line_);
        const double frequency = pending_[0] * options_.unit;
        if (!std::isfinite(frequency) || frequency < 0.0) throw error("a negative frequency");
        if (!data_.frequencies.empty() && frequency <= data_.frequencies.back())
            throw error("the frequencies do not increase");
        const std::size_t base = data_.s.size();
        data_.s.resize(base + data_.MatrixSize());
        std::complex<double>* matrix = data_.s.data() + base;
        for (std::size_t k = 0; k < places_.place.size(); ++k) {
            const std::complex<double> value = Pair(pending_[1 + 2 * k], pending_[2 + 2 * k], options_.format);
            matrix[places_.place[k]] = value;
            matrix[places_.mirror[k]] = value;
        }
        data_.frequencies.push_back(frequency);
        pending_.clear();
    }

    TouchstoneData Finish() {
        if (!pending_.empty())
            throw LineError(source_, point_line_)("the last frequency point holds " + std::to_string(pending_.size()) +
                                                  " of its " + std::to_string(values_per_point_) + " numbers");
        if (v2_.active) {
            if (v2_.ports == 0) throw Here()("a Touchstone 2.0 file without [Number of Ports]");
            if (!v2_.in_data) throw Here()("a Touchstone 2.0 file without [Network Data]");
            if (!v2_.frequencies) throw Here()("a Touchstone 2.0 file without [Number of Frequencies]");
            if (*v2_.frequencies != data_.frequencies.size())
                throw Here()("[Number of Frequencies] says " + std::to_string(*v2_.frequencies) + ", the data hold " +
                             std::to_string(data_.frequencies.size()));
            if (!done_) throw Here()("a Touchstone 2.0 file ends with [End]");
        }
        if (data_.frequencies.size() < 2) throw UsageError(source_ + ": fewer than two frequency points");
        if (v2_.active && !v2_.references.empty()) data_.reference_ohms = v2_.references;
        else data_.reference_ohms.assign(static_cast<std::size_t>(data_.ports), options_.reference);
        if (!v2_.mixed_mode.empty()) {
            // [Reference] gives the single-ended ports' impedances; a pair's
            // modes are orthogonal only on equal ones.
            for (const MixedModePort& port : v2_.mixed_mode)
                if (port.second != 0 && data_.reference_ohms[static_cast<std::size_t>(port.first - 1)] !=
                                            data_.reference_ohms[static_cast<std::size_t>(port.second - 1)])
                    throw UsageError(source_ + ": [Mixed-Mode Order] pairs ports " + std::to_string(port.first) +
                                     " and " + std::to_string(port.second) +
                                     " of unequal reference impedances, which amisim does not convert");
            ToSingleEnded(data_, v2_.mixed_mode);
        }
        return std::move(data_);
    }

    int name_ports_;
    const std::string& source_;
    TouchstoneData data_;
    Options options_;
    bool have_options_ = false;
    Version2 v2_;
    bool started_data_ = false;
    bool done_ = false;
    PairPlaces places_;
    std::size_t values_per_point_ = 0;
    std::vector<double> pending_;  // the numbers of the frequency point being read
    std::size_t text_size_ = 0;
    int line_ = 0;
    int point_line_ = 0;  // where the point being read started
};

const char* FormatName(TouchstoneFormat format) {
    return format == TouchstoneFormat::kRealImaginary ? "RI" : format == TouchstoneFormat::kDecibelAngle ? "DB" : "MA";
}

void WritePair(std::ostream& out, std::complex<double> v, TouchstoneFormat format) {
    if (format == TouchstoneFormat::kRealImaginary)
        out << ' ' << v.real() << ' ' << v.imag();
    else
        out << ' ' << (format == TouchstoneFormat::kDecibelAngle ? 20.0 * std::log10(std::abs(v)) : std::abs(v)) << ' '
            << std::arg(v) * 180.0 / std::numbers::pi;
}

}  // namespace

int TouchstonePorts(const std::filesystem::path& path) {
    const std::string extension = Lowercase(path.extension().string());
    if (extension.size() < 4 || extension[1] != 's' || extension.back() != 'p') return 0;
    int ports = 0;
    const char* first = extension.data() + 2;
    const char* last = extension.data() + extension.size() - 1;
    const auto result = std::from_chars(first, last, ports);
    return result.ec == std::errc() && result.ptr == last && ports > 0 ? ports : 0;
}

bool IsTouchstoneName(const std::filesystem::path& path) {
    return TouchstonePorts(path) > 0 || Lowercase(path.extension().string()) == ".ts";
}

TouchstoneData ReadTouchstoneText(std::string_view text, int ports, const std::string& source) {
    return TouchstoneReader(ports, source).Read(text);
}

TouchstoneData ReadTouchstone(std::istream& in, int ports, const std::string& source) {
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ReadTouchstoneText(text, ports, source);
}

TouchstoneData ReadTouchstoneFile(const std::filesystem::path& path) {
    if (!IsTouchstoneName(path))
        throw UsageError(path.string() + ": a Touchstone file's name ends in .sNp (.s2p, .s4p) or .ts");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw UsageError(path.string() + ": cannot open the Touchstone file");
    // One read of the whole file: the parser walks it without copying lines.
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    std::string text(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
    if (size > 0 && !in.read(text.data(), size)) throw UsageError(path.string() + ": cannot read the Touchstone file");
    return ReadTouchstoneText(text, TouchstonePorts(path), path.string());
}

void WriteTouchstone(std::ostream& out, const TouchstoneData& data, const std::string& unit,
                     TouchstoneFormat format) {
    const std::string u = Lowercase(unit);
    const double scale = u == "hz" ? 1.0 : u == "khz" ? 1e3 : u == "mhz" ? 1e6 : 1e9;
    out << "! written by amisim\n# " << unit << " S " << FormatName(format) << " R " << data.Reference() << '\n';
    out.precision(17);
    const int n = data.ports;
    for (std::size_t f = 0; f < data.frequencies.size(); ++f) {
        out << data.frequencies[f] / scale;
        int on_line = 0;
        for (int i = 0; i < n * n; ++i) {
            const int row = n == 2 ? i % 2 : i / n;
            const int column = n == 2 ? i / 2 : i % n;
            // Each row of a larger network starts a line, four pairs at most.
            if (n > 2 && (on_line == 4 || (column == 0 && row > 0))) {
                out << "\n ";
                on_line = 0;
            }
            WritePair(out, data.Matrix(f)[static_cast<std::size_t>(row * n + column)], format);
            ++on_line;
        }
        out << '\n';
    }
}

void WriteTouchstone2(std::ostream& out, const TouchstoneData& data, MatrixFormat matrix, TouchstoneFormat format) {
    const int n = data.ports;
    out << "! written by amisim\n[Version] 2.0\n# Hz S " << FormatName(format) << " R 50\n";
    out << "[Number of Ports] " << n << '\n';
    if (n == 2) out << "[Two-Port Data Order] 12_21\n";
    out << "[Number of Frequencies] " << data.frequencies.size() << '\n';
    out.precision(17);
    out << "[Reference]";
    for (int k = 0; k < n; ++k) out << ' ' << (data.reference_ohms.empty() ? 50.0 : data.reference_ohms[static_cast<std::size_t>(k)]);
    out << '\n';
    out << "[Matrix Format] " << (matrix == MatrixFormat::kFull ? "Full" : matrix == MatrixFormat::kLower ? "Lower" : "Upper")
        << "\n[Network Data]\n";
    for (std::size_t f = 0; f < data.frequencies.size(); ++f) {
        out << data.frequencies[f];
        for (int row = 0; row < n; ++row) {
            const int first = matrix == MatrixFormat::kUpper ? row : 0;
            const int last = matrix == MatrixFormat::kLower ? row : n - 1;
            for (int column = first; column <= last; ++column) {
                if (column == first || (column - first) % 4 == 0) out << "\n ";
                WritePair(out, data.Matrix(f)[static_cast<std::size_t>(row * n + column)], format);
            }
        }
        out << '\n';
    }
    out << "[End]\n";
}

}  // namespace amisim
