#pragma once
// Runs the checker on one file exactly as the ibischeck command does (same
// sequence, same fresh start for each file) and hands back its report.

#include <string>

namespace hostile {

struct CheckReport {
    std::string text;  // everything printed, banner to verdict
    bool passed = false;
    // The report ends with the verdict line, as every finished check must.
    bool EndsWithVerdict() const;
    // Number of lines of the report holding `piece`.
    int LinesHolding(const std::string& piece) const;
};

// A private folder for the files of one test program, made on first use.
std::string ScratchFolder();

// Checks the file at `path` (which may be missing or a directory); the kind
// comes from the extension as for the command.
CheckReport CheckPath(const std::string& path);

// Writes `content` to `name` in the scratch folder, checks it and removes it.
CheckReport CheckContent(const std::string& name, const std::string& content);

}  // namespace hostile
