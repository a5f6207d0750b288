#pragma once
// Rational-rate FIR filter in polyphase form. Conceptually it inserts
// Interpolation - 1 zeros after every input sample, filters with Taps and
// keeps every Decimation-th sample from DecimationPhase on; no zero is ever
// multiplied. Each firing reads Decimation samples and writes Interpolation.

#include <complex>
#include <cstdint>
#include <memory>

#include "dataflow/circular_buffer.h"
#include "dataflow/df_model.h"

namespace Vantrel {

// The second parameter only distinguishes instances; no operation reads it.
template <typename T, int K>
class FIR : public DFModel {
public:
    // Checks the parameters (every failed rule is reported, in order),
    // declares the rates and sizes the delay line.
    bool Setup() override;
    // Allocates a fresh, cleared delay line, dropping any previous one.
    bool Initialize() override;
    // One firing. The output is zeroed and then accumulates
    // history[h - l] * Taps[t] for l = 0, 1, ..., so results are
    // reproducible to the last bit.
    bool Run() override;
    // Frees the delay line.
    bool Finalize() override;

    CircularBuffer<T> input;
    CircularBuffer<T> output;
    // Past input samples: capacity S = NumberOfTaps / Interpolation +
    // Decimation + 1, rate Decimation, origin advanced once per firing.
    CircularBuffer<T> history;
    // 2 S items. The first S are the storage of `history`; the second S
    // mirror them (item j + S always equals item j), so the phaseLength most
    // recent samples sit side by side in memory wherever the origin is.
    std::unique_ptr<T[]> historyStorage;
    // Provided by the owner; never freed by this class.
    const T* Taps = nullptr;
    std::int32_t NumberOfTaps = 0;
    std::int32_t Decimation = 1;
    std::int32_t DecimationPhase = 0;
    std::int32_t Interpolation = 1;
    // Taps per polyphase branch: NumberOfTaps / Interpolation rounded up.
    std::int32_t phaseLength = 0;

private:
    // Writes a sample as logical item `index` of the delay line and into the
    // mirror of that slot.
    void Store(std::uint32_t index, const T& sample);
    // The general polyphase firing.
    void RunPolyphase();
};

extern template class FIR<double, 1>;
extern template class FIR<double, 0>;
extern template class FIR<std::complex<double>, 0>;

}  // namespace Vantrel
