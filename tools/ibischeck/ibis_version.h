#pragma once
// The IBIS version a file declares, for the summary table.

#include <string>

namespace ibischeck {

// The text after [IBIS Ver] on the file's first keyword line ("5.0"), or "-"
// when the file cannot be read, is an .ami file (kind PARSE_KIND_AMI) or
// does not start with [IBIS Ver].
std::string DeclaredIbisVersion(const std::string& path, int kind);

}  // namespace ibischeck
