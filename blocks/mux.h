#pragma once
// Multiplexer: passes one of the branches of its input bus to its output,
// chosen anew at every firing by Control, BlockSize samples per firing.

#include <cstdint>

#include "dataflow/circular_buffer.h"
#include "dataflow/circular_buffer_bus.h"
#include "dataflow/df_model.h"

namespace Vantrel {

template <typename B>
class Mux : public DFModel {
public:
    // Declares BlockSize as the rate of the output and of every branch.
    bool Setup() override;
    // Copies BlockSize items of branch Control to the output; an index
    // outside the bus leaves the output untouched and fails this firing.
    bool Run() override;

    CircularBufferBusT<B> input;
    B output;
    // Not a port: the owner reads the control stream itself and stores the
    // value here before every Run.
    std::int32_t Control = 0;
    std::int32_t BlockSize = 1;
};

extern template class Mux<CircularBuffer<double>>;

}  // namespace Vantrel
