#pragma once
// The transmitter's output driver: nine characterised impulse responses
// (three regulator settings by three process corners), each in its own
// response filter, and the network that routes the chosen one to the output.
// The transmitter model wires, initialises, runs and finalises these blocks
// itself; this record only holds them and sets them up.

#include <array>
#include <memory>

#include "blocks/constant.h"
#include "blocks/convert.h"
#include "blocks/fork_add.h"
#include "blocks/mux.h"
#include "blocks/response_fir.h"
#include "dataflow/circular_buffer.h"
#include "model/driver_responses.h"

struct TxDriver {
    using IndexConverter = Vantrel::ScalarToScalar<Vantrel::CircularBuffer<double>,
                                                   Vantrel::CircularBuffer<int>,
                                                   Vantrel::TypeConverterRound>;
    using Selector = Vantrel::Mux<Vantrel::CircularBuffer<double>>;

    // Response k belongs to Vreg index k / 3 and corner index k % 3.
    std::array<Vantrel::TimeResponseFIR, kDriverResponseCount> responses;
    IndexConverter corner_index;
    IndexConverter vreg_index;
    // vreg_mux m picks, by the Vreg index in vreg_select m, among the three
    // responses of corner index m.
    Selector vreg_mux0;
    Vantrel::CircularBuffer<int> vreg_select0;
    Selector vreg_mux1;
    Vantrel::CircularBuffer<int> vreg_select1;
    Selector vreg_mux2;
    Vantrel::CircularBuffer<int> vreg_select2;
    // Picks, by the corner index in corner_select, among the vreg_mux outputs.
    Selector corner_mux;
    Vantrel::CircularBuffer<int> corner_select;
    Vantrel::ConstUnTimed<double> vreg_source;
    Vantrel::Fork<Vantrel::CircularBuffer<int>> vreg_fork;
    Vantrel::ConstUnTimed<double> corner_source;
    Vantrel::Fork<Vantrel::CircularBuffer<double>> input_fork;

    double Vreg = 2.0;
    double corner = 2.0;
    double samples_per_bit = 16.0;
    double bit_time = 9.259259259259259e-11;

    // The three multiplexers of the first stage and their select buffers, by m.
    Selector& VregMux(int m) { return m == 0 ? vreg_mux0 : m == 1 ? vreg_mux1 : vreg_mux2; }
    Vantrel::CircularBuffer<int>& VregSelect(int m) {
        return m == 0 ? vreg_select0 : m == 1 ? vreg_select1 : vreg_select2;
    }

    // Gives every response filter fresh copies of its tables and sets up
    // every block. Runs every step even after a failure; true when all
    // succeeded. A sample rate at which the responses would need more than
    // kMostResponseTaps taps each is refused before any filter is set up.
    bool Setup();

    // Each response filter holds a tap, and a sample of history, for every
    // sample its response spans. A million taps is far beyond any real
    // sampling of these responses (five bits long; 80 taps at the nominal 16
    // samples per bit), yet a nonsensical timing such as a femtosecond bit
    // would ask for gigabytes and a convolution of that length per sample.
    static constexpr double kMostResponseTaps = 1048576.0;

    // Frees the table copies the response filters were given. The filters
    // rewrite their time stamps in place, so each gets its own copy.
    void FreeResponseCopies() noexcept;

private:
    std::array<std::unique_ptr<double[]>, kDriverResponseCount> response_copies;
    std::array<std::unique_ptr<double[]>, kDriverResponseCount> time_stamp_copies;
};
