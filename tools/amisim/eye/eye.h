#pragma once
// Eye measurements of a transmitter's output against the bits it was sent:
// the output is lined up with the bits by correlation, folded onto one unit
// interval, and split into the samples of ones and of zeros.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/amisim/flows/prbs.h"

namespace amisim {

struct EyeOptions {
    int samples_per_bit = 16;
    std::size_t skip_bits = 0;          // the model's start-up transient, left out
    std::size_t max_latency_bits = 64;  // how far the output may lag the input
    double threshold = 0.0;             // decision level for the eye width, volts
};

struct EyeMetrics {
    // Output sample bit * samples_per_bit + latency + phase belongs to `bit`;
    // latency may be negative for a model that puts its eye early.
    long latency = 0;
    int best_phase = 0;          // phase (0 to samples_per_bit - 1) of the tallest eye
    double eye_height = 0.0;     // lowest one minus highest zero there; negative when closed
    double lowest_one = 0.0;
    double highest_zero = 0.0;
    double upper_level = 0.0;    // mean of the ones at the best phase
    double lower_level = 0.0;    // mean of the zeros at the best phase
    double eye_width = 0.0;      // unit intervals over which every one lies above and
                                 // every zero below the threshold
    double width_start = 0.0;    // that stretch in unit intervals relative to the best
    double width_end = 0.0;      // phase (which it need not contain)
    bool inverted = false;       // the model inverts: ones come out low
    int centre_phase = 0;        // the phase in the middle of the opening (the best
    double centre_height = 0.0;  // phase when shut) and the eye's height there
    std::size_t bits_measured = 0;
};

// `output` holds bits.size() * samples_per_bit samples. Throws a usage
// AmisimError when too few bits remain after skip_bits to see both a one and
// a zero.
EyeMetrics MeasureEye(const std::vector<std::uint8_t>& bits, const std::vector<double>& output,
                      const EyeOptions& options);

// The same measurements over a record too long to hold: the output streams
// through in blocks, and only the samples of each phase, within two unit
// intervals either side of the eye at `latency` (found on the record's
// start by MeasureEye), are summed up. Bits come from a PRBS generator of
// the given order started afresh, the pattern the record was made from.
class EyeAccumulator {
public:
    EyeAccumulator(int prbs_order, const EyeOptions& options, long latency, bool inverted);
    // Output samples in order, from the record's first.
    void Add(const double* samples, std::size_t count);
    // Measures once the whole record has been added.
    EyeMetrics Finish();

    struct Sums {
        double lowest = 0.0, highest = 0.0, sum = 0.0;
        std::size_t count = 0;
    };

private:
    void Fold(std::size_t bit, std::uint8_t value, long end);

    EyeOptions options_;
    long latency_;
    bool inverted_;
    std::vector<Sums> ones_, zeros_;  // per offset from -2 to +3 unit intervals
    std::vector<double> buffer_;      // output from sample buffer_start_ on
    long buffer_start_ = 0;
    long received_ = 0;
    std::size_t next_bit_ = 0;
    PrbsGenerator generator_;  // yields bit next_bit_ next
};

}  // namespace amisim
