#pragma once
// Type conversion: turns a stream of one sample type into a stream of
// another. The policy class decides how one sample is converted.

#include <cmath>
#include <cstdint>
#include <limits>

#include "dataflow/circular_buffer.h"
#include "dataflow/df_model.h"

namespace Vantrel {

// Rounds to the nearest integer, halves away from zero. The half is added
// in double precision before floor or ceil, so 0.49999999999999994 becomes 1.
struct TypeConverterRound {
    static std::int32_t Convert(double x) noexcept {
        const double r = x >= 0.0 ? std::floor(x + 0.5) : std::ceil(x - 0.5);
        // Values that no 32-bit integer can hold saturate and a NaN gives 0,
        // so that the cast below is always defined.
        if (std::isnan(r)) return 0;
        if (r >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
        if (r <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
        return static_cast<std::int32_t>(r);
    }
};

class TypeConverterBase : public DFModel {};

// Supplies the two ports; every lifecycle operation keeps the do-nothing
// default, so running it leaves the output untouched.
template <typename InBuffer, typename OutBuffer, typename Policy>
class TypeConverter : public TypeConverterBase {
public:
    InBuffer input;
    OutBuffer output;
};

// Converts one sample per firing.
template <typename InBuffer, typename OutBuffer, typename Policy>
class ScalarToScalar : public TypeConverter<InBuffer, OutBuffer, Policy> {
public:
    bool Run() override {
        this->output.Item(0) = Policy::Convert(this->input.Item(0));
        return true;
    }
};

extern template class TypeConverter<CircularBuffer<double>, CircularBuffer<int>, TypeConverterRound>;
extern template class ScalarToScalar<CircularBuffer<double>, CircularBuffer<int>, TypeConverterRound>;

}  // namespace Vantrel
