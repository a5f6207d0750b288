#pragma once
// The driver's characterised impulse responses: nine operating points, each
// sampled at the same 80 time stamps. Response k belongs to regulator index
// k / 3 and process corner index k % 3.

inline constexpr int kDriverResponseCount = 9;
inline constexpr int kDriverResponseLength = 80;

// Seconds from the first sample; the grid is five bits at 10.8 Gb/s.
extern const double kDriverTimeStamps[kDriverResponseLength];
// Impulse response values in 1/s.
extern const double kDriverResponses[kDriverResponseCount][kDriverResponseLength];
