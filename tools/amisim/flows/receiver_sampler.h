#pragma once
// What the receiver's sampler adds after the receiver model: its clock's
// jitter, which moves each bit's sampling instants (the output is read
// between samples, linearly), and its noise, added to every sample. The
// model never sees either. Reading early needs the output's future, so the
// sampled output lags the model's by a fixed delay().

#include <cstddef>
#include <vector>

#include "tools/amisim/flows/jitter_source.h"

namespace amisim {

class ReceiverSampler {
public:
    ReceiverSampler(const Impairments& impairments, int samples_per_bit, double bit_time);
    // In place: `count` output samples in, as many sampled ones out.
    void Process(double* samples, std::size_t count);
    long delay() const { return delay_; }

private:
    double Displacement(long bit);  // of the sampling instants of `bit`, in samples

    JitterSource clock_;
    Random noise_;
    bool jitter_;
    double sigma_, uniform_;
    long per_bit_;
    double bit_time_;
    long delay_ = 0;
    std::vector<double> history_;  // the output from sample received_ - history_.size() on
    std::vector<double> work_;
    long received_ = 0;
    long bit_ = -1;
    double displacement_ = 0.0;  // of bit_, in samples
};

}  // namespace amisim
