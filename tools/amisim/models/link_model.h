#pragma once
// One model of the link as the command line names it: an .ibs file or a
// library, its .ami file, its parameter overrides; loaded, with its
// parameter string built from its own .ami defaults.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tools/amisim/models/ami_file.h"
#include "tools/amisim/models/ami_library.h"
#include "tools/amisim/models/model_flow.h"
#include "tools/amisim/models/model_instance.h"
#include "tools/amisim/models/parameter_string.h"

namespace amisim {

struct ModelChoice {
    std::string role;  // "Tx" or "Rx", for messages
    std::string path;  // .ibs or library
    std::string ami;   // overrides the .ibs's parameter file
    std::string model_name;
    std::string root;  // the parameter string's root without an .ami file
    std::vector<std::string> params;  // NAME=VALUE
};

struct LinkModel {
    ModelChoice choice;
    std::filesystem::path library_path;
    std::string origin;  // how the files were found, for the summary
    std::optional<AmiFile> ami;
    std::filesystem::path ami_path;  // the file `ami` was read from
    std::unique_ptr<AmiLibrary> library;
    std::vector<ParameterOverride> overrides;
    std::vector<std::string> warnings;  // about the files, printed once

    ModelFlow flow;  // how the flows drive it

    // From the resolved flow; a model built without one (a built-in) falls
    // back on what its .ami file says.
    bool ReturnsImpulse() const {
        if (flow.init_returns_impulse.value) return *flow.init_returns_impulse.value;
        return ami && ami->init_returns_impulse.value_or(false);
    }
    bool HasGetWave() const {
        if (flow.getwave_exists.value) return *flow.getwave_exists.value;
        return !ami || ami->getwave_exists.value_or(true);
    }
    // The parameter string with these overrides on top of the choice's own.
    ParameterString Parameters(const std::vector<ParameterOverride>& extra = {}) const;
    // Whether the .ami file declares an input parameter of this path.
    bool Declares(const std::string& path) const;
    // A fresh instance of the model, hosted as `hosting` says; `role` names
    // it in diagnoses ("Tx", "Rx", or empty for a lone model).
    std::unique_ptr<ModelInstance> NewInstance(const std::string& role, double sample_interval, double bit_time,
                                               const ModelHosting& hosting) const;
};

// Resolves the files and loads the library; usage errors for missing or
// unreadable files, model errors for a library that does not load.
// With `hosting` out of process, the library is loaded only in a worker
// (a library whose loading crashes takes the worker down, not amisim), and
// `library` stays null.
LinkModel LoadLinkModel(const ModelChoice& choice, const ModelHosting* hosting = nullptr);

// A model's message as the summary shows it: each line indented under the
// label, blank lines and trailing blanks left out.
std::string IndentMessage(const std::string& message, std::size_t indent);

}  // namespace amisim
