#pragma once
// A sweep over one model parameter: NAME=FROM..TO (integers) or
// NAME=v1,v2,... . The name may say whose parameter it is, tx:NAME or
// rx:NAME; otherwise it is the one model whose .ami file declares it.

#include <string>
#include <vector>

namespace amisim {

struct SweepRequest {
    std::string model;  // "tx", "rx" or empty (decided by the .ami files)
    std::string name;
    std::vector<std::string> values;
};

// Throws a usage AmisimError for a malformed sweep or more than 1000 values.
SweepRequest ParseSweep(const std::string& text);

}  // namespace amisim
