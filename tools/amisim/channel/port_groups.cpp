#include "tools/amisim/channel/port_groups.h"

#include <charconv>
#include <set>

#include "tools/amisim/amisim_error.h"

namespace amisim {

NetworkLane ParseLane(const std::string& text, int ports, const std::string& option) {
    if (text.empty()) {
        if (ports == 2) return {{1, 0}, {2, 0}};
        if (ports >= 4) return {{1, 2}, {3, 4}};
        throw UsageError(option + ": a " + std::to_string(ports) + "-port file needs its ports named");
    }
    std::vector<int> numbers;
    const char* at = text.data();
    const char* end = text.data() + text.size();
    bool ok = true;
    while (ok) {
        int value = 0;
        const auto result = std::from_chars(at, end, value);
        ok = result.ec == std::errc() && value >= 1 && value <= ports;
        numbers.push_back(value);
        at = result.ptr;
        if (!ok || at == end) break;
        ok = *at == ',';
        ++at;
    }
    const std::set<int> distinct(numbers.begin(), numbers.end());
    if (!ok || (numbers.size() != 2 && numbers.size() != 4) || distinct.size() != numbers.size())
        throw UsageError(option + " " + text + ": give in+,in-,out+,out- for a pair or in,out for single ports, "
                         "each a different port of the " + std::to_string(ports) + "-port file");
    if (numbers.size() == 2) return {{numbers[0], 0}, {numbers[1], 0}};
    return {{numbers[0], numbers[1]}, {numbers[2], numbers[3]}};
}

void CheckLanes(const std::vector<NetworkLane>& lanes, int ports, const std::string& source) {
    std::set<int> used;
    for (const NetworkLane& lane : lanes)
        for (const PortGroup* group : {&lane.in, &lane.out})
            for (int port : {group->plus, group->minus}) {
                if (port == group->minus && !group->Differential()) continue;
                if (port < 1 || port > ports)
                    throw UsageError(source + ": port " + std::to_string(port) + " is not one of its " +
                                     std::to_string(ports));
                if (!used.insert(port).second)
                    throw UsageError(source + ": port " + std::to_string(port) +
                                     " is named twice; each port carries one end");
            }
}

std::string DescribeGroup(const PortGroup& group) {
    return group.Differential() ? std::to_string(group.plus) + "," + std::to_string(group.minus)
                                : std::to_string(group.plus);
}

}  // namespace amisim
