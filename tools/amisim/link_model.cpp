#include "tools/amisim/link_model.h"

#include <cctype>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/ibis_executable.h"

namespace fs = std::filesystem;

namespace amisim {

namespace {

bool IsIbsFile(const fs::path& path) {
    std::string extension = path.extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".ibs";
}

std::string Option(const ModelSpec& spec, const char* tx_name, const char* rx_name) {
    return spec.role == "Rx" ? rx_name : tx_name;
}

}  // namespace

LinkModel LoadLinkModel(const ModelSpec& spec) {
    LinkModel model;
    model.spec = spec;
    if (IsIbsFile(spec.path)) {
        const ResolvedModel resolved = ResolveIbsModel(spec.path, spec.model_name, ThisHost());
        model.library_path = resolved.library;
        model.ami = ReadAmiFile(resolved.ami_file);
        model.origin = " (model " + resolved.model + " of " + spec.path + ")";
    } else {
        if (!spec.model_name.empty())
            throw UsageError(Option(spec, "--model", "--rx-model") + " chooses among the models of an .ibs file; " +
                             spec.path + " is a library");
        model.library_path = spec.path;
    }
    if (!spec.ami.empty()) {
        model.ami = ReadAmiFile(spec.ami);
        model.origin += " (parameters from " + spec.ami + ")";
    }
    if (model.ami && !spec.root.empty() && spec.root != model.ami->root_name)
        model.warnings.push_back(Option(spec, "--root", "--rx-root") + " " + spec.root +
                                 " is not used: the .ami file names the root " + model.ami->root_name);
    if (!model.ami && spec.root.empty())
        model.warnings.push_back(spec.role + " has no .ami file: the parameter string's root, " +
                                 model.library_path.stem().string() + ", is guessed from the file name (" +
                                 Option(spec, "--root", "--rx-root") + " names it)");
    for (const std::string& text : spec.params) model.overrides.push_back(ParseOverride(text));
    // The parameters are checked before anything is loaded.
    (void)model.Parameters();
    model.library = std::make_unique<AmiLibrary>(model.library_path);
    return model;
}

ParameterString LinkModel::Parameters(const std::vector<ParameterOverride>& extra) const {
    std::vector<ParameterOverride> all = overrides;
    all.insert(all.end(), extra.begin(), extra.end());
    if (ami) return BuildParameterString(*ami, all);
    return BuildParameterString(spec.root.empty() ? library_path.stem().string() : spec.root, all);
}

bool LinkModel::Declares(const std::string& path) const {
    if (!ami) return false;
    const AmiParameter* parameter = ami->Find(path);
    return parameter != nullptr && parameter->IsInput();
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
