#pragma once
// Routing blocks: the fork copies one input stream to every branch of its
// output bus; the adder sums the branches of its input bus into one stream.

#include <cstdint>

#include "dataflow/circular_buffer.h"
#include "dataflow/circular_buffer_bus.h"
#include "dataflow/df_model.h"

namespace Vantrel {

template <typename B>
class Fork : public DFModel {
public:
    // Every branch is written, connected or not.
    bool Run() override {
        const std::uint32_t width = output.Width();
        if (width == 0) return true;  // nothing to write, and the input is not read
        const auto sample = input.Item(0);  // a branch sharing the input cell gets the same value
        for (std::uint32_t i = 0; i < width; ++i) output.Branch(i)->Item(0) = sample;
        return true;
    }

    B input;
    CircularBufferBusT<B> output;
};

template <typename T>
class Add : public DFModel {
public:
    // Partial sums are rounded in branch order, so the result depends on the
    // order of the branches (1e16 + 1 - 1e16 is 0, 1e16 - 1e16 + 1 is 1).
    bool Run() override {
        T& sum = output.Item(0);
        sum = T{};
        const std::uint32_t width = input.Width();
        for (std::uint32_t i = 0; i < width; ++i) sum = sum + input.Branch(i)->Item(0);
        return true;
    }

    CircularBufferBusT<CircularBuffer<T>> input;
    CircularBuffer<T> output;
};

extern template class Fork<CircularBuffer<double>>;
extern template class Fork<CircularBuffer<int>>;
extern template class Add<double>;

}  // namespace Vantrel
