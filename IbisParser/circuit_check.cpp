// The closing checks of a component's circuit calls: each call against the
// external circuit it names and the component's pins and nodes, then the
// electrical kind of every port, internal node, pin and node that the calls
// connect (a digital receiver needs a digital driver, a node needs two
// connections, a pin is never digital, ...).

#include <cstdio>
#include <initializer_list>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "IbisParser/circuit_internal.h"
#include "IbisParser/circuit_kinds.h"
#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt.h"
#include "IbisParser/msg.h"
#include "IbisParser/node.h"

namespace {

// A port of one converter line, with the kinds that line gave it.
struct ConverterPort {
    unsigned long line;
    std::string port;
    unsigned kinds;
};

// A port or internal node of one instance.
struct PortRecord {
    std::string name;
    unsigned kinds = 0;
    int connections = 0;
    int analogDrivers = 0;
    bool mapped = false;
    std::string mappedTo;
    std::vector<ConverterPort> converters;
};

// One circuit call of an existing external circuit.
struct Instance {
    unsigned long callLine;
    const CIRCUIT* circuit;
    std::vector<PortRecord> records;
    std::unordered_map<std::string, size_t> index;

    PortRecord& Record(const std::string& name) {
        auto found = index.find(name);
        if (found != index.end()) return records[found->second];
        index.emplace(name, records.size());
        records.push_back(PortRecord{});
        records.back().name = name;
        return records.back();
    }
    const PortRecord* Find(const std::string& name) const {
        auto found = index.find(name);
        return found == index.end() ? nullptr : &records[found->second];
    }
};

// A port of an instance joined to a pin or node.
struct Link {
    size_t instance;
    size_t record;
};

// A component pin or node that circuit calls reach.
struct Node {
    std::string name;
    bool isPin = false;
    unsigned kinds = 0;
    int connections = 0;
    std::vector<Link> links;
};

unsigned InitialKinds(const std::string& port, int language) {
    if (port == "A_gnd") return CIRCUIT_KIND_ANALOG_RESERVE | CIRCUIT_KIND_ANALOG | CIRCUIT_KIND_UNKNOWN;
    if (language == CIRCUIT_LANGUAGE_SPICE) return CIRCUIT_KIND_ANALOG;
    if (port == "D_drive" || port == "D_switch" || port == "D_enable")
        return CIRCUIT_KIND_DIGITAL | CIRCUIT_KIND_DIGITAL_RECEIVER | CIRCUIT_KIND_RESERVED_DIGITAL;
    if (port == "D_receive")
        return CIRCUIT_KIND_DIGITAL | CIRCUIT_KIND_DIGITAL_DRIVER | CIRCUIT_KIND_RESERVED_DIGITAL;
    return CIRCUIT_KIND_AMS_UNKNOWN;
}

void AddKinds(PortRecord& record, unsigned long line, const char* port, unsigned kinds) {
    if ((kinds & CIRCUIT_KIND_ANALOG_DRIVER) != 0 && ++record.analogDrivers > 1)
        kinds |= CIRCUIT_KIND_ANALOG_REFERENCE;
    record.kinds |= kinds;
    ++record.connections;
    record.converters.push_back(ConverterPort{line, port, kinds});
}

unsigned AnalogKinds(const char* port, bool a2d) {
    const bool gnd = std::string(port) == "A_gnd";
    if (a2d)
        return CIRCUIT_KIND_ANALOG_RECEIVER |
               (gnd ? CIRCUIT_KIND_ANALOG_RESERVE | CIRCUIT_KIND_ANALOG_REFERENCE | CIRCUIT_KIND_ANALOG_DRIVER : 0u);
    return CIRCUIT_KIND_ANALOG | CIRCUIT_KIND_ANALOG_DRIVER |
           (gnd ? CIRCUIT_KIND_ANALOG_RESERVE | CIRCUIT_KIND_ANALOG_REFERENCE : 0u);
}

void BuildInstance(Instance& instance) {
    const CIRCUIT_DESC& desc = instance.circuit->desc;
    for (const CIRCUIT_WORD* port = desc.ports; port != nullptr; port = port->next)
        instance.Record(port->text).kinds = InitialKinds(port->text, desc.language);
    const CIRCUIT_CORNER& typ = desc.corners[CIRCUIT_TYP];
    for (const CIRCUIT_CONV* conv = typ.d2a; conv != nullptr; conv = conv->next) {
        AddKinds(instance.Record(conv->digital), conv->line, conv->digital,
                 CIRCUIT_KIND_DIGITAL | CIRCUIT_KIND_DIGITAL_RECEIVER);
        for (const char* port : {conv->analog1, conv->analog2})
            AddKinds(instance.Record(port), conv->line, port, AnalogKinds(port, false));
    }
    for (const CIRCUIT_CONV* conv = typ.a2d; conv != nullptr; conv = conv->next) {
        AddKinds(instance.Record(conv->digital), conv->line, conv->digital,
                 CIRCUIT_KIND_DIGITAL | CIRCUIT_KIND_DIGITAL_DRIVER);
        for (const char* port : {conv->analog1, conv->analog2})
            AddKinds(instance.Record(port), conv->line, port, AnalogKinds(port, true));
    }
}

class ComponentCheck {
public:
    ComponentCheck(const CMPNT* component, const CIRCUIT* circuits) : component_(component) {
        // Newest first: the last one met is the first of its name in the file.
        for (const CIRCUIT* circuit = circuits; circuit != nullptr; circuit = circuit->next)
            circuits_[circuit->name] = circuit;
        for (const NODE* node = component->nodes; node != nullptr; node = node->next) NodeOf(node->name, false);
    }

    void Run() {
        // The component keeps its calls newest first, and they are checked
        // in that order.
        for (const CMPNT_CALL* call = component_->circuit_calls; call != nullptr; call = call->next)
            CheckCall(*call);
        for (size_t i = 0; i < instances_.size(); ++i) ReferencePairs(instances_[i], true);
        for (const Instance& instance : instances_) InternalNodes(instance);
        for (const Node& node : nodes_) CheckNode(node);
        for (size_t i = 0; i < instances_.size(); ++i) ReferencePairs(instances_[i], false);
    }

private:
    Node& NodeOf(const std::string& name, bool isPin) {
        auto found = nodeIndex_.find(name);
        if (found != nodeIndex_.end()) return nodes_[found->second];
        nodeIndex_.emplace(name, nodes_.size());
        nodes_.push_back(Node{});
        nodes_.back().name = name;
        nodes_.back().isPin = isPin;
        if (isPin) nodes_.back().kinds = CIRCUIT_KIND_ANALOG_PIN;
        return nodes_.back();
    }

    void ReferencePins(const CMPNT_CALL& call) {
        const int line = static_cast<int>(call.line);
        const char* pins[] = {call.ref_pin_1, call.ref_pin_2};
        for (int i = 0; i < 2; ++i) {
            if (pins[i][0] == '\0') continue;
            const PIN* pin = CMPNT_FindPin(component_, pins[i]);
            if (pin == nullptr)
                MSG_Error(1839, component_->name, line, pins[i]);
            else if (!CMN_StrEqualNoCase(pin->model_name, "CIRCUITCALL"))
                MSG_Error(i == 0 ? 1840 : 1841, line, pins[i]);
        }
        if (pins[0][0] != '\0' && std::string(pins[0]) == pins[1]) MSG_Error(1842, component_->name, line, pins[0]);
    }

    void CheckCall(const CMPNT_CALL& call) {
        const int line = static_cast<int>(call.line);
        auto circuit = circuits_.find(call.name);
        if (circuit == circuits_.end()) {
            MSG_Error(1838, line, call.name, component_->name);
            return;
        }
        ReferencePins(call);
        instances_.push_back(Instance{call.line, circuit->second, {}, {}});
        const size_t instanceIndex = instances_.size() - 1;
        Instance& instance = instances_.back();
        BuildInstance(instance);

        std::unordered_set<std::string> joined;
        for (const CIRCUIT_PORTMAP* entry = call.port_map; entry != nullptr; entry = entry->next) {
            const bool isPin = CMPNT_FindPin(component_, entry->node) != nullptr;
            if (!isPin && !NODE_IsDeclared(component_, entry->node)) {
                MSG_Error(1846, line, entry->node, component_->name);
                continue;
            }
            if (!CIRCUIT_HasPort(&instance.circuit->desc, entry->port)) {
                MSG_Error(1845, line, entry->port, instance.circuit->name);
                continue;
            }
            if (!joined.insert(std::string(entry->port) + '\x1f' + entry->node).second) {
                MSG_Error(1815, line, entry->port);
                continue;
            }
            PortRecord& record = instance.Record(entry->port);
            record.mapped = true;
            record.mappedTo = entry->node;
            Node& node = NodeOf(entry->node, isPin);
            node.kinds |= record.kinds;
            ++node.connections;
            node.links.push_back(Link{instanceIndex, instance.index[entry->port]});
            for (const ConverterPort& converter : record.converters) {
                node.kinds |= converter.kinds;
                if ((converter.kinds & CIRCUIT_KIND_ANALOG_DRIVER) != 0 &&
                    (converter.kinds & CIRCUIT_KIND_ANALOG_RECEIVER) != 0)
                    std::fprintf(MSG_GetOutput(), "DEBUG: A & D at %d %d\n", static_cast<int>(converter.line), line);
            }
        }
    }

    // Converter lines between two analog reference ports: the A_to_D lines
    // first, the D_to_A lines after the node checks.
    void ReferencePairs(const Instance& instance, bool a2d) {
        const CIRCUIT_CORNER& typ = instance.circuit->desc.corners[CIRCUIT_TYP];
        constexpr unsigned kShown =
            CIRCUIT_KIND_ANALOG_RESERVE | CIRCUIT_KIND_ANALOG_REFERENCE | CIRCUIT_KIND_ANALOG_DRIVER;
        for (const CIRCUIT_CONV* conv = a2d ? typ.a2d : typ.d2a; conv != nullptr; conv = conv->next) {
            const PortRecord* first = instance.Find(conv->analog1);
            const PortRecord* second = instance.Find(conv->analog2);
            if (first == nullptr || second == nullptr) continue;
            if ((first->kinds & CIRCUIT_KIND_ANALOG_REFERENCE) == 0 ||
                (second->kinds & CIRCUIT_KIND_ANALOG_REFERENCE) == 0)
                continue;
            const int callLine = static_cast<int>(instance.callLine);
            const int line = static_cast<int>(conv->line);
            if (a2d)
                MSG_Error(1816, callLine, line, conv->analog1, first->mappedTo.c_str(), conv->analog2,
                          second->mappedTo.c_str());
            else
                MSG_Error(1819, callLine, line, conv->analog1, first->mappedTo.c_str(), conv->analog2,
                          second->mappedTo.c_str(), CIRCUIT_KindText(first->kinds & kShown).c_str(),
                          CIRCUIT_KindText(second->kinds & kShown).c_str());
        }
    }

    void InternalNodes(const Instance& instance) {
        const int callLine = static_cast<int>(instance.callLine);
        const int circuitLine = static_cast<int>(instance.circuit->line);
        for (const PortRecord& record : instance.records) {
            if (record.mapped) continue;
            if (record.connections < 2 &&
                (record.kinds & (CIRCUIT_KIND_ANALOG_RESERVE | CIRCUIT_KIND_RESERVED_DIGITAL)) == 0)
                MSG_Error(1817, callLine, circuitLine, record.name.c_str(), CIRCUIT_KindText(record.kinds).c_str());
            if ((record.kinds & CIRCUIT_KIND_DIGITAL) != 0 && (record.kinds & CIRCUIT_KIND_ANALOG) != 0)
                MSG_Error(1818, record.name.c_str(), circuitLine);
        }
    }

    // The ports joined to `node` whose kinds meet `mask`, one entry each.
    std::string Connections(const Node& node, unsigned mask) const {
        std::string text;
        char entry[CMN_REPORT_LIMIT_MAX + 1];
        for (const Link& link : node.links) {
            const Instance& instance = instances_[link.instance];
            const PortRecord& record = instance.records[link.record];
            const int callLine = static_cast<int>(instance.callLine);
            if (!record.converters.empty()) {
                for (const ConverterPort& converter : record.converters) {
                    if ((converter.kinds & mask) == 0) continue;
                    std::snprintf(entry, sizeof entry,
                                  "\n        [CCALL] Line %d Node <%.1024s>, Conflicting port = Line <%d> Port "
                                  "<%.1024s> = %s",
                                  callLine, node.name.c_str(), static_cast<int>(converter.line),
                                  converter.port.c_str(), CIRCUIT_KindText(converter.kinds & mask).c_str());
                    text += entry;
                }
            } else if ((record.kinds & mask) != 0) {
                std::snprintf(entry, sizeof entry,
                              "\n        [CCALL] Line %d Node <%.1024s>, Conflicting port = Port <%.1024s> = %s",
                              callLine, node.name.c_str(), record.name.c_str(),
                              CIRCUIT_KindText(record.kinds & mask).c_str());
                text += entry;
            }
        }
        return text;
    }

    void CheckNode(const Node& node) {
        const char* cmpt = component_->name;
        const char* name = node.name.c_str();
        const unsigned kinds = node.kinds;
        const bool pin = (kinds & CIRCUIT_KIND_ANALOG_PIN) != 0;
        const bool ams = (kinds & CIRCUIT_KIND_AMS_UNKNOWN) != 0;
        constexpr unsigned kAll = 0xFFFFu;
        if (!pin && node.connections == 1)
            MSG_Error(1821, cmpt, name,
                      Connections(node, CIRCUIT_KIND_UNKNOWN | CIRCUIT_KIND_DIGITAL | CIRCUIT_KIND_ANALOG).c_str());
        else if (!pin && node.connections == 0)
            MSG_Warning(1822, cmpt, name, "");
        else if (pin && node.connections == 0)
            MSG_Error(1823, cmpt, name);
        if ((kinds & CIRCUIT_KINDS_DIGITAL) != 0 && (kinds & CIRCUIT_KINDS_ANALOG) != 0)
            MSG_Error(1824, cmpt, name, Connections(node, CIRCUIT_KINDS_DIGITAL | CIRCUIT_KINDS_ANALOG).c_str());
        const bool digitalDriver = (kinds & CIRCUIT_KIND_DIGITAL_DRIVER) != 0;
        const bool digitalReceiver = (kinds & CIRCUIT_KIND_DIGITAL_RECEIVER) != 0;
        if (digitalReceiver && !digitalDriver) {
            if (ams)
                MSG_Warning(1826, cmpt, name, Connections(node, kAll).c_str());
            else
                MSG_Error(1825, cmpt, name, Connections(node, kAll).c_str());
        }
        if (digitalDriver && !digitalReceiver) {
            if (ams)
                MSG_Warning(1828, cmpt, name, Connections(node, kAll).c_str());
            else
                MSG_Error(1827, cmpt, name, Connections(node, kAll).c_str());
        }
        if (pin && (kinds & CIRCUIT_KINDS_DIGITAL) != 0)
            MSG_Error(1834, cmpt, name, Connections(node, CIRCUIT_KINDS_DIGITAL | CIRCUIT_KIND_ANALOG_PIN).c_str());
    }

    const CMPNT* component_;
    std::unordered_map<std::string, const CIRCUIT*> circuits_;
    std::vector<Instance> instances_;
    std::vector<Node> nodes_;
    std::unordered_map<std::string, size_t> nodeIndex_;
};

}  // namespace

void CIRCUIT_CheckComponent(const CMPNT* component, const CIRCUIT* circuits) {
    if (component->circuit_calls == nullptr && component->nodes == nullptr) return;
    ComponentCheck check(component, circuits);
    check.Run();
}
