#include "tools/amisim/channel/aggressor_paths.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/channel/channel_csv.h"

namespace amisim {

namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool IsKind(const std::string& text) { return text == "next" || text == "fext"; }

// Splits "KIND:REST" when the text starts with a kind.
std::pair<std::string, std::string> SplitKind(const std::string& spec) {
    const std::size_t colon = spec.find(':');
    if (colon != std::string::npos && IsKind(Lower(spec.substr(0, colon))))
        return {Lower(spec.substr(0, colon)), spec.substr(colon + 1)};
    return {"", spec};
}

bool LooksLikePorts(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= '0' && c <= '9') || c == ',';
    });
}

AggressorPath FromResponse(const FrequencyResponse& response, double sample_interval, const std::string& source) {
    ImpulseConversion conversion = ImpulseFromResponse(response, sample_interval, source);
    AggressorPath path;
    path.source = source;
    path.taps = std::move(conversion.taps);
    // A crosstalk path's gain is far below one: only causality and range
    // warnings mean anything here.
    for (std::string& warning : conversion.warnings)
        if (warning.find("not passive") == std::string::npos) path.warnings.push_back(std::move(warning));
    return path;
}

std::string PortText(const PortGroups& groups) {
    std::string text;
    for (const std::vector<int>* side : {&groups.in, &groups.out})
        for (int port : *side) text += (text.empty() ? "" : ",") + std::to_string(port);
    return text;
}

}  // namespace

PortGroups ParsePortGroups(const std::string& text, int ports, const std::string& option) {
    std::vector<int> values;
    std::size_t at = 0;
    bool ok = !text.empty();
    while (ok && at <= text.size()) {
        std::size_t end = text.find(',', at);
        if (end == std::string::npos) end = text.size();
        int value = 0;
        const auto result = std::from_chars(text.data() + at, text.data() + end, value);
        ok = result.ec == std::errc() && result.ptr == text.data() + end && value >= 1 && value <= ports;
        values.push_back(value);
        at = end + 1;
    }
    std::vector<int> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    ok = ok && (values.size() == 2 || values.size() == 4) &&
         std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end();
    if (!ok)
        throw UsageError(option + " " + text + ": give two ports (single-ended: in,out) or four (differential: "
                         "in+,in-,out+,out-), distinct, each from 1 to " + std::to_string(ports));
    PortGroups groups;
    const std::size_t half = values.size() / 2;
    groups.in.assign(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(half));
    groups.out.assign(values.begin() + static_cast<std::ptrdiff_t>(half), values.end());
    return groups;
}

FrequencyResponse PortTransfer(const TouchstoneData& data, const PortGroups& groups) {
    FrequencyResponse response;
    response.frequencies = data.frequencies;
    response.values.reserve(data.frequencies.size());
    for (std::size_t f = 0; f < data.frequencies.size(); ++f) {
        if (!groups.differential()) {
            response.values.push_back(data.At(f, groups.out[0], groups.in[0]));
            continue;
        }
        // The differential transfer of the mixed-mode conversion:
        // SDD = (S(o+,i+) - S(o+,i-) - S(o-,i+) + S(o-,i-)) / 2.
        const int ip = groups.in[0], in = groups.in[1], op = groups.out[0], on = groups.out[1];
        response.values.push_back(0.5 * (data.At(f, op, ip) - data.At(f, op, in) - data.At(f, on, ip) +
                                         data.At(f, on, in)));
    }
    return response;
}

std::vector<AggressorPath> AggressorsFromNetwork(const std::string& channel_path, const std::string& victim_ports,
                                                 const std::vector<std::string>& specs, double sample_interval) {
    std::vector<AggressorPath> paths;
    if (specs.empty()) return paths;
    if (channel_path.empty() || TouchstonePorts(channel_path) < 2)
        throw UsageError("--aggressor takes its ports from the --channel Touchstone file; give one (or use "
                         "--aggressor-channel FILE)");
    const TouchstoneData data = ReadTouchstoneFile(channel_path);
    // The victim's ports, when they read as groups, tell whether an
    // aggressor lands where the victim's receiver is.
    std::vector<int> victim_out;
    try {
        victim_out = ParsePortGroups(victim_ports, data.ports, "--ports").out;
    } catch (const AmisimError&) {
        victim_out.clear();
    }
    for (const std::string& spec : specs) {
        const auto [kind, ports] = SplitKind(spec);
        if (kind.empty())
            throw UsageError("--aggressor " + spec + ": write next:PORTS or fext:PORTS (PORTS in+,in-,out+,out-, or "
                             "in,out for a single-ended file)");
        const PortGroups groups = ParsePortGroups(ports, data.ports, "--aggressor " + kind + ":");
        const std::string name = std::filesystem::path(channel_path).filename().string();
        AggressorPath path =
            FromResponse(PortTransfer(data, groups), sample_interval, channel_path + " " + kind + " " + PortText(groups));
        path.kind = kind;
        path.source = name + " " + (groups.differential() ? "SDD " : "S ") + PortText(groups);
        if (!victim_out.empty() && victim_out != groups.out)
            path.warnings.push_back("--aggressor " + spec + ": its output ports are not the victim's (--ports " +
                                    victim_ports + "): its crosstalk lands elsewhere than the victim's receiver");
        paths.push_back(std::move(path));
    }
    return paths;
}

AggressorPath LoadAggressorChannel(const std::string& spec, double sample_interval) {
    auto [kind, rest] = SplitKind(spec);
    std::string file = rest, ports;
    const std::size_t colon = rest.rfind(':');
    if (colon != std::string::npos && LooksLikePorts(rest.substr(colon + 1))) {
        file = rest.substr(0, colon);
        ports = rest.substr(colon + 1);
    }
    const std::string option = "--aggressor-channel " + spec;
    const std::string name = std::filesystem::path(file).filename().string();
    const std::string extension = Lower(std::filesystem::path(file).extension().string());
    AggressorPath path;
    if (extension == ".csv") {
        if (!ports.empty()) throw UsageError(option + ": a CSV transfer has no ports");
        std::ifstream in(file, std::ios::binary);
        if (!in) throw UsageError(file + ": cannot open the aggressor's channel file");
        path.taps = ReadChannelCsv(in, sample_interval, file);
        path.source = name;
    } else if (const int count = TouchstonePorts(file); count >= 2) {
        if (ports.empty() && count != 2 && count != 4)
            throw UsageError(option + ": a " + std::to_string(count) + "-port needs its ports, FILE:in+,in-,out+,out-");
        const PortGroups groups =
            ParsePortGroups(ports.empty() ? (count == 2 ? "1,2" : "1,2,3,4") : ports, count, option + " ports");
        const TouchstoneData data = ReadTouchstoneFile(file);
        path = FromResponse(PortTransfer(data, groups), sample_interval, file);
        path.source = name + " " + (groups.differential() ? "SDD " : "S ") + PortText(groups);
    } else {
        throw UsageError(option + ": an aggressor's channel is a Touchstone .sNp file or a .csv step or impulse "
                         "response");
    }
    path.kind = kind.empty() ? "unspecified" : kind;
    return path;
}

}  // namespace amisim
