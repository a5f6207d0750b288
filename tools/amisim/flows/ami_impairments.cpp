#include "tools/amisim/flows/ami_impairments.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <span>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/models/ami_file.h"
#include "tools/amisim/models/ami_tree.h"

namespace amisim {

namespace {

// What a reserved parameter says, as the reader below needs it.
struct Written {
    std::string type;
    std::string format;
    std::vector<std::string> values;
    std::vector<std::vector<std::string>> rows;
};

bool IsJitterFormat(const std::string& text) {
    return text == "Gaussian" || text == "Dual-Dirac" || text == "DjRj" || text == "Table";
}

Written FromParameter(const AmiParameter& parameter) {
    Written written;
    written.type = parameter.type;
    written.format = parameter.format;
    written.rows = parameter.table.rows;
    if (IsJitterFormat(parameter.format)) {
        written.values = parameter.format_values;
    } else if (const std::optional<std::string> value = parameter.EffectiveDefault()) {
        // The value a host uses, whichever way it is written.
        written.format = "Value";
        written.values = {*value};
    }
    return written;
}

std::vector<std::string> Atoms(const AmiNode& list) {
    std::vector<std::string> atoms;
    for (std::size_t i = list.FirstValueIndex(); i < list.items.size(); ++i)
        if (!list.items[i].is_list) atoms.push_back(list.items[i].text);
    return atoms;
}

// What a model returned for a reserved parameter, as the file would have
// written it: "(Tx_Rj 1e-12)", "(Tx_Jitter (Gaussian 0 1e-12))",
// "(Tx_Jitter Dual-Dirac -1e-12 1e-12 0)", "(Tx_Jitter (Table (-1e-12 0.5)
// (1e-12 0.5)))", or bare numbers in the Format the file declares.
Written FromReturned(const AmiNode& node, const AmiParameter& declared) {
    Written written;
    written.type = declared.type;
    const std::vector<std::string> atoms = Atoms(node);
    for (std::size_t i = node.FirstValueIndex(); i < node.items.size(); ++i) {
        const AmiNode& item = node.items[i];
        const std::string* name = item.Name();
        if (!item.is_list || name == nullptr || !IsJitterFormat(*name)) continue;
        written.format = *name;
        if (*name == "Table") {
            for (const AmiNode& row : item.items)
                if (row.is_list && (row.Name() == nullptr || *row.Name() != "Labels")) {
                    std::vector<std::string> cells;
                    for (const AmiNode& cell : row.items)
                        if (!cell.is_list) cells.push_back(cell.text);
                    written.rows.push_back(cells);
                }
        } else {
            written.values = Atoms(item);
        }
        return written;
    }
    if (!atoms.empty() && IsJitterFormat(atoms.front())) {
        written.format = atoms.front();
        written.values.assign(atoms.begin() + 1, atoms.end());
    } else if (IsJitterFormat(declared.format)) {
        written.format = declared.format;
        written.values = atoms;
    } else if (!atoms.empty()) {
        written.format = "Value";
        written.values = {atoms.front()};
    }
    return written;
}

class AmiReader {
public:
    // `returned`: the values a model returned from AMI_Init, which replace
    // the file's but not the command line's.
    AmiReader(const std::string& source, bool receiver, ImpairmentSettings& into, bool returned)
        : source_(source), receiver_(receiver), returned_(returned), into_(into) {}

    // Whether the reader takes `name` on its side of the link.
    bool Knows(const std::string& name) const {
        if (name == (receiver_ ? "Rx_Clock_PDF" : "Tx_Jitter")) return true;
        for (const auto& [reserved, key] : Names())
            if (name == reserved) return true;
        return false;
    }

    void Read(const std::string& name, const Written& written) {
        if (name == (receiver_ ? "Rx_Clock_PDF" : "Tx_Jitter")) {
            ReadPdf(name, written);
            return;
        }
        if (receiver_ && name == "Rx_Noise") {
            // What the model returned replaces the file's noise whole.
            if (returned_) ForgetNoise();
            if (IsJitterFormat(written.format)) {
                ReadNoise(name, written);
                return;
            }
        }
        for (const auto& [reserved, key] : Names())
            if (name == reserved) ReadScalar(name, key, written);
    }

private:
    std::span<const std::pair<const char*, const char*>> Names() const {
        static const std::pair<const char*, const char*> kTx[] = {
            {"Tx_DCD", "tx_dcd"}, {"Tx_Rj", "tx_rj"}, {"Tx_Dj", "tx_dj"}, {"Tx_Sj", "tx_sj"},
            {"Tx_Sj_Frequency", "tx_sj_frequency"}};
        static const std::pair<const char*, const char*> kRx[] = {
            {"Rx_Receiver_Sensitivity", "rx_sensitivity"}, {"Rx_Rj", "rx_rj"}, {"Rx_Dj", "rx_dj"},
            {"Rx_Sj", "rx_sj"}, {"Rx_DCD", "rx_dcd"}, {"Rx_Noise", "rx_noise"}, {"Rx_GaussianNoise", "rx_noise"},
            {"Rx_UniformNoise", "rx_uniform_noise"}, {"Rx_Clock_Recovery_Mean", "cdr_mean"},
            {"Rx_Clock_Recovery_Rj", "cdr_rj"}, {"Rx_Clock_Recovery_Dj", "cdr_dj"},
            {"Rx_Clock_Recovery_Sj", "cdr_sj"}, {"Rx_Clock_Recovery_DCD", "cdr_dcd"}};
        return receiver_ ? std::span<const std::pair<const char*, const char*>>(kRx)
                         : std::span<const std::pair<const char*, const char*>>(kTx);
    }

    bool FromCommandLine(const std::string& key) const {
        const auto it = into_.values.find(key);
        return it != into_.values.end() && it->second.from.rfind("--", 0) == 0;
    }

    std::string What(const std::string& name) const { return source_ + ": " + name; }

    double Number(const std::string& name, const std::string& text) const {
        const std::optional<double> value = ParseAmiNumber(text);
        if (!value) throw UsageError(What(name) + ": '" + text + "' is not a number");
        return *value;
    }

    Unit TimeUnit(const std::string& name, const Written& written) const {
        if (written.type == "UI") return Unit::kUnitIntervals;
        if (written.type.empty() || written.type == "Float" || written.type == "Integer") return Unit::kSeconds;
        throw UsageError(What(name) + ": Type " + written.type + " is neither Float (seconds) nor UI");
    }

    void Put(const std::string& key, double value, Unit unit, const std::string& name) {
        // The command line wins; a returned value replaces the file's.
        if (into_.values.count(key) != 0 && (!returned_ || FromCommandLine(key))) return;
        into_.values[key] = Setting{value, unit, name + " in " + source_};
    }

    void ReadScalar(const std::string& name, const std::string& key, const Written& written) {
        // Declared without a value (a model that returns it as an output):
        // nothing to use here.
        if (written.format.empty() && written.values.empty()) return;
        static const char* const kScalarFormats[] = {"Value", "Range", "Corner", "List", "Increment", "Steps"};
        bool known = false;
        for (const char* format : kScalarFormats) known = known || written.format == format;
        if (!known)
            throw UsageError(What(name) + ": unknown Format " + (written.format.empty() ? "(none)" : written.format) +
                             " (a value is written Value, Range, Corner, List, Increment or Steps" +
                             (name == "Rx_Noise" ? "; a distribution Gaussian, Dual-Dirac, DjRj or Table)" : ")"));
        if (written.values.empty()) throw UsageError(What(name) + ": no value");
        const double value = Number(name, written.values.front());
        Unit unit = Unit::kVolts;
        if (key == "tx_sj_frequency") unit = Unit::kHertz;
        else if (key.find("noise") == std::string::npos && key != "rx_sensitivity") unit = TimeUnit(name, written);
        const bool signed_value = key == "tx_dcd" || key == "rx_dcd" || key == "cdr_dcd" || key == "cdr_mean";
        if (value < 0.0 && !signed_value) throw UsageError(What(name) + ": " + written.values.front() + " is negative");
        Put(key, value, unit, name);
    }

    // The first `count` numbers of a distribution's Format, the last a sigma.
    std::vector<double> DistributionNumbers(const std::string& name, const Written& written, std::size_t count) const {
        if (written.values.size() < count)
            throw UsageError(What(name) + ": Format " + written.format + " takes " + std::to_string(count) + " numbers");
        std::vector<double> out;
        for (std::size_t i = 0; i < count; ++i) out.push_back(Number(name, written.values[i]));
        if (out.back() < 0.0) throw UsageError(What(name) + ": the sigma " + written.values[count - 1] + " is negative");
        return out;
    }

    // A Format Table's rows: (Row_No Value Probability) or (Value Probability).
    JitterPoints DistributionTable(const std::string& name, const Written& written, Unit unit) const {
        JitterPoints table{{}, unit, "Table", name + " in " + source_};
        double total = 0.0;
        for (const std::vector<std::string>& row : written.rows) {
            if (row.size() < 2 || row.size() > 3)
                throw UsageError(What(name) + ": a table row holds a " + (unit == Unit::kVolts ? "value" : "time") +
                                 " and a probability");
            const double at = Number(name, row[row.size() - 2]);
            const double probability = Number(name, row.back());
            if (probability < 0.0) throw UsageError(What(name) + ": a probability " + row.back() + " is negative");
            table.rows.emplace_back(at, probability);
            total += probability;
        }
        if (table.rows.empty() || !(total > 0.0)) throw UsageError(What(name) + ": the Table has no rows");
        return table;
    }

    void ReadPdf(const std::string& name, const Written& written) {
        if (written.format.empty() && written.values.empty() && written.rows.empty()) return;
        const std::string side = receiver_ ? "rx_" : "tx_";
        const Unit unit = TimeUnit(name, written);
        // The command line's Rj or Dj replaces the file's description whole.
        const bool replaced = returned_ ? FromCommandLine(side + "rj") || FromCommandLine(side + "dj")
                                        : into_.values.count(side + "rj") != 0 || into_.values.count(side + "dj") != 0;
        std::optional<JitterPoints>& points = receiver_ ? into_.rx_points : into_.tx_points;
        if (returned_ && !replaced) {
            // What the model returned replaces the file's description whole.
            points.reset();
            for (const char* part : {"mean", "rj", "dj"})
                if (!FromCommandLine(side + part)) into_.values.erase(side + part);
        }
        const bool keep_points = returned_ ? replaced : replaced || points.has_value();
        ReadDistribution(name, written, unit, {side + "mean", side + "rj", side + "dj", true},
                         [&](JitterPoints read) {
                             if (!keep_points) points = std::move(read);
                         });
    }

    // Where a distribution's parts go: its centre, its sigma, a DjRj's
    // half-spread (also when nothing, if `zero_spread`).
    struct DistributionKeys {
        std::string mean, sigma, spread;
        bool zero_spread;
    };

    // A Gaussian, DjRj, Dual-Dirac or Table, as jitter and noise write them
    // alike; a dual Dirac's or a table's points go to `put_points`.
    void ReadDistribution(const std::string& name, const Written& written, Unit unit, const DistributionKeys& keys,
                          const std::function<void(JitterPoints)>& put_points) {
        const auto numbers = [&](std::size_t count) { return DistributionNumbers(name, written, count); };
        if (written.format == "Gaussian") {
            const std::vector<double> v = numbers(2);
            if (v[0] != 0.0) Put(keys.mean, v[0], unit, name);
            Put(keys.sigma, v[1], unit, name);
        } else if (written.format == "DjRj") {
            const std::vector<double> v = numbers(3);
            if (v[1] < v[0]) throw UsageError(What(name) + ": maxDj " + written.values[1] + " is below minDj " + written.values[0]);
            if (v[0] + v[1] != 0.0) Put(keys.mean, 0.5 * (v[0] + v[1]), unit, name);
            if (v[1] > v[0] || keys.zero_spread) Put(keys.spread, 0.5 * (v[1] - v[0]), unit, name);
            Put(keys.sigma, v[2], unit, name);
        } else if (written.format == "Dual-Dirac") {
            // The two Diracs' places and the sigma of each.
            const std::vector<double> v = numbers(3);
            put_points(JitterPoints{{{v[0], 0.5}, {v[1], 0.5}}, unit, "Dual-Dirac", name + " in " + source_});
            Put(keys.sigma, v[2], unit, name);
        } else if (written.format == "Table") {
            put_points(DistributionTable(name, written, unit));
        } else {
            throw UsageError(What(name) + ": unknown Format " + (written.format.empty() ? "(none)" : written.format) +
                             " (jitter is written Gaussian, Dual-Dirac, DjRj or Table)");
        }
    }

    // The receiver's noise written as a distribution, in volts: its sigma
    // is the noise's as a plain value would be, its centre a mean that
    // shifts every sample, a DjRj's spread a uniform, a dual Dirac's or a
    // table's values points with their probabilities.
    void ReadNoise(const std::string& name, const Written& written) {
        // The command line's noise replaces the file's distribution whole.
        if (FromCommandLine("rx_noise")) return;
        ReadDistribution(name, written, Unit::kVolts, {"rx_noise_mean", "rx_noise", "rx_noise_dj", false},
                         [&](JitterPoints points) {
                             if (!into_.rx_noise_points) into_.rx_noise_points = std::move(points);
                         });
    }

    // Every part of the noise that Rx_Noise may have written, but not what
    // the command line gave.
    void ForgetNoise() {
        if (FromCommandLine("rx_noise")) return;
        into_.rx_noise_points.reset();
        for (const char* key : {"rx_noise", "rx_noise_mean", "rx_noise_dj"}) {
            const auto it = into_.values.find(key);
            if (it != into_.values.end() && it->second.from.rfind("Rx_Noise ", 0) == 0) into_.values.erase(it);
        }
    }

    std::string source_;
    bool receiver_;
    bool returned_;
    ImpairmentSettings& into_;
};

}  // namespace

void ReadAmiImpairments(const AmiFile& file, const std::string& source, bool receiver, ImpairmentSettings& into) {
    AmiReader reader(source, receiver, into, false);
    for (const AmiParameter& parameter : file.reserved) reader.Read(parameter.path, FromParameter(parameter));
}

std::vector<std::string> ReadReturnedImpairments(const AmiFile& file, const std::string& parameters_out,
                                                 const std::string& source, bool receiver, ImpairmentSettings& into) {
    AmiReader reader(source, receiver, into, true);
    std::vector<const AmiParameter*> declared;
    for (const AmiParameter& parameter : file.reserved)
        if ((parameter.usage == "Out" || parameter.usage == "InOut") && reader.Knows(parameter.path))
            declared.push_back(&parameter);
    // The PDF first: it replaces the file's description whole, and an Rj or
    // Dj returned beside it then refines it.
    std::stable_partition(declared.begin(), declared.end(), [&](const AmiParameter* parameter) {
        return parameter->path == (receiver ? "Rx_Clock_PDF" : "Tx_Jitter");
    });
    std::vector<std::string> warnings;
    if (declared.empty()) return warnings;
    std::optional<AmiTree> tree;
    if (!parameters_out.empty()) {
        try {
            tree = ReadAmiTree(JoinAmiLines(parameters_out), source);
        } catch (const AmisimError& e) {
            warnings.push_back(std::string(e.what()) + "; the jitter and noise it returns are not read");
            return warnings;
        }
    }
    for (const AmiParameter* parameter : declared) {
        const AmiNode* node = tree ? FindNamedList(tree->root, parameter->path) : nullptr;
        if (node == nullptr) {
            warnings.push_back(parameter->path + " is declared Usage " + parameter->usage + " but is not in " + source +
                               " after AMI_Init; " + (parameter->EffectiveDefault() || !parameter->format_values.empty()
                                                         ? "the .ami file's value is used"
                                                         : "it is left out"));
            continue;
        }
        try {
            reader.Read(parameter->path, FromReturned(*node, *parameter));
        } catch (const AmisimError& e) {
            // A value the model returned that cannot be used is the model's fault.
            throw ModelError(e.what());
        }
    }
    return warnings;
}

}  // namespace amisim
