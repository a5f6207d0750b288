#pragma once
// An Init-only receiver's own response, for the time-domain flow: the
// receiver never filters a waveform, so what its AMI_Init did to the
// impulse it was given is what it does to the received wave. The response
// is the ratio of the impulse AMI_Init returned to the impulse it was given,
// taken where the given impulse carries energy: that keeps whatever the
// model adapted to this channel, and where the channel carries nothing the
// received wave carries nothing either, so the ratio is not needed there.

#include <vector>

namespace amisim {

struct InitResponse {
    std::vector<double> taps;  // dimensionless, output[n] = sum taps[k] input[n - k]
    // How far the taps fall short of turning the given impulse into the
    // returned one, relative to the returned one's size: near 0 unless the
    // returned impulse holds frequencies the given one does not carry. (Any
    // response of the impulse's length can be matched, so this says nothing
    // of whether the model is linear.)
    double residual = 0.0;
};

// `given` and `returned` are the same length (1/s or any common unit).
InitResponse ResponseFromInit(const std::vector<double>& given, const std::vector<double>& returned);

}  // namespace amisim
