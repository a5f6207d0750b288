#pragma once
// The eye as a receiver's clock recovery sees it: the output sampled at the
// clock times the receiver's AMI_GetWave returns, half a unit interval after
// each tick, as the IBIS-AMI flow asks. The times stream in with the output,
// and each sample is judged by the bit it belongs to.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <utility>
#include <vector>

#include "tools/amisim/flows/prbs.h"

namespace amisim {

struct ClockEye {
    std::size_t ticks = 0;      // clock times the receiver returned
    std::size_t measured = 0;   // of them, samples judged (after the skipped bits)
    double lowest_one = std::numeric_limits<double>::infinity();
    double highest_zero = -std::numeric_limits<double>::infinity();
    double Height() const { return lowest_one - highest_zero; }
};

class ClockSampler {
public:
    ClockSampler(int prbs_order, int samples_per_bit, double sample_interval, double bit_time,
                 std::size_t skip_bits);
    // Clock times of one AMI_GetWave call, seconds from the record's start.
    void AddTimes(const double* times, std::size_t count);
    // The output samples in order, from the record's first.
    void AddOutput(const double* samples, std::size_t count);
    // Where the bits lie in the output (an EyeMetrics' latency and
    // polarity): samples taken before this are judged now, later ones at once.
    void SetAlignment(long latency, bool inverted);
    ClockEye Finish();

private:
    void Resolve(bool at_end);
    void Judge(double position, double value);
    std::uint8_t Bit(std::size_t index);

    int per_bit_;
    double sample_interval_;
    double half_bit_;
    std::size_t skip_bits_;
    std::deque<double> positions_;  // in samples, waiting for their output
    std::vector<std::pair<double, double>> unjudged_;  // position, value
    std::vector<double> tail_;  // the latest output samples, from tail_start_ on
    long tail_start_ = 0;
    long received_ = 0;
    bool aligned_ = false;
    long latency_ = 0;
    bool inverted_ = false;
    PrbsGenerator generator_;
    std::deque<std::uint8_t> bits_;  // from bits_start_ on
    std::size_t bits_start_ = 0;
    ClockEye eye_;
};

}  // namespace amisim
