#pragma once
// Checking files in worker processes.
//
// The checker keeps its state in process-wide variables, so every file is
// checked in a process of its own, forked from the command before it has
// checked anything: each file starts from the same fresh state, whatever
// ran before it and however many run at once. A worker writes its report to
// a temporary file as it goes and the record of each finding, as JSON Lines,
// to another; the command reads both when the worker ends and hands the
// results on in the order of the files, so the output does not depend on the
// number of workers.

#include <functional>
#include <string>
#include <vector>

#include "tools/ibischeck/finding.h"

namespace ibischeck {

// Checks `file` in this process. The report goes to the checker's message
// stream, each finding to `onFinding` as it is issued; the result holds the
// version, the verdict and the counts (neither report nor findings).
FileResult CheckHere(const std::string& file, const std::function<void(const Finding&)>& onFinding);

// Checks every file, at most `jobs` at once, each in a worker process, and
// calls `deliver` once per file in the order of `files`. The checker's
// switches set before the call are the workers' switches. False when the
// workers could not be started (a message has gone to standard error).
bool CheckInWorkers(const std::vector<std::string>& files, int jobs,
                    const std::function<void(FileResult&&)>& deliver);

}  // namespace ibischeck
