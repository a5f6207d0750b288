#pragma once
// The analog side of one [Model] of an .ibs file, as far as a link's ends
// need it: the pad capacitance (C_comp, typical), the supplies, the
// termination resistors, the [Pullup]/[Pulldown] I-V tables, from which
// the driver's output resistance is estimated, and the clamp tables, in
// which a receiver's on-die termination is often written.

#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace amisim {

// A typical-column I-V table: pin (or reference-relative) voltage against
// the current into the pin.
struct IvTable {
    std::vector<double> voltage, current;
    bool empty() const { return voltage.size() < 2; }
    // The current at `v`, linear between points; none outside the table.
    std::optional<double> CurrentAt(double v) const;
};

struct IbisAnalog {
    std::string model;
    std::string model_type;
    std::optional<double> c_comp;  // farads, typical; C_comp, or the sum of its split parts
    std::string c_comp_from;       // "C_comp", or "C_comp_pullup + ..."
    std::optional<double> voltage_range, pullup_reference, pulldown_reference;
    std::optional<double> rgnd, rpower, rref, vref;
    IvTable pullup, pulldown;
    // [GND Clamp] voltages run from its reference up to the pin, [POWER
    // Clamp] voltages from the pin up to its reference.
    IvTable gnd_clamp, power_clamp;
    std::optional<double> gnd_clamp_reference, power_clamp_reference;
};

// Reads the [Model] named `model` (case as IBIS compares names: exact).
// Throws a usage AmisimError naming `source` when there is no such model.
// Values it cannot read are left out, never guessed: the .ibs checker
// judges the file.
IbisAnalog ReadIbisAnalog(std::istream& ibs, const std::string& model, const std::string& source);

// An IBIS number: "1.5", "1.5pF", "-20mA", "1e-3"; none for "NA" or text.
std::optional<double> ParseIbisNumber(const std::string& text);

struct OutputResistance {
    double ohms = 0.0;
    std::string how;  // for the summary: which tables, at what point
};
// The driver's output resistance: the slope of [Pullup] and [Pulldown]
// (their mean when both exist) where each drives its load: the model's
// Rref to Vref when given, else `load_ohms` to half the supply. None, with
// the reason in `why`, when the tables cannot give one.
std::optional<OutputResistance> EstimateOutputResistance(const IbisAnalog& analog, double load_ohms,
                                                         std::string& why);

}  // namespace amisim
