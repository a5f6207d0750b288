#include "tools/amisim/channel/end_choice.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/channel/network.h"
#include "tools/amisim/figure_text.h"
#include "tools/amisim/models/ibis_analog.h"
#include "tools/amisim/models/ibis_executable.h"
#include "tools/amisim/models/ibis_termination.h"
#include "tools/amisim/letter_case.h"

namespace amisim {

namespace {

bool IsIbs(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    return Lowercase(extension) == ".ibs";
}

// The analog data of the model an .ibs run drives, or none for a library.
// The model itself loaded already; a file whose analog part cannot be read
// leaves the ends matched, with the reason in `origins`, rather than
// stopping a run that needs no ends.
std::optional<IbisAnalog> ModelAnalog(const ModelChoice& choice, std::vector<std::string>& origins) {
    if (choice.path.empty() || !IsIbs(choice.path)) return std::nullopt;
    try {
        const ResolvedModel resolved = ResolveIbsModel(choice.path, choice.model_name, ThisHost());
        std::ifstream in(choice.path, std::ios::binary);
        if (!in) throw UsageError(choice.path + ": cannot open the .ibs file");
        return ReadIbisAnalog(in, resolved.model, choice.path);
    } catch (const AmisimError& e) {
        origins.push_back(choice.role + " ends matched: " + e.what());
        return std::nullopt;
    }
}

std::string Where(const ModelChoice& choice, const IbisAnalog& analog) {
    return std::filesystem::path(choice.path).filename().string() + " [Model] " + analog.model;
}

}  // namespace

double ParseEndValue(const std::string& text, const std::string& option, bool allow_zero) {
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    const char* at = result.ptr;
    double scale = 1.0;
    if (result.ec == std::errc() && at != end) {
        switch (*at) {
        case 'f': scale = 1e-15; break;
        case 'p': scale = 1e-12; break;
        case 'n': scale = 1e-9; break;
        case 'u': scale = 1e-6; break;
        case 'm': scale = 1e-3; break;
        case 'k': scale = 1e3; break;
        case 'M': scale = 1e6; break;
        case 'G': scale = 1e9; break;
        default: break;
        }
        if (scale != 1.0) ++at;
    }
    const std::string unit(at, end);
    const bool unit_ok = unit.empty() || unit == "F" || unit == "ohm" || unit == "Ohm" || unit == "ohms";
    if (result.ec != std::errc() || !unit_ok || !std::isfinite(value) || value < 0.0 || (!allow_zero && value == 0.0))
        throw UsageError(option + " " + text + ": give a " + (allow_zero ? "" : "positive ") +
                         "value such as 45, 45ohm, 1.2p or 1.2e-12 (farads)");
    return value * scale;
}

AnalogEnds ChooseAnalogEnds(const EndOptions& options, const ModelChoice& tx, const ModelChoice* rx) {
    AnalogEnds ends;
    const std::optional<IbisAnalog> tx_analog = ModelAnalog(tx, ends.origins);
    const std::optional<IbisAnalog> rx_analog = rx != nullptr ? ModelAnalog(*rx, ends.origins) : std::nullopt;

    if (!options.tx_rs.empty()) {
        ends.tx_rs = ParseEndValue(options.tx_rs, "--tx-rs", true);
        ends.origins.push_back("Tx Rs " + Figure("%.4g", *ends.tx_rs) + " ohm from --tx-rs");
    } else if (tx_analog) {
        std::string why;
        if (const std::optional<OutputResistance> rs =
                EstimateOutputResistance(*tx_analog, kCommonReferenceOhms, why)) {
            ends.tx_rs = rs->ohms;
            ends.origins.push_back("Tx Rs " + Figure("%.4g", rs->ohms) + " ohm from " + Where(tx, *tx_analog) + ": " +
                                   rs->how);
        } else {
            ends.origins.push_back("Tx Rs matched to the channel: " + Where(tx, *tx_analog) + ": " + why);
        }
    }
    if (!options.tx_cs.empty()) {
        ends.tx_cs = ParseEndValue(options.tx_cs, "--tx-cs", true);
        ends.origins.push_back("Tx Cs " + Figure("%.4g", ends.tx_cs * 1e12) + " pF from --tx-cs");
    } else if (tx_analog && tx_analog->c_comp) {
        ends.tx_cs = *tx_analog->c_comp;
        ends.origins.push_back("Tx Cs " + Figure("%.4g", ends.tx_cs * 1e12) + " pF from " + Where(tx, *tx_analog) +
                               " " + tx_analog->c_comp_from + " (typical)");
    }
    if (!options.rx_rt.empty()) {
        ends.rx_rt = ParseEndValue(options.rx_rt, "--rx-rt", false);
        ends.origins.push_back("Rx Rt " + Figure("%.4g", *ends.rx_rt) + " ohm from --rx-rt");
    } else if (rx_analog) {
        std::string why;
        if (const std::optional<Termination> rt = EstimateTermination(*rx_analog, why)) {
            ends.rx_rt = rt->ohms;
            ends.origins.push_back("Rx Rt " + Figure("%.4g", rt->ohms) + " ohm from " + Where(*rx, *rx_analog) + " " +
                                   rt->how);
        } else {
            ends.origins.push_back("Rx Rt matched to the channel: " + Where(*rx, *rx_analog) + " " + why);
        }
    }
    if (!options.rx_cp.empty()) {
        ends.rx_cp = ParseEndValue(options.rx_cp, "--rx-cp", true);
        ends.origins.push_back("Rx Cp " + Figure("%.4g", ends.rx_cp * 1e12) + " pF from --rx-cp");
    } else if (rx_analog && rx_analog->c_comp) {
        ends.rx_cp = *rx_analog->c_comp;
        ends.origins.push_back("Rx Cp " + Figure("%.4g", ends.rx_cp * 1e12) + " pF from " + Where(*rx, *rx_analog) +
                               " " + rx_analog->c_comp_from + " (typical)");
    }
    return ends;
}

}  // namespace amisim
