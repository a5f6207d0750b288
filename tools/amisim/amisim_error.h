#pragma once
// The failures amisim reports, each carrying the exit status it ends with, so
// that every layer can throw and main alone decides how the process ends.

#include <stdexcept>
#include <string>

namespace amisim {

enum class ExitStatus : int {
    kSuccess = 0,
    kModelFailure = 1,  // the model would not load, lacks entry points, or failed a call
    kUsageOrFile = 2,   // bad options, missing or unreadable files, unusable file contents
};

class AmisimError : public std::runtime_error {
public:
    AmisimError(ExitStatus status, const std::string& what)
        : std::runtime_error(what), status_(status) {}
    ExitStatus status() const noexcept { return status_; }

private:
    ExitStatus status_;
};

inline AmisimError UsageError(const std::string& what) {
    return AmisimError(ExitStatus::kUsageOrFile, what);
}
inline AmisimError ModelError(const std::string& what) {
    return AmisimError(ExitStatus::kModelFailure, what);
}

}  // namespace amisim
