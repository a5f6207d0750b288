// The summary table after all reports.

#include "tools/ibischeck/summary_table.h"

#include <algorithm>
#include <string>

#include "tools/ibischeck/result_json.h"

namespace ibischeck {

void PrintSummaryTable(const std::vector<FileResult>& results, FILE* out) {
    int nameWidth = 5;  // "Total"
    for (const FileResult& result : results) nameWidth = std::max(nameWidth, static_cast<int>(result.file.size()));

    std::fprintf(out, "\n%-*s  %-4s  %6s  %8s  %8s  %6s  %s\n", nameWidth, "File", "IBIS", "Errors", "Warnings",
                 "Cautions", "Notes", "Verdict");
    Counts total;
    int failed = 0;
    for (const FileResult& result : results) {
        const Counts& c = result.counts;
        std::fprintf(out, "%-*s  %-4s  %6d  %8d  %8d  %6d  %s\n", nameWidth, result.file.c_str(),
                     result.ibisVersion.c_str(), c.errors, c.warnings, c.cautions, c.notes, Verdict(result));
        total += c;
        if (!result.passed) ++failed;
    }
    const int passed = static_cast<int>(results.size()) - failed;
    std::fprintf(out, "%-*s  %-4s  %6d  %8d  %8d  %6d  %d Passed, %d Failed\n", nameWidth, "Total", "",
                 total.errors, total.warnings, total.cautions, total.notes, passed, failed);
}

}  // namespace ibischeck
