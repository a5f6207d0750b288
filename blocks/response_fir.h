#pragma once
// FIR filter whose taps come from a sampled time response: impulse or step
// response values at ascending (not necessarily uniform) time stamps. Setup
// resamples the response onto the simulation grid (one tap per period
// 1 / SampleRate), differentiates a step response, scales by the period and
// then sets the filter up exactly like FIR<double,0>.

#include <cstdint>
#include <memory>

#include "blocks/fir.h"

namespace Vantrel {

class TimeResponseFIR : public FIR<double, 0> {
public:
    // Derives the taps and sets the filter up. Rewrites ResponseTimeStamps
    // in place so that the first stamp is 0; a repeated Setup therefore
    // derives the same taps.
    bool Setup() override;
    ~TimeResponseFIR() override;

    // Provided by the owner and never freed here.
    const double* Response = nullptr;
    double* ResponseTimeStamps = nullptr;
    std::int32_t NumberOfResponseValues = 0;
    std::int32_t NumberOfTimeStamps = 0;
    // 0: impulse response, 1: step response.
    std::int32_t ResponseType = 1;
    double SampleRate = 1e12;

private:
    // Reports the first pair of stamps out of order; shifts the stamps so
    // that the first is 0 on the way.
    bool ShiftTimeStamps();
    // Fills `taps` (before scaling) from the shifted stamps.
    void ResampleResponse(double* taps, std::int32_t count) const;

    // The array `Taps` points to after a successful derivation.
    std::unique_ptr<double[]> derivedTaps;
};

}  // namespace Vantrel
