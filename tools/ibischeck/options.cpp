// The options of ibischeck and their help lines.

#include "tools/ibischeck/options.h"

namespace ibischeck {

void DescribeOptions(CLI::App& app, Options& options) {
    app.add_option("FILE", options.files,
                   "Files to check (.ibs .pkg .ebd .ami by extension, others as .ibs) and folders of them")
        ->type_name("");
    app.add_flag("-q,--quiet", options.quiet, "Print no banner");
    app.add_flag("--coded", options.coded, "Print each finding with its level letter and four-digit code");
    app.add_flag("--accept-version-1", options.acceptVersion1, "Accept [IBIS Ver] 1.x");
    app.add_flag("--force-version-5", options.forceVersion5, "Check every file as IBIS 5.0, whatever its [IBIS Ver]");
    app.add_flag("--skip-file-name-checks", options.skipFileNameChecks,
                 "Do not check the characters and periods of [File Name]");
    app.add_option("--format", options.format, "text (the report, default), json (JSON Lines) or sarif (SARIF 2.1.0)")
        ->type_name("FORMAT")
        ->check(CLI::IsMember({"text", "json", "sarif"}).description(""));
    app.add_flag("-r,--recursive", options.recursive, "Check the subfolders of a folder too");
    app.add_option("-j,--jobs", options.jobs, "Check N files at once, each in a process of its own")
        ->type_name("N")
        ->check(CLI::Range(1, 1024).description(""));
    app.add_option("--fail-on", options.failOn, "Exit 1 on a finding at or above: error (default), warning, caution")
        ->type_name("LEVEL")
        ->check(CLI::IsMember({"error", "warning", "caution"}).description(""));
    app.add_option("--explain", options.explain, "Print the texts and levels of a message code and exit")
        ->type_name("CODE");
    app.add_flag("--summary", options.summary, "After all files, print a table of their counts and verdicts");
}

Level FailLevel(const Options& options) {
    if (options.failOn == "warning") return Level::Warning;
    if (options.failOn == "caution") return Level::Caution;
    return Level::Error;
}

}  // namespace ibischeck
