#include "tools/amisim/flows/crosstalk.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cmath>
#include <optional>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/flows/init_response.h"
#include "tools/amisim/flows/jittered_stimulus.h"
#include "tools/amisim/flows/statistical_flow.h"
#include "tools/amisim/flows/stimulus.h"

namespace amisim {

namespace {

std::string Name(std::size_t index) { return "aggressor " + std::to_string(index + 1) + " "; }
// How an aggressor's instance is named in a worker's diagnoses.
std::string Role(std::size_t index) { return "aggressor " + std::to_string(index + 1) + " Tx"; }

// The jitter draws of the victim's Tx edges and of the Rx clock are
// streams 1 and 2 of the run's seed; the aggressors' start clear of them.
constexpr std::uint64_t kFirstAggressorJitterStream = 16;

}  // namespace

std::size_t CrosstalkSetup::LongestPath() const {
    std::size_t longest = 0;
    for (const AggressorPath& path : aggressors) longest = std::max(longest, path.taps.size());
    return longest;
}

std::vector<ParameterOverride> AggressorOverrides(const std::vector<ParameterOverride>& victim,
                                                  const CrosstalkSetup& setup) {
    std::vector<ParameterOverride> all = victim;
    all.insert(all.end(), setup.tx_params.begin(), setup.tx_params.end());
    return all;
}

std::size_t InitAggressorColumns(const LinkModel& model, std::size_t available) {
    // A model that declares no count, or one that does not read as a
    // whole number, takes none: it may not look past the through column.
    const AmiParameter* declared = model.ami ? model.ami->Reserved("Max_Init_Aggressors") : nullptr;
    const std::optional<std::string> text = declared != nullptr ? declared->EffectiveDefault() : std::nullopt;
    const std::optional<double> count = text ? ParseAmiNumber(*text) : std::nullopt;
    if (!count || !(*count >= 0.0) || *count != std::floor(*count)) return 0;
    return static_cast<std::size_t>(std::min(*count, static_cast<double>(available)));
}

std::vector<double> AmiColumn(const std::vector<double>& taps, double sample_interval, std::size_t rows) {
    std::vector<double> column(std::max<std::size_t>(rows, 1), 0.0);
    const std::size_t count = std::min(column.size(), taps.size());
    for (std::size_t i = 0; i < count; ++i) column[i] = taps[i] / sample_interval;
    return column;
}

std::vector<std::vector<double>> InitColumns(const LinkModel& model, const std::vector<std::vector<double>>& taps,
                                             double sample_interval, std::size_t rows) {
    std::vector<std::vector<double>> columns;
    const std::size_t count = InitAggressorColumns(model, taps.size());
    for (std::size_t i = 0; i < count; ++i) columns.push_back(AmiColumn(taps[i], sample_interval, rows));
    return columns;
}

bool InitWithAggressors(ModelInstance& instance, const std::string& parameters, const std::vector<double>& through,
                        const std::vector<std::vector<double>>& columns) {
    const std::size_t rows = std::max<std::size_t>(through.size(), 1);
    std::vector<double> matrix((columns.size() + 1) * rows, 0.0);
    if (through.empty()) matrix[0] = 1.0 / instance.sample_interval();
    std::copy(through.begin(), through.end(), matrix.begin());
    for (std::size_t a = 0; a < columns.size(); ++a)
        std::copy_n(columns[a].begin(), std::min(rows, columns[a].size()),
                    matrix.begin() + static_cast<std::ptrdiff_t>((a + 1) * rows));
    return instance.Init(parameters, std::move(matrix), static_cast<long>(rows), static_cast<long>(columns.size()));
}

std::vector<double> MatrixColumn(const ModelInstance& instance, std::size_t rows, std::size_t index) {
    const std::vector<double>& matrix = instance.impulse();
    if (rows == 0 || (index + 1) * rows > matrix.size()) return {};
    const auto first = matrix.begin() + static_cast<std::ptrdiff_t>(index * rows);
    return std::vector<double>(first, first + static_cast<std::ptrdiff_t>(rows));
}

std::vector<std::vector<double>> ShapeByAggressorTx(const LinkModel& tx, const std::string& parameters,
                                                    const CrosstalkSetup& setup, const AggressorTxShaping& shaping) {
    std::vector<std::vector<double>> shaped;
    const double dt = shaping.sample_interval;
    for (std::size_t i = 0; i < setup.aggressors.size(); ++i) {
        const std::vector<double>& path = setup.aggressors[i].taps;
        const std::vector<double> init_impulse = AmiColumn(path, dt, shaping.rows);
        if (tx.ReturnsImpulse()) {
            const std::unique_ptr<ModelInstance> session = tx.NewInstance(Role(i), dt, shaping.bit_time, shaping.hosting);
            if (!session->Init(parameters, init_impulse))
                throw ModelError(Name(i) + "Tx AMI_Init failed (returned 0) in the instance driven for the "
                                 "statistical flow");
            std::vector<double> taps = MatrixColumn(*session, init_impulse.size(), 0);
            for (double& t : taps) t *= dt;
            if (!session->Close()) throw ModelError(Name(i) + "Tx AMI_Close failed (returned 0)");
            shaped.push_back(std::move(taps));
        } else if (tx.HasGetWave()) {
            const std::vector<double> tx_taps =
                TapsFromStep(*tx.NewInstance(Role(i), dt, shaping.bit_time, shaping.hosting), parameters, init_impulse,
                             shaping.settle, shaping.length, Name(i) + "Tx ");
            shaped.push_back(ConvolveTaps(tx_taps, path));
        } else {
            shaped.push_back(path);
        }
    }
    return shaped;
}

void ShapeByRx(const LinkModel& rx, const ModelInstance& session, const RxShaping& shaping, double sample_interval,
               std::vector<std::vector<double>>& crosstalk_taps, std::vector<std::string>& notes) {
    if (crosstalk_taps.empty()) return;
    if (!rx.ReturnsImpulse()) {
        if (shaping.step_taps.empty()) return;
        for (std::vector<double>& taps : crosstalk_taps) taps = ConvolveTaps(taps, shaping.step_taps);
        return;
    }
    const std::size_t given = std::min(shaping.columns, crosstalk_taps.size());
    for (std::size_t i = 0; i < given; ++i) {
        std::vector<double> column = MatrixColumn(session, shaping.rows, i + 1);
        for (double& v : column) v *= sample_interval;
        crosstalk_taps[i] = std::move(column);
    }
    if (given == crosstalk_taps.size()) return;
    const InitResponse response = ResponseFromInit(shaping.given, MatrixColumn(session, shaping.rows, 0));
    for (std::size_t i = given; i < crosstalk_taps.size(); ++i)
        crosstalk_taps[i] = ConvolveTaps(crosstalk_taps[i], response.taps);
    char residual[32];
    std::snprintf(residual, sizeof residual, "%.1e", response.residual);
    notes.push_back("crosstalk: the Rx took " + std::to_string(given) + " of the " +
                    std::to_string(crosstalk_taps.size()) +
                    " aggressor columns (Max_Init_Aggressors); the others go through its AMI_Init's output over "
                    "its input for the through (residual " + residual + ")");
}

std::vector<CrosstalkFigure> DescribeCrosstalk(const CrosstalkSetup& setup,
                                               std::vector<std::vector<double>> crosstalk_taps, int samples_per_bit) {
    std::vector<CrosstalkFigure> figures;
    for (std::size_t i = 0; i < setup.aggressors.size() && i < crosstalk_taps.size(); ++i) {
        CrosstalkFigure figure;
        figure.kind = setup.aggressors[i].kind;
        figure.source = setup.aggressors[i].source;
        figure.seed = setup.Seed(i);
        figure.taps = std::move(crosstalk_taps[i]);
        figure.pulse = PulseResponse(figure.taps, samples_per_bit);
        figure.cursors = WorstPhaseCursors(figure.pulse, samples_per_bit);
        // Aggressor bits are NRZ of the victim's levels, so each cursor
        // counts kNrzLevel times its unit-pulse value.
        figure.peak_mv = 1e3 * kNrzLevel * figure.cursors.peak;
        figure.rms_mv = 1e3 * kNrzLevel * figure.cursors.rms;
        figures.push_back(std::move(figure));
    }
    return figures;
}

std::vector<double> AllCrosstalkCursors(const std::vector<CrosstalkFigure>& figures) {
    std::vector<double> all;
    for (const CrosstalkFigure& figure : figures)
        all.insert(all.end(), figure.cursors.cursors.begin(), figure.cursors.cursors.end());
    return all;
}

struct CrosstalkSource::Aggressor {
    Aggressor(std::unique_ptr<ModelInstance> instance, int prbs, std::uint64_t seed, const std::vector<double>& taps,
              std::size_t block)
        : session(std::move(instance)), generator(prbs, seed), path(taps, 0, block) {}
    std::unique_ptr<ModelInstance> session;
    PrbsGenerator generator;
    std::unique_ptr<JitteredStimulus> jittered;  // with Tx jitter, in place of `generator`
    OverlapSaveConvolver path;
    std::uint8_t bit = 0;
    std::size_t index = 0;
    // Where its block is filtered: the model's shared buffer when it runs
    // out of process, else `own`.
    std::vector<double> own;
    double* wave = nullptr;
    std::size_t capacity = 0;

    void Reserve(std::size_t count) {
        if (count <= capacity) return;
        wave = session ? session->WaveBuffer(count) : nullptr;
        if (wave == nullptr) {
            own.resize(count);
            wave = own.data();
        }
        capacity = count;
    }
};

CrosstalkSource::CrosstalkSource(const LinkModel& tx, const std::string& parameters, const CrosstalkSetup& setup,
                                 const Settings& settings)
    : per_bit_(static_cast<std::size_t>(settings.samples_per_bit)) {
    const std::size_t block = std::max<std::size_t>(settings.block_samples, 1);
    const bool init_only = !settings.init_only_paths.empty();
    for (std::size_t i = 0; i < setup.aggressors.size(); ++i) {
        const std::vector<double>& taps =
            init_only && i < settings.init_only_paths.size() ? settings.init_only_paths[i] : setup.aggressors[i].taps;
        auto aggressor = std::make_unique<Aggressor>(
            init_only ? nullptr : tx.NewInstance(Role(i), settings.sample_interval, settings.bit_time, settings.hosting),
            settings.prbs, setup.Seed(i),
                                                     taps.empty() ? std::vector<double>{0.0} : taps, block);
        aggressor->index = i;
        if (!settings.tx_jitter.empty())
            aggressor->jittered = std::make_unique<JitteredStimulus>(
                settings.prbs, settings.samples_per_bit, settings.bit_time, settings.tx_jitter, settings.jitter_seed,
                kNrzLevel, setup.Seed(i), kFirstAggressorJitterStream + i);
        // Its own lane's channel is not known: the path to the victim is
        // the channel it sees, and no aggressors of its own.
        if (aggressor->session && !aggressor->session->Init(parameters, AmiColumn(taps, settings.sample_interval, settings.rows)))
            throw ModelError(Name(i) + "Tx AMI_Init failed (returned 0)");
        aggressor->Reserve(block);
        aggressors_.push_back(std::move(aggressor));
    }
    path_out_.resize(block);
}

CrosstalkSource::~CrosstalkSource() = default;

void CrosstalkSource::Fill(std::size_t start, std::size_t count, double* crosstalk) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point before = Clock::now();
    if (path_out_.size() < count) path_out_.resize(count);
    std::fill_n(crosstalk, count, 0.0);
    // Every aggressor's block is handed over before any is waited for, so
    // that models running out of process filter side by side.
    for (const std::unique_ptr<Aggressor>& aggressor : aggressors_) {
        aggressor->Reserve(count);
        double* wave = aggressor->wave;
        if (aggressor->jittered) {
            aggressor->jittered->Fill(wave, count);
        } else {
            for (std::size_t i = 0; i < count; ++i) {
                if ((start + i) % per_bit_ == 0) aggressor->bit = static_cast<std::uint8_t>(aggressor->generator.Next());
                wave[i] = aggressor->bit ? kNrzLevel : -kNrzLevel;
            }
        }
        if (aggressor->session) aggressor->session->StartGetWave(wave, static_cast<long>(count));
    }
    for (const std::unique_ptr<Aggressor>& aggressor : aggressors_) {
        if (aggressor->session && !aggressor->session->FinishGetWave())
            throw ModelError(Name(aggressor->index) + "Tx AMI_GetWave failed (returned 0) on samples " +
                             std::to_string(start) + " to " + std::to_string(start + count - 1));
        aggressor->path.Process(aggressor->wave, path_out_.data(), count);
        for (std::size_t i = 0; i < count; ++i) crosstalk[i] += path_out_[i];
    }
    seconds_ += std::chrono::duration<double>(Clock::now() - before).count();
}

void CrosstalkSource::Close() {
    for (const std::unique_ptr<Aggressor>& aggressor : aggressors_)
        if (aggressor->session && !aggressor->session->Close()) throw ModelError(Name(aggressor->index) + "Tx AMI_Close failed (returned 0)");
}

}  // namespace amisim
