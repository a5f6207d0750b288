#pragma once
// Constant source: one output and no input. Each firing writes one sample,
// the delay value for the first InitialDelay firings and Value from then on.
// The delay counts firings, not time.

#include <cstdint>
#include <limits>

#include "dataflow/circular_buffer.h"
#include "dataflow/df_model.h"

namespace Vantrel {

template <typename T, typename B>
class ConstUnTimedBase : public DFModel {
public:
    // Restarts the delay and checks the parameters.
    bool Initialize() override {
        firingCount = 0;
        return CheckParameters();
    }

    bool Run() override {
        // A negative delay, which Initialize rejects, compares as a huge
        // unsigned count and keeps the delay value coming.
        if (firingCount < static_cast<std::uint32_t>(InitialDelay)) {
            EmitDelayValue();
        } else {
            output.Item(0) = Value;
        }
        // The count stops at its largest value instead of wrapping back to 0,
        // which would restart the delay after four billion firings.
        if (firingCount != std::numeric_limits<std::uint32_t>::max()) ++firingCount;
        return true;
    }

    bool CheckParameters() override {
        if (InitialDelay < 0) {
            ReportError(this, "InitialDelay must be >= 0");
            return false;
        }
        return true;
    }

    // Writes the sample of one firing inside the initial delay.
    virtual void EmitDelayValue() = 0;

    B output;
    T Value{};
    std::int32_t InitialDelay = 0;
    std::uint32_t firingCount = 0;
};

template <typename T>
class ConstUnTimed : public ConstUnTimedBase<T, CircularBuffer<T>> {
public:
    ConstUnTimed() { this->Value = T{}; }

    void EmitDelayValue() override { this->output.Item(0) = T{}; }
};

extern template class ConstUnTimedBase<double, CircularBuffer<double>>;
extern template class ConstUnTimed<double>;

}  // namespace Vantrel
