#include "tools/amisim/models/ami_parameter.h"
#include "tools/amisim/letter_case.h"

#include <charconv>
#include <cmath>

namespace amisim {

namespace {

bool HasTypicalValue(const std::string& format) {
    return format == "Range" || format == "List" || format == "Corner" || format == "Increment" ||
           format == "Steps";
}

}  // namespace

std::optional<std::string> AmiParameter::EffectiveDefault() const {
    // A fixed value is what the parameter is, whatever a Default beside it
    // (which that format does not allow) says.
    if (format == "Value" && !format_values.empty()) return format_values.front();
    if (default_) return default_;
    if (HasTypicalValue(format) && !format_values.empty()) return format_values.front();
    return std::nullopt;
}

std::string AmiParameter::Source() const {
    if (!EffectiveDefault()) return {};
    if (short_form) return "short form";
    if (format == "Value" && !format_values.empty()) return format_keyword ? "Format Value" : "Value";
    if (default_) return "Default";
    return (format_keyword ? "Format " : "") + format;
}

std::optional<double> ParseAmiNumber(std::string_view text) {
    if (text.empty()) return std::nullopt;
    // from_chars takes no leading "+", which a value may carry.
    if (text[0] == '+' && text.size() > 1 && text[1] != '-' && text[1] != '+') text.remove_prefix(1);
    double value = 0.0;
    const char* end = text.data() + text.size();
    const std::from_chars_result result = std::from_chars(text.data(), end, value);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<bool> ParseAmiBoolean(std::string_view text) {
    if (EqualsIgnoringCase(text, "true")) return true;
    if (EqualsIgnoringCase(text, "false")) return false;
    return std::nullopt;
}

}  // namespace amisim
