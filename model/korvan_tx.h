#pragma once
// The transmitter model: one block holding a fixed dataflow graph that it
// advances by exactly one sample per Run. Two-tap pre-emphasis, the sum of
// its taps, then the driver stage with one of nine impulse responses chosen
// by Vreg and corner.
//
// The owner sets the parameters and attaches one item of storage to each of
// input, output and fir_output, then calls Setup and Initialize; per sample
// it writes item 0 of input, calls Run and reads item 0 of output.
//
// RunBlock is the same filter for a whole block of samples at once, for an
// owner that has the block at hand: it gives bit for bit what Run gives
// sample by sample and keeps the state where Run keeps it, so the two may be
// mixed at will.

#include <array>
#include <cstdint>
#include <vector>

#include "blocks/fork_add.h"
#include "dataflow/circular_buffer.h"
#include "dataflow/df_model.h"
#include "model/tx_driver.h"
#include "model/txfir_1pre2pst.h"

// How RunBlock computes: the per-sample graph only, or the block path with
// the baseline or the AVX2 convolution kernel. Automatic takes the block path
// with the widest kernel the processor runs; a request for AVX2 on a
// processor without it gets the baseline kernel.
enum class WavePath : std::uint8_t { Automatic, Graph, Baseline, Avx2 };

class korvan_tx final : public Vantrel::DFModel {
public:
    static constexpr int kLinkCount = 35;

    korvan_tx() = default;
    ~korvan_tx() override;

    // Each runs every step even after a block fails and returns the AND of
    // the block results.
    bool Setup() override;
    bool Initialize() override;
    bool Run() override;
    bool Finalize() override;

    // Filters a leading part of wave[0 .. count) in place, exactly as that
    // many Runs (each fed one sample through input and read back through
    // output) would, and returns its length. It leaves at least the last
    // sample to Run, so that every port and link ends holding what the
    // graph leaves in it. Returns 0, having changed nothing, wherever the
    // block path cannot vouch for the graph's result: before Initialize, with
    // a selection out of range (the multiplexers must fail and report on
    // their own), with a filter whose state does not have the shape Run
    // keeps it in, or for a block too short to be worth it.
    std::size_t RunBlock(double* wave, std::size_t count);

    // Chosen per instance, so that each can be checked against the others.
    WavePath wave_path = WavePath::Automatic;

    Vantrel::CircularBuffer<double> input;
    Vantrel::CircularBuffer<double> output;
    // The equalised signal before the driver stage.
    Vantrel::CircularBuffer<double> fir_output;

    double samples_per_bit = 16.0;
    double emphasis = 0.0;
    double Vreg = 2.0;
    double corner = 2.0;
    double bit_time = 9.259259259259259e-11;  // one bit at 10.8 Gb/s

    TxDriver driver;
    TXFIR_1pre2pst txfir;
    Vantrel::CircularBuffer<double> fir_in;
    Vantrel::CircularBuffer<double> fir_main;
    Vantrel::CircularBuffer<double> fir_post;
    Vantrel::Add<double> sum;
    Vantrel::Fork<Vantrel::CircularBuffer<double>> split;
    Vantrel::CircularBuffer<double> graph_in;
    Vantrel::CircularBuffer<double> driver_out;
    Vantrel::CircularBuffer<double> fir_tap;

    // One-sample storage cells of the graph's connections, made by
    // Initialize; int cells for the index links, double cells for the rest.
    std::array<void*, kLinkCount> links{};

private:
    struct LinkEnds {
        Vantrel::CircularBufferBase* writer;
        Vantrel::CircularBufferBase* reader;
        bool integer;
    };
    // The graph's connections, in the order Initialize makes them.
    std::array<LinkEnds, kLinkCount> Connections();
    void FreeLinks() noexcept;
    // Which cells of links hold an int, for freeing them as what they are.
    std::array<bool, kLinkCount> integer_link{};

    // The driver stage routes the output of one response filter; the other
    // eight, and the first-stage multiplexers of the other two corners,
    // produce samples nobody reads. Run computes only the selected filter
    // and its multiplexer (no filter when an index is out of range, and then
    // every multiplexer runs and reports as usual), and records the driver's
    // input, so that a filter that becomes selected by a later Setup is
    // brought up to date from the recorded samples first.
    void SelectResponse();
    void CatchUp(int k);

    // Response filter computed by Run, or -1 when the Vreg or corner index
    // is out of range.
    int selected_response = -1;
    // Samples run since Initialize, and for each response filter the count
    // it had seen when it was last brought up to date or deselected.
    std::uint64_t samples_run = 0;
    std::array<std::uint64_t, kDriverResponseCount> samples_seen{};
    // The most recent driver-stage inputs, at least as many as the longest
    // filter has taps; sample n sits at n & recent_mask.
    std::vector<double> recent_inputs;
    std::uint64_t recent_mask = 0;

    // Block path: whether it applies now, and one stretch of it.
    bool BlockPathApplies() noexcept;
    void RunStretch(double* wave, std::size_t count, bool avx2) noexcept;
    // Working space of the block path, sized on first use: the driver-stage
    // input of one stretch behind the older samples the response filter
    // holds.
    std::vector<double> block_driver_input;
};
