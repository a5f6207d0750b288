#pragma once
// The NRZ stimulus with its edges where the transmitter's jitter puts them.
// An edge may fall anywhere within a sample: the sample it falls in takes
// the level on either side weighted by the time each lasts, so a jitter of
// a hundredth of a sample still moves the waveform instead of being
// rounded away. Without jitter the samples are exactly those of the plain
// NRZ waveform.

#include <cstddef>
#include <cstdint>
#include <deque>

#include "tools/amisim/flows/jitter_source.h"
#include "tools/amisim/flows/prbs.h"

namespace amisim {

class JitteredStimulus {
public:
    // `seed` draws the jitter; `prbs_seed` starts the pattern (see
    // PrbsGenerator) and `stream` keeps the draws of one transmitter apart
    // from another's with the same seed (the victim's is 1).
    JitteredStimulus(int prbs_order, int samples_per_bit, double bit_time, const Jitter& jitter, std::uint64_t seed,
                     double level, std::uint64_t prbs_seed = 0, std::uint64_t stream = 1);
    // The next `count` samples. Sample n stands for the time from n to n + 1
    // sample intervals; bit k nominally starts at sample k * samples_per_bit.
    void Fill(double* out, std::size_t count);

private:
    void NextBit();

    struct Edge {
        double at;  // in samples
        double level;
    };
    PrbsGenerator generator_;
    JitterSource source_;
    double per_bit_;
    double bit_time_;
    double level_;
    std::uint8_t last_bit_ = 0;
    std::size_t bits_ = 0;     // generated so far
    double last_edge_ = 0.0;   // the latest edge generated, in samples
    double current_ = 0.0;     // the level at the start of the next sample
    std::size_t next_sample_ = 0;
    std::deque<Edge> edges_;
};

}  // namespace amisim
