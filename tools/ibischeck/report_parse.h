#pragma once
// Splitting a captured report into its findings.

#include <string>
#include <vector>

#include "tools/ibischeck/finding.h"
#include "tools/ibischeck/report_capture.h"

namespace ibischeck {

// The findings of `text`, in report order, in either message style. A line
// is a message head only when a write starts with it (see ReportCapture);
// the lines that follow it inside the same write belong to its text, which
// is returned unwrapped: a text moved onto its own indented line is joined
// back, and a text that holds line breaks keeps them.
std::vector<Finding> ParseFindings(const std::string& text, const std::vector<ReportCapture::Write>& writes);

}  // namespace ibischeck
