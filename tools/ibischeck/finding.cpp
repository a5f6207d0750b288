// Level names and count arithmetic of check results.

#include "tools/ibischeck/finding.h"

#include <array>

namespace ibischeck {

namespace {

constexpr std::array<const char*, 5> kLevelNames = {"program bug", "error", "warning", "caution", "note"};

}  // namespace

const char* LevelName(Level level) { return kLevelNames[static_cast<size_t>(level)]; }

bool LevelFromName(const std::string& name, Level* level) {
    for (size_t i = 0; i < kLevelNames.size(); ++i) {
        if (name == kLevelNames[i]) {
            *level = static_cast<Level>(i);
            return true;
        }
    }
    return false;
}

Finding FindingOf(const MSG_Record& record) {
    Finding finding;
    finding.file = record.file;
    if (record.hasLine) finding.line = record.line;
    static_assert(static_cast<int>(Level::ProgramBug) == MSG_LEVEL_BUG && static_cast<int>(Level::Note) == MSG_LEVEL_NOTE,
                  "the checker's levels and these are listed in the same order");
    finding.level = static_cast<Level>(record.level);
    finding.code = record.code;
    finding.message = record.text;
    return finding;
}

Counts& Counts::operator+=(const Counts& other) {
    bugs += other.bugs;
    errors += other.errors;
    warnings += other.warnings;
    cautions += other.cautions;
    notes += other.notes;
    return *this;
}

int Counts::AtOrAbove(Level level) const {
    const std::array<int, 5> byLevel = {bugs, errors, warnings, cautions, notes};
    int total = 0;
    for (size_t i = 0; i <= static_cast<size_t>(level); ++i) total += byLevel[i];
    return total;
}

}  // namespace ibischeck
