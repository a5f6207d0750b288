#pragma once
// The reference receiver itself: a CTLE, a DFE and a clock recovery, with
// the two faces of an IBIS-AMI receiver. Built on the impulse it is given,
// it equalises that impulse in place (the CTLE, then the ideal DFE's
// feedback taken off: what the statistical flow needs); it then filters
// waveforms block by block, deciding, feeding back and recovering the
// clock, and returns its clock times.

#include <cstddef>
#include <string>
#include <vector>

#include "tools/amisim/reference_rx/cdr.h"
#include "tools/amisim/reference_rx/ctle.h"
#include "tools/amisim/reference_rx/dfe.h"

namespace amisim {

struct ReferenceRxSettings {
    CtleSettings ctle;
    DfeSettings dfe;
    CdrMode cdr = CdrMode::kBangBang;
    double cdr_gain = 0.01;  // unit intervals a phase-detector decision moves the clock
};

// The settings in an AMI_Init parameter string under `root`; a setting
// left out keeps its default. Throws std::invalid_argument naming a value
// that is not of its kind.
ReferenceRxSettings ReadReferenceRxSettings(const char* parameters, const std::string& root);

class ReferenceReceiver {
public:
    // Throws std::invalid_argument when the settings describe no receiver.
    ReferenceReceiver(const ReferenceRxSettings& settings, double* impulse, std::size_t length,
                      double sample_interval, double bit_time);

    // Equalises `size` samples in place, continuing from the previous
    // block; writes the clock times (seconds, ended by -1) of the data
    // samples taken, each half a unit interval before its sample.
    void GetWave(double* wave, std::size_t size, double* clock_times);

    // What AMI_Init reports: the CTLE's corners, the taps and the phase.
    std::string InitReport() const;
    // What each AMI_GetWave reports: the taps and the phase as they stand.
    std::string WaveReport() const;
    std::string Message() const;

    const CtleDesign& ctle() const { return design_; }
    const std::vector<double>& zero_forcing_taps() const { return zero_forcing_; }
    // The sampling phase in unit intervals after a bit's start, and where
    // the statistical analysis put it.
    double phase_ui() const;
    double initial_phase_ui() const { return initial_phase_ / per_bit_; }
    const Dfe& dfe() const { return dfe_; }

private:
    double History(double position) const;  // the CTLE output, interpolated

    ReferenceRxSettings settings_;
    CtleDesign design_;
    CtleFilter filter_;
    Dfe dfe_;
    Cdr cdr_;
    std::vector<double> zero_forcing_;
    double sample_interval_, bit_time_;
    double per_bit_;            // samples per unit interval
    double initial_phase_ = 0;  // samples from a bit's start to its data sample
    // The running state, in samples from the record's start.
    long sample_ = 0;
    double next_sample_ = 0.0;  // where the next data sample is taken
    std::size_t bits_ = 0;      // data samples taken
    double feedback_ = 0.0, previous_feedback_ = 0.0, pending_feedback_ = 0.0;
    long switch_at_ = -1;
    std::vector<double> history_;  // CTLE output, a ring
};

}  // namespace amisim
