// ibischeck: checks IBIS files (.ibs, .pkg, .ebd, .ami) and reports numbered
// findings and a Passed/Failed verdict for each, as the classic text report
// or as JSON Lines or a SARIF log.
//
// Exit status: 0 when no file has a finding at or above the --fail-on level
// (error: a program bug or an error, so 0 when every file Passed), 1 when
// one has, 2 on a usage error, an unknown --explain code, or when the
// checks could not be run.

#include <CLI/CLI.hpp>

#include <cstdio>
#include <string>
#include <vector>

#include "IbisParser/hdr.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"
#include "tools/ibischeck/check_worker.h"
#include "tools/ibischeck/explain.h"
#include "tools/ibischeck/file_list.h"
#include "tools/ibischeck/options.h"
#include "tools/ibischeck/result_json.h"
#include "tools/ibischeck/sarif_log.h"
#include "tools/ibischeck/summary_table.h"

namespace {

using namespace ibischeck;

constexpr int kExitPassed = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

void SetCheckerSwitches(const Options& options) {
    PARSE_SetQuiet(options.quiet);
    MSG_SetCodedStyle(options.coded);
    HDR_SetAcceptVersion1(options.acceptVersion1);
    HDR_SetForceVersion5(options.forceVersion5);
    HDR_SetSkipFileNameChecks(options.skipFileNameChecks);
}

void WriteJsonLines(const FileResult& result) {
    for (const Finding& finding : result.findings) std::puts(Dump(FindingObject(finding)).c_str());
    std::puts(Dump(SummaryObject(result)).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Checks IBIS files and reports numbered findings and a verdict for each.", "ibischeck"};
    app.set_version_flag("--version", std::string("ibischeck ") + IBISCHECK_VERSION);
    Options options;
    DescribeOptions(app, options);
    try {
        app.parse(argc, argv);
        if (options.explain.empty() && options.files.empty()) throw CLI::RequiredError("FILE");
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error);
        return code == 0 ? kExitPassed : kExitUsage;
    }

    if (!options.explain.empty()) {
        if (Explain(options.explain, stdout)) return kExitPassed;
        std::fprintf(stderr, "ibischeck: no message has the code %s\n", options.explain.c_str());
        return kExitUsage;
    }

    const FileList list = ExpandArguments(options.files, options.recursive);
    for (const std::string& folder : list.emptyFolders)
        std::fprintf(stderr, "ibischeck: no .ibs, .pkg, .ebd or .ami file in %s\n", folder.c_str());
    if (list.files.empty()) return kExitUsage;

    SetCheckerSwitches(options);
    const bool text = options.format == "text";
    SarifLog sarif;
    std::vector<FileResult> results;  // without reports, for the table and the exit status
    const bool ran = CheckInWorkers(list.files, options.jobs, [&](FileResult&& result) {
        if (text) {
            std::fwrite(result.report.data(), 1, result.report.size(), stdout);
        } else if (options.format == "json") {
            WriteJsonLines(result);
        } else {
            sarif.Add(result);
        }
        std::fflush(stdout);
        result.report.clear();
        result.findings.clear();
        results.push_back(std::move(result));
    });

    if (options.format == "sarif") std::puts(Dump(sarif.Build(IBISCHECK_VERSION), 2).c_str());
    // The table joins the report; next to JSON it would spoil the output.
    if (options.summary) PrintSummaryTable(results, text ? stdout : stderr);
    if (!ran) return kExitUsage;

    const Level failLevel = FailLevel(options);
    for (const FileResult& result : results)
        if (!result.completed || result.counts.AtOrAbove(failLevel) > 0) return kExitFailed;
    return kExitPassed;
}
