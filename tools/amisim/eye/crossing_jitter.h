#pragma once
// The crossing jitter of a waveform: where it crosses the threshold, found
// between samples by linear interpolation and folded onto one unit
// interval, measured against the mean crossing. The fold needs no
// alignment with the bits, so it runs as the output streams by.

#include <cstddef>
#include <functional>
#include <vector>

namespace amisim {

struct CrossingJitter {
    std::size_t crossings = 0;
    double rms_ui = 0.0;
    double peak_to_peak_ui = 0.0;
    double mean_ui = 0.0;  // where the crossings gather, from a bit boundary of the record
};

class CrossingMeter {
public:
    // Samples before `first_sample` (the link settling) are not counted.
    CrossingMeter(int samples_per_bit, double threshold, std::size_t first_sample);
    void Add(const double* samples, std::size_t count);
    // The crossings measured against a jittered clock: each crossing found
    // at (fractional) sample `position` counts at position - shift(position).
    void Add(const double* samples, std::size_t count, const std::function<double(double)>& shift);
    CrossingJitter Finish() const;

private:
    void Count(double position);

    int per_bit_;
    double threshold_;
    std::size_t first_;
    std::size_t received_ = 0;
    double previous_ = 0.0;
    std::vector<std::size_t> histogram_;  // crossings per fraction of a unit interval
};

}  // namespace amisim
