#pragma once
// --explain: what a message code can say and at which level it is issued.

#include <cstdio>
#include <string>

namespace ibischeck {

// Prints the texts of `code` ("906", "0906" or as the coded style shows it,
// "E0906") from the message table, one per variant of a shared code, each
// with the levels it is issued at. False, with nothing printed, when the
// table has no such code.
bool Explain(const std::string& code, FILE* out);

}  // namespace ibischeck
