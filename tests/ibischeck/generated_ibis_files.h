#pragma once
// Generated .ibs files for the tests and the benchmark of checking whole
// folders: the shipped korvan_tx.ibs without its [Algorithmic Model] (so a
// file stands alone), under a name of its own, its model copied under other
// names and given pins so that a file is about the size of a vendor's file
// (thousands of lines, a dozen models), with one of a few variations so that
// the reports differ from file to file.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace ibischeck_generated {

namespace fs = std::filesystem;

// What a generated file carries: nothing, a tab (a warning), an unknown
// keyword (errors), an overlong line (an error), or an I/O model whose
// thresholds lie on the wrong side of Vmeas (cautions).
enum class Variation { Clean, Tab, UnknownKeyword, LongLine, Cautions };
constexpr int kVariations = 5;

// The shipped model file as a list of lines; `sourceDir` is the project's.
inline std::vector<std::string> TemplateLines(const fs::path& sourceDir) {
    std::ifstream in(sourceDir / "package" / "korvan_tx.ibs");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("[Algorithmic Model]", 0) == 0 || line.rfind("[End Algorithmic Model]", 0) == 0 ||
            line.rfind("Executable", 0) == 0)
            continue;
        lines.push_back(line);
    }
    return lines;
}

// Copies of the model besides the original.
constexpr int kModelCopies = 12;

inline std::string GeneratedText(const std::vector<std::string>& lines, const std::string& fileName,
                                 Variation variation) {
    // The model: from its [Model] line to the line before [End].
    std::vector<std::string> model;
    for (const std::string& line : lines) {
        if (line.rfind("[End]", 0) == 0) break;
        if (!model.empty() || line.rfind("[Model]", 0) == 0) model.push_back(line);
    }
    std::ostringstream text;
    for (const std::string& line : lines) {
        if (line.rfind("[Diff Pin]", 0) == 0) {
            for (int copy = 1; copy <= kModelCopies; ++copy)
                text << 10 + copy << "      OUT" << copy << "            korvan_tx_" << copy
                     << "     0.22      0.75nH    0.28pF\n";
        }
        if (line.rfind("[End]", 0) == 0) {
            for (int copy = 1; copy <= kModelCopies; ++copy) {
                text << "[Model]         korvan_tx_" << copy << "\n";
                for (size_t i = 1; i < model.size(); ++i) text << model[i] << "\n";
            }
        }
        if (line.rfind("[File Name]", 0) == 0) {
            text << "[File Name]     " << fileName << "\n";
            continue;
        }
        if (line.rfind("[End]", 0) == 0) {  // after the copies
            if (variation == Variation::UnknownKeyword) text << "[Not A Keyword]\nsome data\n";
            if (variation == Variation::LongLine) text << "| " << std::string(130, '-') << "\n";
        }
        if (variation == Variation::Cautions && line.rfind("Model_type", 0) == 0) {
            text << "Model_type      I/O\n";
            continue;
        }
        if (variation == Variation::Cautions && line.rfind("Vmeas", 0) == 0) {
            text << line << "\nVinl = 0.6\nVinh = 0.4\n";
            continue;
        }
        if (variation == Variation::Tab && line.rfind("[Manufacturer]", 0) == 0) {
            text << "[Manufacturer]\tKorvan\n";
            continue;
        }
        text << line << "\n";
    }
    return text.str();
}

// Writes `count` files model_000.ibs, model_001.ibs, ... into `folder`, the
// variations taking turns; returns their names in order.
inline std::vector<std::string> WriteGeneratedFiles(const fs::path& sourceDir, const fs::path& folder, int count) {
    const std::vector<std::string> lines = TemplateLines(sourceDir);
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "model_%03d.ibs", i);
        std::ofstream(folder / name) << GeneratedText(lines, name, static_cast<Variation>(i % kVariations));
        names.push_back(name);
    }
    return names;
}

}  // namespace ibischeck_generated
