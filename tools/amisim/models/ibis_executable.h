#pragma once
// Finds the executable model of an .ibs file: the Executable lines of each
// [Algorithmic Model] section, and the one a host of this platform loads.

#include <filesystem>
#include <istream>
#include <string>
#include <vector>

namespace amisim {

// One "Executable platform_compiler_bits library parameter_file" line.
struct ExecutableLine {
    std::string model;     // the [Model] the section belongs to
    std::string platform;  // Linux, Windows, Solaris, ...
    std::string compiler;  // gcc, VisualStudio, ...
    int bits = 0;          // 32 or 64
    std::string library;   // as written, relative to the .ibs file's folder
    std::string ami_file;  // likewise
    int line = 0;          // line number in the .ibs file
};

// Reads every Executable line of every [Algorithmic Model] section, following
// [Comment Char] changes. Lines that are not of the expected form are passed
// over: checking them is ibischeck's job.
std::vector<ExecutableLine> ReadExecutableLines(std::istream& ibs);

struct HostPlatform {
    std::string platform;  // compared ignoring case
    std::string compiler;  // preferred among lines of the right platform and bits
    int bits;
};

// The platform this program was built for: Linux_gcc_64 on x86-64 Linux.
HostPlatform ThisHost();

struct ResolvedModel {
    std::string model;  // the [Model] name
    std::filesystem::path library;
    std::filesystem::path ami_file;
    ExecutableLine line;
};

// Picks the Executable line for `host` from the file's [Algorithmic Model]
// sections: of the model named `model_name`, or of the only model that has
// one when the name is empty. Throws a usage-or-file AmisimError when the
// file cannot be read, names no such model, has several models and no name
// was given, or has no line for this platform. Paths are made relative to
// the .ibs file's folder; their existence is checked by the caller.
ResolvedModel ResolveIbsModel(const std::filesystem::path& ibs, const std::string& model_name,
                              const HostPlatform& host);

}  // namespace amisim
