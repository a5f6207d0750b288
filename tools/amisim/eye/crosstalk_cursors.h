#pragma once
// An aggressor's crosstalk as the statistical eye takes it: the samples of
// its crosstalk pulse a unit interval apart, each the weight of one
// independent, equiprobable aggressor bit at the victim's sampling time.
//
// The aggressor's phase is taken at its worst: of every sampling phase of
// its pulse, the one whose cursors carry the most power (the sum of their
// squares), whatever the victim's phase. Its distribution is then the same
// at every phase of the victim's eye, and an aggressor whose timing drifts
// against the victim's can never do worse than the eye shows.

#include <vector>

namespace amisim {

struct CrosstalkCursors {
    int phase = 0;                // samples into the unit interval of the worst phase
    std::vector<double> cursors;  // every cursor of that phase, unit pulse (1 V)
    double peak = 0.0;            // sum of |cursor|: the most all bits together reach
    double rms = 0.0;             // root of the sum of squares: the spread of random bits
};

CrosstalkCursors WorstPhaseCursors(const std::vector<double>& pulse, int samples_per_bit);

}  // namespace amisim
