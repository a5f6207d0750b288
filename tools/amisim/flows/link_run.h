#pragma once
// One simulation of the whole link: both models initialised with the
// channel's impulse as the IBIS-AMI flows chain it, the statistical eye
// from the impulse that comes back, and the time-domain flow through the
// same instances.

#include <functional>
#include <string>
#include <vector>

#include "tools/amisim/channel/channel.h"
#include "tools/amisim/flows/crosstalk.h"
#include "tools/amisim/models/link_model.h"
#include "tools/amisim/eye/stat_eye.h"
#include "tools/amisim/flows/impairments.h"
#include "tools/amisim/flows/time_domain_flow.h"

namespace amisim {

struct LinkSettings {
    int prbs = 7;
    std::size_t bits = 4096;
    double bit_rate = 10.8e9;
    int samples_per_bit = 16;
    std::size_t block_samples = 16384;
    std::optional<std::size_t> ignore_bits;
    std::size_t impulse_bits = 16;
    double ber = 1e-12;
    bool statistical = true;
    // Off for the points of a search or a statistical sweep: the
    // time-domain figures stay unset and the models see no AMI_GetWave.
    bool time_domain = true;
    // Jitter and noise from the command line; the models' files add theirs.
    ImpairmentSettings impairments;
    ModelHosting hosting;  // where the model instances run
    CrosstalkSetup crosstalk;  // aggressors, none by default

    double bit_time() const { return 1.0 / bit_rate; }
    double sample_interval() const { return bit_time() / samples_per_bit; }
};

struct LinkRun {
    std::string tx_parameters, rx_parameters;
    std::string tx_message, rx_message;
    std::string tx_parameters_out, rx_parameters_out;
    std::vector<std::string> notes;  // which flow rules were used
    // For an Init-only receiver: how far its response, taken as the ratio
    // of its AMI_Init's output to its input, misses that output.
    double rx_init_residual = 0.0;
    int samples_per_bit = 16;
    std::size_t skip_bits = 0;
    std::string skip_reason;
    TimeDomainResult time_domain;
    std::vector<double> impulse_taps;  // the statistical flow's combined impulse, dimensionless
    std::vector<double> pulse;
    StatisticalEye statistical;
    bool has_statistical = false;
    bool has_time_domain = false;
    ImpairmentSettings impairment_settings;  // every value and where it came from
    Impairments impairments;                 // as the flows used them
    CrosstalkReport crosstalk;  // empty without aggressors
};

// Above this residual an Init-only receiver's response is reported as
// approximate.
inline constexpr double kInitResponseTolerance = 1e-3;

// Printed as it happens, so a failing model's own words come first.
using RunPrinter = std::function<void(const std::string& line)>;

LinkRun RunLink(const LinkModel& tx, const LinkModel* rx, const Channel& channel, const LinkSettings& settings,
                const std::vector<ParameterOverride>& tx_extra, const std::vector<ParameterOverride>& rx_extra,
                const RunPrinter& print, const std::function<void(const StageBlock&)>& sink = {});

}  // namespace amisim
