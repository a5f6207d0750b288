#pragma once
// The time-domain flow of a link: a PRBS as NRZ through the transmitter's
// AMI_GetWave, the channel's convolution and the receiver's AMI_GetWave, a
// block at a time. Nothing holds the whole record: the eye is folded as
// the blocks pass, and only the record's start is kept for the picture.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tools/amisim/models/model_instance.h"
#include "tools/amisim/flows/clock_sampler.h"
#include "tools/amisim/eye/crossing_jitter.h"
#include "tools/amisim/eye/eye.h"
#include "tools/amisim/flows/impairments.h"
#include "tools/amisim/channel/overlap_save.h"

namespace amisim {

class CrosstalkSource;

struct LinkStages {
    ModelInstance* tx = nullptr;                // initialised; none: an Init-only Tx, held by `channel`
    OverlapSaveConvolver* channel = nullptr;    // none: ideal
    ModelInstance* rx = nullptr;                // none: no receiver, or an Init-only one
    OverlapSaveConvolver* rx_filter = nullptr;  // an Init-only receiver's response
    CrosstalkSource* crosstalk = nullptr;       // none: no aggressors
};

struct TimeDomainSettings {
    int prbs = 7;
    std::size_t bits = 4096;
    int samples_per_bit = 16;
    std::size_t block_samples = 16384;
    std::size_t skip_bits = 0;
    std::size_t max_latency_bits = 64;
    double sample_interval = 0.0;
    double bit_time = 0.0;
    // The record's start held whole: it places the eye, and a record no
    // longer than this is measured exactly as a whole record would be.
    std::size_t window_samples = std::size_t{1} << 20;
    // Tx jitter moves the stimulus's edges; Rx clock jitter and noise act at
    // the sampler, after the receiver model.
    Impairments impairments;
};

// One block of every stage; `rx` is null without a receiver.
struct StageBlock {
    std::size_t first_sample = 0;
    std::size_t count = 0;
    const double* input = nullptr;
    const double* tx = nullptr;
    const double* channel = nullptr;
    const double* rx = nullptr;
    const double* crosstalk = nullptr;  // the aggressors' share of `channel`; null without aggressors
};

// The AMI_parameters_out of one AMI_GetWave call, stamped with the time
// (seconds from the record's start) of the end of the block it filtered.
struct ParametersOutReport {
    double time = 0.0;
    std::string text;
};

struct TimeDomainResult {
    EyeMetrics eye;
    std::vector<double> window;  // the output's first window_samples, for the picture
    // With Rx clock jitter, the sampled output jumps where the clock's
    // displacement steps from bit to bit; a picture that follows the wave
    // takes the window before the clock's jitter (delayed and noisy alike)
    // and the clock's displacement, in samples, of each of its bits, the
    // first starting at sample `clock_delay`.
    std::vector<double> steady_window;
    std::vector<double> clock_shifts;
    long clock_delay = 0;
    std::optional<ClockEye> clock;  // when the receiver returned clock times
    CrossingJitter crossing;        // of the sampled output at the threshold
    // Each model's own time in AMI_GetWave, wherever it ran (out of process
    // the Tx's overlaps the channel's, so the stages may add up to more than
    // the run took).
    double tx_seconds = 0.0;
    double channel_seconds = 0.0;
    double rx_seconds = 0.0;
    double crosstalk_seconds = 0.0;  // the aggressors' Tx models and paths
    std::size_t calls = 0;
    std::size_t samples = 0;
    // Every call's parameters out, in order, for the calls that gave any.
    std::vector<ParametersOutReport> tx_reports, rx_reports;
};

// Throws a model-failure AmisimError naming the block when a GetWave fails.
TimeDomainResult RunTimeDomain(const LinkStages& stages, const TimeDomainSettings& settings,
                               const std::function<void(const StageBlock&)>& sink = {});

}  // namespace amisim
