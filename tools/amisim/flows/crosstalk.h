#pragma once
// Aggressors in both flows. In the time-domain flow each aggressor is a
// transmitter instance of its own (the victim's model, with the victim's
// parameters unless --aggressor-param changes them) driven by a PRBS of its
// own seed; its output, convolved with its path, adds to the victim's wave
// at the receiver's input. In the statistical flow each aggressor's
// crosstalk pulse adds an independent distribution (crosstalk_cursors.h).
// AMI_Init of each model gets the aggressors' impulses as extra columns
// of the impulse matrix, as many as its Max_Init_Aggressors allows.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/amisim/channel/aggressor_paths.h"
#include "tools/amisim/channel/overlap_save.h"
#include "tools/amisim/eye/crosstalk_cursors.h"
#include "tools/amisim/eye/stat_eye.h"
#include "tools/amisim/flows/impairments.h"
#include "tools/amisim/flows/prbs.h"
#include "tools/amisim/models/model_instance.h"
#include "tools/amisim/models/link_model.h"

namespace amisim {

struct CrosstalkSetup {
    std::vector<AggressorPath> aggressors;
    std::vector<ParameterOverride> tx_params;  // on top of the victim's Tx parameters
    std::vector<std::uint64_t> seeds;          // in aggressor order; 0 is the victim's own pattern

    bool empty() const { return aggressors.empty(); }
    // The seed of aggressor `index`: the one given, else index + 1, so that
    // no two aggressors and no aggressor and the victim share a pattern.
    std::uint64_t Seed(std::size_t index) const { return index < seeds.size() ? seeds[index] : index + 1; }
    // The longest path, in samples.
    std::size_t LongestPath() const;
};

// The aggressors' Tx overrides: the victim's own (a sweep's among them),
// then --aggressor-param's on top.
std::vector<ParameterOverride> AggressorOverrides(const std::vector<ParameterOverride>& victim,
                                                  const CrosstalkSetup& setup);

// The aggressor columns a model takes of `available`: its
// Max_Init_Aggressors, none when it declares none.
std::size_t InitAggressorColumns(const LinkModel& model, std::size_t available);

// Dimensionless taps as an AMI_Init column: taps / sample interval, `rows`
// long (zero-padded or cut).
std::vector<double> AmiColumn(const std::vector<double>& taps, double sample_interval, std::size_t rows);

// The aggressor paths as the columns `model`'s AMI_Init takes.
std::vector<std::vector<double>> InitColumns(const LinkModel& model, const std::vector<std::vector<double>>& taps,
                                             double sample_interval, std::size_t rows);

// AMI_Init with the impulse matrix: the through column, then each
// aggressor column cut or zero-padded to the through's length.
bool InitWithAggressors(ModelInstance& instance, const std::string& parameters, const std::vector<double>& through,
                        const std::vector<std::vector<double>>& columns);
// Column `index` (0 the through, then the aggressors) of the matrix
// AMI_Init was given, as the model left it; `rows` its row_size.
std::vector<double> MatrixColumn(const ModelInstance& instance, std::size_t rows, std::size_t index);

// One aggressor's crosstalk as the statistical flow and the reports see it.
struct CrosstalkFigure {
    std::string kind, source;
    std::uint64_t seed = 0;
    std::vector<double> taps;   // the path through the aggressor's Tx (and the Rx, when it returns impulses)
    std::vector<double> pulse;  // its response to a 1 V unit-interval pulse on the aggressor
    CrosstalkCursors cursors;   // at its worst phase
    double peak_mv = 0.0, rms_mv = 0.0;  // at the victim's sampling time, NRZ +-0.5 V aggressor bits
};

struct CrosstalkReport {
    std::string tx_parameters;  // the aggressors' Tx parameter string
    std::vector<CrosstalkFigure> aggressors;
    std::size_t tx_columns = 0, rx_columns = 0;  // aggressor columns each AMI_Init received
    StatisticalEye without;  // the statistical eye of the victim alone
    bool has_without = false;
    bool empty() const { return aggressors.empty(); }
};

// What the statistical flow needs to shape the aggressors by their
// transmitter as it shapes the victim's channel by the victim's.
struct AggressorTxShaping {
    double sample_interval = 0.0, bit_time = 0.0;
    std::size_t rows = 0;    // the AMI_Init impulse's length
    std::size_t settle = 0;  // samples a step is held low before it rises
    std::size_t length = 0;  // taps kept of a transmitter's step response
    ModelHosting hosting;
};

// Each aggressor's path through an instance of the aggressor Tx: its
// impulse from AMI_Init when the model returns one, else its response to a
// step by AMI_GetWave convolved with the path. Throws a model-failure
// AmisimError when the instance fails.
std::vector<std::vector<double>> ShapeByAggressorTx(const LinkModel& tx, const std::string& parameters,
                                                    const CrosstalkSetup& setup, const AggressorTxShaping& shaping);

// What the statistical flow knows of the receiver when it shapes the
// aggressors as it shaped the victim.
struct RxShaping {
    std::size_t rows = 0;         // AMI_Init's row_size
    std::size_t columns = 0;      // aggressor columns it was given
    std::vector<double> given;    // the through column it was given (1/s)
    std::vector<double> step_taps;  // its step response, when it does not return its impulse
};

// The receiver's share: a receiver that returns its impulse has equalised
// the columns it was given; the others go through its response to the
// through (its returned impulse over its given one), which a note says. A
// receiver that does not return its impulse shapes them by its step
// response, as it shapes the victim.
void ShapeByRx(const LinkModel& rx, const ModelInstance& session, const RxShaping& shaping, double sample_interval,
               std::vector<std::vector<double>>& crosstalk_taps, std::vector<std::string>& notes);

// Sizes and cursors of each aggressor from its shaped taps.
std::vector<CrosstalkFigure> DescribeCrosstalk(const CrosstalkSetup& setup,
                                               std::vector<std::vector<double>> crosstalk_taps, int samples_per_bit);
// Every aggressor's cursors, for StatEyeSettings::crosstalk_cursors.
std::vector<double> AllCrosstalkCursors(const std::vector<CrosstalkFigure>& figures);

// The time-domain flow's aggressors, a block at a time in step with the
// victim: every aggressor's bits, Tx output and path, summed.
class CrosstalkSource {
public:
    struct Settings {
        int prbs = 7;
        int samples_per_bit = 16;
        double sample_interval = 0.0, bit_time = 0.0;
        std::size_t block_samples = 16384;
        std::size_t rows = 0;  // the AMI_Init impulse's length
        ModelHosting hosting;
        // For a transmitter without AMI_GetWave: each aggressor's path
        // through the taps its AMI_Init returned, convolved with the
        // stimulus in place of an instance.
        std::vector<std::vector<double>> init_only_paths;
        // The transmitter's jitter, which each aggressor's edges carry as
        // the victim's do, with draws of their own from `jitter_seed`.
        Jitter tx_jitter;
        std::uint64_t jitter_seed = 1;
    };
    // Initialises one Tx instance per aggressor with its path as the
    // through column. Throws a model-failure AmisimError when one refuses.
    CrosstalkSource(const LinkModel& tx, const std::string& parameters, const CrosstalkSetup& setup,
                    const Settings& settings);
    ~CrosstalkSource();
    CrosstalkSource(const CrosstalkSource&) = delete;
    CrosstalkSource& operator=(const CrosstalkSource&) = delete;

    // The summed crosstalk of the next `count` samples, the first being
    // sample `start` of the record; calls come in order.
    void Fill(std::size_t start, std::size_t count, double* crosstalk);
    // Closes every instance; throws when one's AMI_Close fails.
    void Close();
    double seconds() const noexcept { return seconds_; }

private:
    struct Aggressor;
    std::vector<std::unique_ptr<Aggressor>> aggressors_;
    std::size_t per_bit_;
    std::vector<double> path_out_;
    double seconds_ = 0.0;
};

}  // namespace amisim
