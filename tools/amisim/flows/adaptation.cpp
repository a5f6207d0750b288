#include "tools/amisim/flows/adaptation.h"

#include <charconv>
#include <map>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/models/ami_file.h"
#include "tools/amisim/models/ami_tree.h"

namespace amisim {

namespace {

// A number as the parameter language writes one, the whole atom.
bool ParseNumber(const std::string& text, double& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end;
}

class Collector {
public:
    explicit Collector(Adaptation& adaptation) : adaptation_(adaptation) {}

    void Walk(const AmiNode& node, const std::string& prefix, double time) {
        for (std::size_t i = node.FirstValueIndex(); i < node.items.size(); ++i) {
            const AmiNode& child = node.items[i];
            const std::string* name = child.is_list ? child.Name() : nullptr;
            if (name == nullptr) continue;
            const std::string path = prefix.empty() ? *name : prefix + "." + *name;
            std::vector<double> numbers;
            for (std::size_t v = child.FirstValueIndex(); v < child.items.size(); ++v) {
                const AmiNode& item = child.items[v];
                double number = 0.0;
                if (!item.is_list && !item.quoted && ParseNumber(item.text, number)) numbers.push_back(number);
            }
            if (numbers.size() == 1) Add(path, time, numbers[0]);
            else
                for (std::size_t k = 0; k < numbers.size(); ++k) Add(path + "[" + std::to_string(k) + "]", time, numbers[k]);
            Walk(child, path, time);
        }
    }

private:
    void Add(const std::string& name, double time, double value) {
        auto [at, added] = index_.try_emplace(name, adaptation_.series.size());
        if (added) adaptation_.series.push_back({name, {}, {}});
        AdaptationSeries& series = adaptation_.series[at->second];
        series.time.push_back(time);
        series.value.push_back(value);
    }

    Adaptation& adaptation_;
    std::map<std::string, std::size_t> index_;
};

}  // namespace

Adaptation AdaptationFromReports(const std::vector<ParametersOutReport>& reports) {
    Adaptation adaptation;
    Collector collector(adaptation);
    for (const ParametersOutReport& report : reports) {
        try {
            const AmiTree tree = ReadAmiTree(JoinAmiLines(report.text), "AMI_parameters_out");
            collector.Walk(tree.root, "", report.time);
        } catch (const AmisimError&) {
            ++adaptation.unreadable;
        }
    }
    return adaptation;
}

}  // namespace amisim
