#include "tools/amisim/models/link_model.h"

#include <cctype>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/models/ibis_executable.h"
#include "tools/amisim/models/isolation/isolated_instance.h"
#include "tools/amisim/reference_rx/reference_rx_model.h"
#include "tools/amisim/letter_case.h"

namespace fs = std::filesystem;

namespace amisim {

namespace {

bool IsIbsFile(const fs::path& path) {
    std::string extension = path.extension().string();
    return Lowercase(extension) == ".ibs";
}

std::string Option(const ModelChoice& choice, const char* tx_name, const char* rx_name) {
    return choice.role == "Rx" ? rx_name : tx_name;
}

}  // namespace

LinkModel LoadLinkModel(const ModelChoice& choice, const ModelHosting* hosting) {
    if (NamesReferenceReceiver(choice)) return LoadReferenceReceiver(choice);
    LinkModel model;
    model.choice = choice;
    if (IsIbsFile(choice.path)) {
        const ResolvedModel resolved = ResolveIbsModel(choice.path, choice.model_name, ThisHost());
        model.library_path = resolved.library;
        model.ami = ReadAmiFile(resolved.ami_file);
        model.ami_path = resolved.ami_file;
        model.origin = " (model " + resolved.model + " of " + choice.path + ")";
    } else {
        if (!choice.model_name.empty())
            throw UsageError(Option(choice, "--model", "--rx-model") + " chooses among the models of an .ibs file; " +
                             choice.path + " is a library");
        model.library_path = choice.path;
    }
    if (!choice.ami.empty()) {
        model.ami = ReadAmiFile(choice.ami);
        model.ami_path = choice.ami;
        model.origin += " (parameters from " + choice.ami + ")";
    }
    if (model.ami) model.warnings.insert(model.warnings.end(), model.ami->warnings.begin(), model.ami->warnings.end());
    if (model.ami && !choice.root.empty() && choice.root != model.ami->root_name)
        model.warnings.push_back(Option(choice, "--root", "--rx-root") + " " + choice.root +
                                 " is not used: the .ami file names the root " + model.ami->root_name);
    if (!model.ami && choice.root.empty())
        model.warnings.push_back(choice.role + " has no .ami file: the parameter string's root, " +
                                 model.library_path.stem().string() + ", is guessed from the file name (" +
                                 Option(choice, "--root", "--rx-root") + " names it)");
    for (const std::string& text : choice.params) model.overrides.push_back(ParseOverride(text));
    // The parameters are checked before anything is loaded.
    (void)model.Parameters();
    bool has_get_wave = true;
    if (hosting != nullptr && !hosting->in_process) {
        std::error_code error;
        if (!fs::is_regular_file(model.library_path, error))
            throw UsageError(model.library_path.string() + ": no such model library");
        const isolation::IsolatedInstance probe(model.library_path, choice.role, 1.0, 1.0, *hosting);
        has_get_wave = probe.has_get_wave();
    } else {
        model.library = std::make_unique<AmiLibrary>(model.library_path);
        has_get_wave = model.library->has_get_wave();
    }
    model.flow = ResolveModelFlow(model.ami ? &*model.ami : nullptr, has_get_wave, choice.role,
                                  model.library_path.string());
    model.warnings.insert(model.warnings.end(), model.flow.warnings.begin(), model.flow.warnings.end());
    return model;
}

ParameterString LinkModel::Parameters(const std::vector<ParameterOverride>& extra) const {
    std::vector<ParameterOverride> all = overrides;
    all.insert(all.end(), extra.begin(), extra.end());
    if (ami) {
        // DLL_Path: the folder the library lies in, for a model that reads
        // files of its own beside it.
        std::error_code error;
        const fs::path folder = fs::absolute(library_path, error).parent_path();
        return BuildParameterString(*ami, all, {{"DLL_Path", (error ? library_path.parent_path() : folder).string()}});
    }
    return BuildParameterString(choice.root.empty() ? library_path.stem().string() : choice.root, all);
}

bool LinkModel::Declares(const std::string& path) const {
    if (!ami) return false;
    const AmiParameter* parameter = ami->Find(path);
    return parameter != nullptr && parameter->IsInput();
}

std::unique_ptr<ModelInstance> LinkModel::NewInstance(const std::string& role, double sample_interval,
                                                      double bit_time, const ModelHosting& hosting) const {
    return MakeModelInstance(library_path, library.get(), role, sample_interval, bit_time, hosting);
}

std::string IndentMessage(const std::string& message, std::size_t indent) {
    std::string out;
    std::size_t start = 0;
    while (start <= message.size()) {
        std::size_t end = message.find('\n', start);
        if (end == std::string::npos) end = message.size();
        std::string line = message.substr(start, end - start);
        while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
        if (!line.empty()) {
            if (!out.empty()) {
                out.push_back('\n');
                out.append(indent, ' ');
            }
            out.append(line);
        }
        start = end + 1;
    }
    return out.empty() ? "(none)" : out;
}

}  // namespace amisim
