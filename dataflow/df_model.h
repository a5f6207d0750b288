#pragma once
// The base of every dataflow block: a fixed lifecycle of operations that each
// return a success flag, and the one error sink of the block library.

#include <string_view>

namespace Vantrel {

class DFModel {
public:
    DFModel() = default;
    DFModel(const DFModel&) = delete;
    DFModel& operator=(const DFModel&) = delete;

    virtual bool Setup() { return true; }
    virtual bool Initialize() { return true; }
    virtual bool Run() { return true; }
    virtual bool Finalize() { return true; }
    virtual bool CheckParameters() { return true; }
    virtual ~DFModel() = default;
};

// Writes the text and a line end to standard error and flushes. The block is
// accepted for the caller's convenience and not used.
void ReportError(const DFModel* block, std::string_view message);

}  // namespace Vantrel
