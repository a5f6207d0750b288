#pragma once
// What one check produced, in a form the output formats share: the findings
// with their level, code, line and text as the checker recorded them, the
// counts, and the report text itself.

#include <optional>
#include <string>
#include <vector>

#include "IbisParser/msg.h"

namespace ibischeck {

// Finding levels, most severe first (the order --fail-on compares in).
enum class Level { ProgramBug, Error, Warning, Caution, Note };

// "program bug", "error", ... as the machine-readable formats write them.
const char* LevelName(Level level);
// Inverse of LevelName; false for any other text.
bool LevelFromName(const std::string& name, Level* level);

struct Finding {
    std::string file;                  // the file the line number belongs to
    std::optional<unsigned long> line;  // none when the message has no line
    Level level = Level::Error;
    int code = 0;
    std::string message;               // the text as printed, unwrapped
};

// The finding of a checker message record.
Finding FindingOf(const MSG_Record& record);

struct Counts {
    int bugs = 0;
    int errors = 0;
    int warnings = 0;
    int cautions = 0;
    int notes = 0;

    Counts& operator+=(const Counts& other);
    // Findings at `level` or a more severe one.
    int AtOrAbove(Level level) const;
};

struct FileResult {
    std::string file;          // as named on the command line or found in a folder
    std::string ibisVersion;   // the [IBIS Ver] text, "-" when there is none
    std::string report;        // the report exactly as printed
    std::vector<Finding> findings;
    Counts counts;
    bool passed = false;
    bool completed = true;     // false when the check ended abnormally
};

}  // namespace ibischeck
