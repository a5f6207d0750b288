// ibischeck: checks IBIS files (.ibs, .pkg, .ebd, .ami) and reports numbered
// findings and a Passed/Failed verdict for each.
//
// Exit status: 0 when every file passed, 1 when any failed, 2 on a usage
// error.

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

#include "IbisParser/hdr.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"
#include "tools/ibischeck/check_file.h"

namespace {

constexpr int kExitPassed = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct Options {
    std::vector<std::string> files;
    bool quiet = false;
    bool coded = false;
    bool acceptVersion1 = false;
    bool forceVersion5 = false;
    bool skipFileNameChecks = false;
};

void DescribeOptions(CLI::App& app, Options& options) {
    app.add_option("FILE", options.files,
                   "Files to check; the kind comes from the extension (.ibs, .pkg, .ebd, .ami, any case), "
                   "any other name is checked as .ibs")
        ->required();
    app.add_flag("-q,--quiet", options.quiet, "Print no banner");
    app.add_flag("--coded", options.coded, "Print each finding with its level letter and four-digit code");
    app.add_flag("--accept-version-1", options.acceptVersion1, "Accept [IBIS Ver] 1.x");
    app.add_flag("--force-version-5", options.forceVersion5, "Check every file as IBIS 5.0, whatever its [IBIS Ver]");
    app.add_flag("--skip-file-name-checks", options.skipFileNameChecks,
                 "Do not check the characters and periods of [File Name]");
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Checks IBIS files and reports numbered findings and a verdict for each.", "ibischeck"};
    Options options;
    DescribeOptions(app, options);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error);
        return code == 0 ? kExitPassed : kExitUsage;
    }

    PARSE_SetQuiet(options.quiet);
    MSG_SetCodedStyle(options.coded);
    HDR_SetAcceptVersion1(options.acceptVersion1);
    HDR_SetForceVersion5(options.forceVersion5);
    HDR_SetSkipFileNameChecks(options.skipFileNameChecks);

    bool allPassed = true;
    for (const std::string& file : options.files)
        if (!IbischeckFile(file.c_str(), IbischeckKindOf(file.c_str()))) allPassed = false;
    return allPassed ? kExitPassed : kExitFailed;
}
