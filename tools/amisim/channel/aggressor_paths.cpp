#include "tools/amisim/channel/aggressor_paths.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/channel/channel.h"
#include "tools/amisim/channel/network_transfer.h"
#include "tools/amisim/channel/touchstone.h"
#include "tools/amisim/letter_case.h"

namespace amisim {

namespace {

// Splits "KIND:REST" when the text starts with next or fext.
std::pair<std::string, std::string> SplitKind(const std::string& written) {
    const std::size_t colon = written.find(':');
    if (colon != std::string::npos) {
        const std::string kind = Lowercase(written.substr(0, colon));
        if (kind == "next" || kind == "fext") return {kind, written.substr(colon + 1)};
    }
    return {"", written};
}

bool LooksLikePorts(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= '0' && c <= '9') || c == ',';
    });
}

}  // namespace

NetworkAggressors AggressorsFromNetwork(const std::string& channel_path, const std::string& victim_ports,
                                        const std::vector<std::string>& written_options, const AnalogEnds& ends,
                                        double sample_interval) {
    NetworkAggressors result;
    if (written_options.empty()) return result;
    if (channel_path.empty() || !IsTouchstoneName(channel_path))
        throw UsageError("--aggressor takes its ports from the --channel Touchstone file; give one (or use "
                         "--aggressor-channel FILE)");
    const LoadedNetwork loaded = LoadNetwork(channel_path);
    const int ports = loaded.network.ports;
    std::vector<NetworkLane> lanes{ParseLane(victim_ports, ports, "--ports")};
    std::vector<NetworkPath> paths{NetworkPath{0, 0}};
    std::vector<std::string> kinds;
    for (const std::string& written : written_options) {
        const auto [kind, lane] = SplitKind(written);
        // An empty lane would read as the default one, the victim's own.
        if (kind.empty() || lane.empty())
            throw UsageError("--aggressor " + written + ": write next:PORTS or fext:PORTS, PORTS the aggressor lane's "
                             "in+,in-,out+,out- (in,out for a single-ended file)");
        lanes.push_back(ParseLane(lane, ports, "--aggressor " + written));
        paths.push_back(NetworkPath{lanes.size() - 1, 0});
        kinds.push_back(kind);
    }
    CheckLanes(lanes, ports, "--ports and --aggressor");
    std::vector<Channel> channels =
        TransferChannels(loaded.network, lanes, ends, paths, sample_interval, channel_path);
    result.victim_taps = std::move(channels[0].taps);
    for (std::size_t i = 1; i < channels.size(); ++i) {
        AggressorPath path;
        path.kind = kinds[i - 1];
        path.source = loaded.name + " " + channels[i].name;
        path.taps = std::move(channels[i].taps);
        path.warnings = std::move(channels[i].warnings);
        result.aggressors.push_back(std::move(path));
    }
    return result;
}

AggressorPath LoadAggressorChannel(const std::string& written, const AnalogEnds& ends, double sample_interval) {
    const auto [kind, rest] = SplitKind(written);
    std::string file = rest, ports;
    const std::size_t colon = rest.rfind(':');
    if (colon != std::string::npos && LooksLikePorts(rest.substr(colon + 1))) {
        file = rest.substr(0, colon);
        ports = rest.substr(colon + 1);
    }
    const std::string extension = Lowercase(std::filesystem::path(file).extension().string());
    if (extension == ".csv" && !ports.empty())
        throw UsageError("--aggressor-channel " + written + ": a CSV transfer has no ports");
    if (extension != ".csv" && !IsTouchstoneName(file))
        throw UsageError("--aggressor-channel " + written +
                         ": an aggressor's channel is a Touchstone .sNp or .ts file or a .csv step or "
                         "impulse response");
    Channel channel = LoadChannel(file, ports, ends, sample_interval);
    AggressorPath path;
    path.kind = kind.empty() ? "unspecified" : kind;
    path.source = channel.description.substr(0, channel.description.find(','));
    path.taps = std::move(channel.taps);
    path.warnings = std::move(channel.warnings);
    return path;
}

}  // namespace amisim
