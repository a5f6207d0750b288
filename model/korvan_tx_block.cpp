// The block path of the transmitter model. While the settings stay as Setup
// left them, the graph is a fixed linear filter: pre-emphasis, the sum of its
// two taps, then the one selected driver response. The block path computes
// each of these over a whole stretch of samples, with the same roundings in
// the same order as the graph, and leaves the delay lines of the pre-emphasis
// block and of the response filter exactly as the same number of Runs would.
//
// This file is compiled with -ffp-contract=off, like the kernels it calls.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "model/block_convolution.h"
#include "model/korvan_tx.h"

namespace {

// Samples per stretch: a whole number of the widest kernel's output groups,
// and few enough that a stretch's working space stays in the first-level
// cache.
constexpr std::size_t kStretch = 2048;

// Blocks shorter than this go through the graph: preparing a stretch costs
// about as much as running a few dozen samples.
constexpr std::size_t kShortestBlock = 32;

bool SelectionIndexInRange(std::int32_t index) noexcept { return index >= 0 && index <= 2; }

}  // namespace

bool korvan_tx::BlockPathApplies() noexcept {
    if (links[0] == nullptr || selected_response < 0 || recent_inputs.empty()) return false;

    // The graph selects anew every sample: the constant sources emit their
    // values (from the first firing on, without an initial delay), the
    // converters round them and the multiplexers route by the result. The
    // selection made at Setup must be the one that gives.
    if (driver.vreg_source.InitialDelay != 0 || driver.corner_source.InitialDelay != 0) return false;
    const std::int32_t vreg_index = Vantrel::TypeConverterRound::Convert(driver.vreg_source.Value);
    const std::int32_t corner_index = Vantrel::TypeConverterRound::Convert(driver.corner_source.Value);
    if (!SelectionIndexInRange(vreg_index) || !SelectionIndexInRange(corner_index) ||
        3 * vreg_index + corner_index != selected_response) {
        return false;
    }
    const TxDriver::Selector& vreg_mux = driver.VregMux(corner_index);
    if (vreg_mux.BlockSize != 1 || vreg_mux.input.Width() != 3 || driver.corner_mux.BlockSize != 1 ||
        driver.corner_mux.input.Width() != 3) {
        return false;
    }

    // The selected filter must run its one-in, one-out loop over a delay
    // line as Initialize made it: at least as many slots as taps, so that
    // each of the last NumberOfTaps samples still has a slot of its own.
    const Vantrel::TimeResponseFIR& filter = driver.responses[static_cast<std::size_t>(selected_response)];
    const Vantrel::CircularBuffer<double>& history = filter.history;
    if (filter.Decimation != 1 || filter.Interpolation != 1 || filter.Taps == nullptr || filter.NumberOfTaps < 1 ||
        filter.historyStorage == nullptr || history.storage != filter.historyStorage.get() ||
        history.capacity != history.requiredSize ||
        history.capacity < static_cast<std::uint32_t>(filter.NumberOfTaps) || history.position >= history.capacity) {
        return false;
    }
    return txfir.CanRunBlock();
}

std::size_t korvan_tx::RunBlock(double* wave, std::size_t count) {
    if (wave_path == WavePath::Graph || count < kShortestBlock || !BlockPathApplies()) return 0;
    const bool avx2 = wave_path != WavePath::Baseline && korvan_block::ProcessorHasAvx2();

    const Vantrel::TimeResponseFIR& filter = driver.responses[static_cast<std::size_t>(selected_response)];
    const auto older = static_cast<std::size_t>(filter.NumberOfTaps) - 1;
    try {
        block_driver_input.resize(older + kStretch + korvan_block::kConvolutionOverread);
    } catch (...) {
        return 0;  // nothing has changed yet: the graph takes the whole block
    }

    const std::size_t blocked = count - 1;
    for (std::size_t done = 0; done < blocked; done += kStretch) {
        RunStretch(wave + done, std::min(kStretch, blocked - done), avx2);
    }
    // The only other state the graph changes per sample: the constant
    // sources count their firings, up to the largest count.
    for (Vantrel::ConstUnTimed<double>* source : {&driver.vreg_source, &driver.corner_source}) {
        const std::uint64_t fired = std::uint64_t{source->firingCount} + blocked;
        source->firingCount = static_cast<std::uint32_t>(
            std::min<std::uint64_t>(fired, std::numeric_limits<std::uint32_t>::max()));
    }
    return blocked;
}

void korvan_tx::RunStretch(double* wave, std::size_t count, bool avx2) noexcept {
    Vantrel::TimeResponseFIR& filter = driver.responses[static_cast<std::size_t>(selected_response)];
    const auto taps = static_cast<std::size_t>(filter.NumberOfTaps);
    const std::size_t older = taps - 1;
    const std::uint32_t size = filter.history.capacity;
    double* const line = filter.historyStorage.get();
    double* const newest = block_driver_input.data() + older;

    // Pre-emphasis, then the adder: it starts from 0.0 and adds its branches
    // in order, the post tap (branch 0) before the main tap (branch 1). The
    // forks pass that sum on unchanged to the response filter.
    txfir.RunBlock(wave, count, [newest](std::size_t j, double main_tap, double post_tap) {
        newest[j] = (0.0 + post_tap) + main_tap;
    });
    std::fill_n(newest + count, korvan_block::kConvolutionOverread, 0.0);

    // The older samples, read from where the filter's next Run reads them:
    // backwards from the slot it stores its next sample in, within the
    // second half of its delay line (which mirrors the first).
    const double* const next_slot = line + filter.history.Index(size - 1u) + size;
    for (std::size_t l = 1; l <= older; ++l) {
        newest[-static_cast<std::ptrdiff_t>(l)] = next_slot[-static_cast<std::ptrdiff_t>(l)];
    }

    korvan_block::Convolve(avx2 ? korvan_block::ConvolutionKernel::Avx2 : korvan_block::ConvolutionKernel::Baseline,
                           newest, filter.Taps, taps, wave, count);

    // The stores of these Runs: Run r puts its sample in the slot at Index
    // (size - 1) with the origin r places on, and into that slot's mirror.
    // Only the last `size` of them survive; each earlier one is overwritten
    // by a later store to the same slot. Then the origin moves on, one place
    // per Run.
    const std::uint64_t origin = filter.history.position;
    for (std::size_t r = count > size ? count - size : 0; r < count; ++r) {
        const auto slot = static_cast<std::uint32_t>((origin + r + size - 1u) % size);
        line[slot] = newest[r];
        line[slot + size] = newest[r];
    }
    filter.history.position = static_cast<std::uint32_t>((origin + count) % size);

    // The record of recent driver-stage inputs that brings another response
    // filter up to date after a later Setup, kept as Run keeps it.
    const std::size_t record = recent_inputs.size();
    for (std::size_t r = count > record ? count - record : 0; r < count; ++r) {
        recent_inputs[static_cast<std::size_t>((samples_run + r) & recent_mask)] = newest[r];
    }
    samples_run += count;
}
