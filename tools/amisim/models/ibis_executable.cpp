#include "tools/amisim/models/ibis_executable.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/letter_case.h"
#include "tools/amisim/models/ibis_words.h"

namespace amisim {

namespace {

using ibis_words::KeywordKey;
using ibis_words::Words;

// "Linux_gcc_64" into its three parts; false for any other shape.
bool SplitPlatform(const std::string& text, ExecutableLine& line) {
    const std::size_t first = text.find('_');
    const std::size_t second = first == std::string::npos ? first : text.find('_', first + 1);
    if (second == std::string::npos || text.find('_', second + 1) != std::string::npos) return false;
    line.platform = text.substr(0, first);
    line.compiler = text.substr(first + 1, second - first - 1);
    const std::string bits = text.substr(second + 1);
    if (line.platform.empty() || line.compiler.empty() || bits.empty() ||
        !std::all_of(bits.begin(), bits.end(), [](unsigned char c) { return std::isdigit(c); }) ||
        bits.size() > 3)
        return false;
    line.bits = std::stoi(bits);
    return true;
}

std::string Describe(const ExecutableLine& line) {
    return line.platform + "_" + line.compiler + "_" + std::to_string(line.bits);
}

}  // namespace

std::vector<ExecutableLine> ReadExecutableLines(std::istream& ibs) {
    std::vector<ExecutableLine> lines;
    char comment = '|';
    std::string model;
    bool in_algorithmic_model = false;
    int number = 0;
    for (std::string text; std::getline(ibs, text);) {
        ++number;
        if (!text.empty() && text.back() == '\r') text.pop_back();
        if (!text.empty() && text.front() == '[') {
            const std::size_t close = text.find(']');
            if (close == std::string::npos) continue;
            const std::string key = KeywordKey(text.substr(1, close - 1));
            const std::string rest = text.substr(close + 1);
            if (key == "comment_char") {
                // [Comment Char] #_char: the new character comes first.
                const std::vector<std::string> words = Words(rest);
                if (!words.empty() && words[0].size() == 6 && words[0].substr(1) == "_char")
                    comment = words[0][0];
                continue;
            }
            const std::size_t cut = rest.find(comment);
            const std::vector<std::string> words =
                Words(cut == std::string::npos ? rest : rest.substr(0, cut));
            in_algorithmic_model = key == "algorithmic_model";
            if (key == "model") model = words.empty() ? std::string() : words[0];
            continue;
        }
        if (!in_algorithmic_model) continue;
        const std::size_t cut = text.find(comment);
        const std::vector<std::string> words =
            Words(cut == std::string::npos ? text : text.substr(0, cut));
        if (words.size() != 4 || words[0] != "Executable") continue;
        ExecutableLine line;
        if (!SplitPlatform(words[1], line)) continue;
        line.model = model;
        line.library = words[2];
        line.ami_file = words[3];
        line.line = number;
        lines.push_back(std::move(line));
    }
    return lines;
}

HostPlatform ThisHost() {
#if defined(__linux__)
    const char* platform = "Linux";
#elif defined(__sun)
    const char* platform = "Solaris";
#elif defined(_WIN32)
    const char* platform = "Windows";
#else
    const char* platform = "Unknown";
#endif
#if defined(__clang__)
    const char* compiler = "clang";
#else
    const char* compiler = "gcc";
#endif
    return {platform, compiler, static_cast<int>(sizeof(void*) * 8)};
}

ResolvedModel ResolveIbsModel(const std::filesystem::path& ibs, const std::string& model_name,
                              const HostPlatform& host) {
    std::ifstream in(ibs, std::ios::binary);
    if (!in) throw UsageError(ibs.string() + ": cannot open the .ibs file");
    const std::vector<ExecutableLine> all = ReadExecutableLines(in);
    if (in.bad()) throw UsageError(ibs.string() + ": cannot read the .ibs file");
    if (all.empty())
        throw UsageError(ibs.string() + ": no [Algorithmic Model] with an Executable line");

    std::vector<std::string> models;
    for (const ExecutableLine& line : all)
        if (std::find(models.begin(), models.end(), line.model) == models.end())
            models.push_back(line.model);
    std::string chosen = model_name;
    if (chosen.empty()) {
        if (models.size() > 1) {
            std::string list;
            for (const std::string& m : models) list += (list.empty() ? "" : ", ") + m;
            throw UsageError(ibs.string() + ": several models have an [Algorithmic Model] (" + list +
                             "); choose one with --model");
        }
        chosen = models.front();
    } else if (std::find(models.begin(), models.end(), chosen) == models.end()) {
        throw UsageError(ibs.string() + ": no [Model] " + chosen +
                         " with an [Algorithmic Model] in this file");
    }

    const ExecutableLine* best = nullptr;
    std::string others;
    for (const ExecutableLine& line : all) {
        if (line.model != chosen) continue;
        if (EqualsIgnoringCase(line.platform, host.platform) && line.bits == host.bits) {
            // Any compiler of the platform shares its C calling convention;
            // the host's own is preferred when the file offers it.
            if (best == nullptr || (!EqualsIgnoringCase(best->compiler, host.compiler) &&
                                    EqualsIgnoringCase(line.compiler, host.compiler)))
                best = &line;
        } else {
            others += (others.empty() ? "" : ", ") + Describe(line);
        }
    }
    if (best == nullptr)
        throw UsageError(ibs.string() + ": model " + chosen + " has no Executable for " +
                         host.platform + " " + std::to_string(host.bits) + "-bit (it names " +
                         others + ")");

    const std::filesystem::path folder = ibs.parent_path();
    return {chosen, folder / best->library, folder / best->ami_file, *best};
}

}  // namespace amisim
