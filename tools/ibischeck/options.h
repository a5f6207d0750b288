#pragma once
// The command line of ibischeck.

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

#include "tools/ibischeck/finding.h"

namespace ibischeck {

struct Options {
    std::vector<std::string> files;
    bool quiet = false;
    bool coded = false;
    bool acceptVersion1 = false;
    bool forceVersion5 = false;
    bool skipFileNameChecks = false;
    std::string format = "text";
    bool recursive = false;
    int jobs = 1;
    std::string failOn = "error";
    std::string explain;
    bool summary = false;
};

// Every option, with one line of help each.
void DescribeOptions(CLI::App& app, Options& options);

// The least severe level that fails the run, from --fail-on.
Level FailLevel(const Options& options);

}  // namespace ibischeck
