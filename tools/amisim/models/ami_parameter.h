#pragma once
// One parameter of an .ami file, reserved or model-specific, read from any
// of the ways files in the field write it:
//
//   (Default X)                      the value a host uses unless told otherwise
//   (Format Value X)   or (Value X)  a fixed value
//   (Format Range typ min max)       or (Range typ min max)
//   (Format List a b ...)            or (List a b ...)
//   (Format Corner typ slow fast)    or (Corner typ slow fast)
//   (Format Increment typ min max step), (Format Steps typ min max step)
//   (Format Table (Labels ...) (row) ...)  or (Table (row) ...)
//   (Format Gaussian mean sigma), (Format Dual-Dirac mean1 mean2 sigma),
//   (Format DjRj minDj maxDj sigma)  the jitter formats
//   (Ignore_Bits 7)                  the short form: values after the name
//
// Values stay as written; the helpers below turn them into numbers and
// booleans where a reader needs them.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace amisim {

struct AmiTable {
    std::vector<std::string> labels;             // from (Labels ...), when given
    std::vector<std::vector<std::string>> rows;  // each row's values as written
};

struct AmiParameter {
    // The name, or for a model-specific parameter inside a sub-branch its
    // dotted path below Model_Specific ("group.name").
    std::string path;
    // The same path as names, from the outermost group down to the
    // parameter's own: the nesting of the parameter string, which a name
    // holding a dot does not change.
    std::vector<std::string> nesting;
    std::string usage;                    // In, Out, Info, InOut; empty when not given
    std::string type;                     // Integer, Float, String, Boolean, Tap, UI; empty when not given
    std::optional<std::string> default_;  // the Default's first value
    // Value, Range, List, Corner, Increment, Steps, Table, Gaussian,
    // Dual-Dirac, DjRj, or whatever else the file names; empty when none.
    std::string format;
    bool format_keyword = false;  // written (Format Range ...) rather than (Range ...)
    bool short_form = false;      // written (name value ...): format is Value
    std::vector<std::string> format_values;  // the atoms after the format's name
    AmiTable table;                          // the rows of a Table format

    // Whether a host passes the parameter to AMI_Init: Usage In or InOut,
    // or a model-specific parameter in the short form, which says no more.
    bool IsInput() const { return usage == "In" || usage == "InOut" || (usage.empty() && short_form); }
    // The value a host uses when the user gives none: a Value format's
    // value; else the Default; else the typical value of Range, Corner,
    // Increment and Steps, or a List's first entry. None for a Table or a
    // jitter format, whose values are format_values and table.
    std::optional<std::string> EffectiveDefault() const;
    // How the value EffectiveDefault gives is written: "Default", "Value",
    // "Format Value", "Range", "Format Range", ..., "short form"; empty
    // when there is no such value.
    std::string Source() const;
};

// A number as .ami files write one (123, -1.5, 2e-12, +0.3); none for
// anything else, infinities and NaN included.
std::optional<double> ParseAmiNumber(std::string_view text);
// True or False, in any letter case.
std::optional<bool> ParseAmiBoolean(std::string_view text);

}  // namespace amisim
