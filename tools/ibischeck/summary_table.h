#pragma once
// --summary: one line per checked file and the totals.

#include <cstdio>
#include <vector>

#include "tools/ibischeck/finding.h"

namespace ibischeck {

// Columns: file, IBIS version, errors, warnings, cautions, notes, verdict.
void PrintSummaryTable(const std::vector<FileResult>& results, FILE* out);

}  // namespace ibischeck
