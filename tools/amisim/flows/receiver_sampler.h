#pragma once
// What the receiver's sampler adds after the receiver model: its clock's
// jitter, which moves each bit's sampling instants (the output is read
// between samples, linearly), and its noise, added to every sample. The
// model never sees either. Reading early needs the output's future, so the
// sampled output lags the model's by a fixed delay().
//
// Each bit's stretch of the output is read at that bit's displacement, so
// where the displacement steps from one bit to the next the sampled wave
// jumps: right for the eye, which is folded a phase at a time, but not a
// wave to follow from sample to sample. Crossings and traces are taken
// from the steady wave instead (the output delayed alike, with the same
// noise but no clock jitter), displaced by the clock's Shift() of the bit
// they fall in.

#include <cstddef>
#include <deque>
#include <vector>

#include "tools/amisim/flows/jitter_source.h"
#include "tools/amisim/flows/noise_source.h"

namespace amisim {

class ReceiverSampler {
public:
    ReceiverSampler(const Impairments& impairments, int samples_per_bit, double bit_time);
    // In place: `count` output samples in, as many sampled ones out. With
    // clock jitter and `steady` given, the steady wave of the same samples
    // goes there.
    void Process(double* samples, std::size_t count, double* steady = nullptr);
    long delay() const { return delay_; }

    // The displacement, in samples, of the sampling instants of the clock's
    // bit `bit`: the bit whose nominal stretch holds sampled-output samples
    // delay() + bit * samples_per_bit on. Known for every bit Process has
    // reached and not released; 0 without clock jitter.
    double Shift(long bit) const;
    // The clock's bit of the sampled output's (fractional) sample `position`.
    long BitAt(double position) const;
    // Forget the shifts of bits before `bit`.
    void Release(long bit);

private:
    double Displacement(long bit);  // of the sampling instants of `bit`, in samples
    void AddNoise(double* samples, double* steady, std::size_t count);

    JitterSource clock_;
    NoiseSource noise_;
    bool jitter_;
    long per_bit_;
    double bit_time_;
    long delay_ = 0;
    std::vector<double> history_;  // the output from sample received_ - history_.size() on
    std::vector<double> work_;
    std::vector<double> drawn_;    // one block's noise, when the steady wave takes it too
    long received_ = 0;
    std::deque<double> shifts_;    // of bits shifts_first_ on
    long shifts_first_ = 0;
};

}  // namespace amisim
