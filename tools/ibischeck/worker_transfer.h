#pragma once
// How a worker process hands its results to the command: JSON Lines, one
// object a line, written while the check runs,
//   {"finding": {"file", "line", "level", "code", "message"}}  each finding as it is issued
//   {"end": {"ibis_version", "passed", "counts"}}               once, when the check is over
// in a channel of their own, never mixed with the report. Text fields carry
// their bytes as the code points U+0000 to U+00FF, so that any bytes, not
// only UTF-8, arrive as they were: a file name in another encoding, or
// bytes of an .ami file, stay what the report printed.

#include <string>

#include "tools/ibischeck/finding.h"

namespace ibischeck {

// The line of one finding, line feed included.
std::string TransferLineOf(const Finding& finding);
// The closing line: version, verdict and counts of `result`.
std::string TransferEndLine(const FileResult& result);

// Reads the lines written by a worker into `result`: its findings in order,
// and the version, verdict and counts of the end line. True when the end
// line was read and every line before it was whole; findings read before a
// line that is missing or broken are kept.
bool ReadTransfer(const std::string& text, FileResult* result);

}  // namespace ibischeck
