#include "tools/amisim/flows/link_run.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/flows/ami_impairments.h"
#include "tools/amisim/flows/init_response.h"
#include "tools/amisim/flows/statistical_flow.h"
#include "tools/amisim/letter_case.h"

namespace amisim {

namespace {

// The bits left out of the eye while the link settles: the user's count,
// else the models' Ignore_Bits (the larger), else as many as the impulse
// AMI_Init gets; a channel adds the bits its impulse spans, and so does
// each Init-only model, whose impulse the time-domain flow convolves.
// Each model's Ignore_Bits as its file gives it, or as its AMI_Init
// returned it when the file declares it an output.
struct IgnoreBits {
    std::optional<long> tx, rx;
    bool tx_returned = false, rx_returned = false;
};

std::pair<std::size_t, std::string> ChooseSkip(const IgnoreBits& ignore, const LinkModel& tx, const LinkModel* rx,
                                               const Channel& channel, const LinkSettings& settings,
                                               std::size_t impulse_samples) {
    if (settings.ignore_bits) return {*settings.ignore_bits, "--ignore-bits"};
    std::size_t skip = 0;
    std::string reason;
    if (ignore.tx) {
        skip = static_cast<std::size_t>(*ignore.tx);
        reason = ignore.tx_returned ? "Ignore_Bits as the Tx's AMI_Init returned it" : "Ignore_Bits";
    }
    if (ignore.rx && static_cast<std::size_t>(*ignore.rx) > skip) {
        skip = static_cast<std::size_t>(*ignore.rx);
        reason = ignore.rx_returned ? "Ignore_Bits as the Rx's AMI_Init returned it" : "Ignore_Bits";
    }
    if (reason.empty()) {
        skip = settings.impulse_bits;
        reason = "the impulse length";
    }
    const auto bits = [&](std::size_t samples) {
        return (samples + static_cast<std::size_t>(settings.samples_per_bit) - 1) /
               static_cast<std::size_t>(settings.samples_per_bit);
    };
    if (!tx.HasGetWave()) {
        skip += bits(impulse_samples);
        reason += " and the Tx impulse's length";
    } else if (!channel.ideal()) {
        skip += bits(channel.taps.size());
        reason += " and the channel's length";
    }
    if (rx != nullptr && !rx->HasGetWave()) {
        skip += bits(impulse_samples);
        reason += " and the Rx impulse's length";
    }
    const std::size_t crosstalk_bits = bits(settings.crosstalk.LongestPath());
    if (crosstalk_bits > bits(channel.taps.size())) {
        skip += crosstalk_bits - bits(channel.taps.size());
        reason += " and the aggressors' paths";
    }
    return {skip, reason};
}

std::vector<double> Scaled(const std::vector<double>& values, double factor) {
    std::vector<double> out(values);
    for (double& v : out) v *= factor;
    return out;
}

// amisim drives and measures NRZ links; a PAM4 model's eye read as NRZ
// would be a wrong answer, so such a run stops and says why.
void CheckNrz(const LinkModel& model) {
    const std::optional<std::string> modulation = ModelModulation(model.ami ? &*model.ami : nullptr);
    if (!modulation || EqualsIgnoringCase(*modulation, "NRZ")) return;
    throw UsageError(model.choice.role + " model " + model.library_path.filename().string() + ": Modulation " +
                     *modulation + ": amisim runs NRZ links only");
}

void CheckSizes(const LinkSettings& settings, std::size_t skip_bits, const std::string& skip_reason) {
    if (skip_bits >= settings.bits || settings.bits - skip_bits < 4)
        throw UsageError("--bits " + std::to_string(settings.bits) + " leaves too few bits after the " +
                         std::to_string(skip_bits) + " skipped (" + skip_reason + ")");
}

}  // namespace

LinkRun RunLink(const LinkModel& tx, const LinkModel* rx, const Channel& channel, const LinkSettings& settings,
                const std::vector<ParameterOverride>& tx_extra, const std::vector<ParameterOverride>& rx_extra,
                const RunPrinter& print, const std::function<void(const StageBlock&)>& sink) {
    LinkRun run;
    run.samples_per_bit = settings.samples_per_bit;
    const ParameterString tx_parameters = tx.Parameters(tx_extra);
    run.tx_parameters = tx_parameters.text;
    for (const std::string& warning : tx_parameters.warnings) print("warning: " + warning);
    if (rx != nullptr) {
        const ParameterString rx_parameters = rx->Parameters(rx_extra);
        run.rx_parameters = rx_parameters.text;
        for (const std::string& warning : rx_parameters.warnings) print("warning: " + warning);
    }
    CheckNrz(tx);
    if (rx != nullptr) CheckNrz(*rx);
    run.impairment_settings = settings.impairments;
    if (tx.ami) ReadAmiImpairments(*tx.ami, tx.ami_path.filename().string(), false, run.impairment_settings);
    if (rx != nullptr && rx->ami)
        ReadAmiImpairments(*rx->ami, rx->ami_path.filename().string(), true, run.impairment_settings);
    run.impairments = ResolveImpairments(run.impairment_settings, settings.bit_time());
    const double dt = settings.sample_interval();
    const std::size_t per_bit = static_cast<std::size_t>(settings.samples_per_bit);
    // AMI_Init sees the channel's whole impulse, or the usual length for an
    // ideal channel.
    const std::size_t impulse_samples = std::max({settings.impulse_bits * per_bit, channel.taps.size(),
                                                  settings.crosstalk.LongestPath()});
    IgnoreBits ignore{tx.flow.ignore_bits.value, rx != nullptr ? rx->flow.ignore_bits.value : std::nullopt};
    std::tie(run.skip_bits, run.skip_reason) = ChooseSkip(ignore, tx, rx, channel, settings, impulse_samples);
    CheckSizes(settings, run.skip_bits, run.skip_reason);
    const std::vector<double> channel_impulse = channel.AmiImpulse(dt, impulse_samples);
    const CrosstalkSetup& crosstalk = settings.crosstalk;
    std::vector<std::vector<double>> crosstalk_taps;
    for (const AggressorPath& path : crosstalk.aggressors) crosstalk_taps.push_back(path.taps);

    // What a model declares Usage Out is what its AMI_Init returned: its
    // Ignore_Bits, which may move the skip, and its jitter and noise.
    const auto take_returned = [&](const LinkModel& model, const std::string& parameters_out, bool receiver) {
        const AmiFile* ami = model.ami ? &*model.ami : nullptr;
        if (const std::optional<long> returned = ReturnedIgnoreBits(ami, parameters_out)) {
            (receiver ? ignore.rx : ignore.tx) = returned;
            (receiver ? ignore.rx_returned : ignore.tx_returned) = true;
            std::tie(run.skip_bits, run.skip_reason) = ChooseSkip(ignore, tx, rx, channel, settings, impulse_samples);
            CheckSizes(settings, run.skip_bits, run.skip_reason);
        }
        if (ami == nullptr) return;
        const std::string source =
            std::string(receiver ? "the Rx" : rx != nullptr ? "the Tx" : "the") + " model's AMI_parameters_out";
        for (const std::string& warning :
             ReadReturnedImpairments(*ami, parameters_out, source, receiver, run.impairment_settings))
            print("warning: " + warning);
    };

    const std::string tx_role = rx != nullptr ? "Tx" : "";
    const std::unique_ptr<ModelInstance> tx_instance = tx.NewInstance(tx_role, dt, settings.bit_time(), settings.hosting);
    ModelInstance& tx_session = *tx_instance;
    const std::vector<std::vector<double>> tx_columns = InitColumns(tx, crosstalk_taps, dt, impulse_samples);
    run.crosstalk.tx_columns = tx_columns.size();
    const bool tx_ok = InitWithAggressors(tx_session, run.tx_parameters, channel_impulse, tx_columns);
    run.tx_message = tx_session.message();
    run.tx_parameters_out = tx_session.parameters_out();
    print((rx != nullptr ? "Tx model message " : "model message ") + IndentMessage(run.tx_message, 16));
    if (!tx_ok) throw ModelError(std::string(rx != nullptr ? "Tx " : "") + "AMI_Init failed (returned 0)");
    take_returned(tx, run.tx_parameters_out, false);

    // The transmitter's share of the statistical flow's impulse.
    std::vector<double> combined;
    if (settings.statistical || rx != nullptr || !tx.HasGetWave()) {
        if (tx.ReturnsImpulse()) {
            combined = Scaled(MatrixColumn(tx_session, impulse_samples, 0), dt);
            run.notes.push_back("Tx impulse: from its AMI_Init (Init_Returns_Impulse True)");
        } else {
            const std::size_t settle = std::max(run.skip_bits, settings.impulse_bits) * per_bit;
            const std::vector<double> tx_taps = TapsFromStep(*tx.NewInstance(tx_role, dt, settings.bit_time(), settings.hosting),
                                                             run.tx_parameters, channel_impulse, settle,
                                                             settings.impulse_bits * per_bit,
                                                             rx != nullptr ? "Tx " : "");
            combined = channel.ideal() ? tx_taps : ConvolveTaps(tx_taps, channel.taps);
            run.notes.push_back("Tx impulse: its AMI_GetWave driven with a 1 V step and differenced "
                                "(Init_Returns_Impulse False, GetWave_Exists True)");
        }
    }
    // An Init-only transmitter's waveform is the stimulus through the
    // Tx-and-channel impulse its AMI_Init returned.
    const std::vector<double> tx_init_taps = tx.HasGetWave() ? std::vector<double>{} : combined;
    if (!tx.HasGetWave())
        run.notes.push_back("Tx waveform: the stimulus convolved with the Tx-and-channel impulse its AMI_Init "
                            "returned (GetWave_Exists False)");

    // The aggressors through their own transmitters, as the Rx gets them.
    std::vector<std::vector<double>> init_only_paths;
    if (!crosstalk.empty()) {
        const ParameterString parameters = tx.Parameters(AggressorOverrides(tx_extra, crosstalk));
        run.crosstalk.tx_parameters = parameters.text;
        for (const std::string& warning : parameters.warnings)
            if (std::find(tx_parameters.warnings.begin(), tx_parameters.warnings.end(), warning) ==
                tx_parameters.warnings.end())
                print("warning: aggressors' Tx: " + warning);
        AggressorTxShaping shaping;
        shaping.sample_interval = dt;
        shaping.bit_time = settings.bit_time();
        shaping.rows = impulse_samples;
        shaping.settle = std::max(run.skip_bits, settings.impulse_bits) * per_bit;
        shaping.length = settings.impulse_bits * per_bit;
        shaping.hosting = settings.hosting;
        crosstalk_taps = ShapeByAggressorTx(tx, parameters.text, crosstalk, shaping);
        // An Init-only transmitter never filters a waveform: its aggressors'
        // waves are the stimulus through these taps, as the victim's is.
        if (!tx.HasGetWave()) init_only_paths = crosstalk_taps;
    }

    std::unique_ptr<ModelInstance> rx_session;
    std::vector<double> rx_init_taps;
    RxShaping rx_shaping;
    rx_shaping.rows = combined.size();
    const std::size_t rx_rows = rx_shaping.rows;
    if (rx != nullptr) {
        rx_session = rx->NewInstance("Rx", dt, settings.bit_time(), settings.hosting);
        const std::vector<std::vector<double>> rx_columns = InitColumns(*rx, crosstalk_taps, dt, rx_rows);
        run.crosstalk.rx_columns = rx_columns.size();
        const bool rx_ok = InitWithAggressors(*rx_session, run.rx_parameters, Scaled(combined, 1.0 / dt), rx_columns);
        run.rx_message = rx_session->message();
        run.rx_parameters_out = rx_session->parameters_out();
        print("Rx model message " + IndentMessage(run.rx_message, 16));
        // The receiver is input to this run like the channel: one that will
        // not start with the settings given is reported as such (exit 2).
        if (!rx_ok) throw UsageError("Rx AMI_Init failed (returned 0)");
        take_returned(*rx, run.rx_parameters_out, true);
        const std::vector<double> given = Scaled(combined, 1.0 / dt);
        rx_shaping.given = given;
        rx_shaping.columns = run.crosstalk.rx_columns;
        if (rx->ReturnsImpulse()) {
            combined = Scaled(MatrixColumn(*rx_session, rx_rows, 0), dt);
            run.notes.push_back("Rx impulse: from its AMI_Init (Init_Returns_Impulse True)");
        } else {
            // As for a transmitter: a fresh instance, started on the same
            // impulse, answers a step. Exact for a linear receiver; a
            // deciding one (a DFE) answers the step's single edge.
            const std::size_t settle = std::max(run.skip_bits, settings.impulse_bits) * per_bit;
            const std::vector<double> rx_taps =
                TapsFromStep(*rx->NewInstance("Rx", dt, settings.bit_time(), settings.hosting), run.rx_parameters,
                             given, settle, settings.impulse_bits * per_bit, "Rx ");
            combined = ConvolveTaps(combined, rx_taps);
            rx_shaping.step_taps = rx_taps;
            run.notes.push_back("Rx impulse: its AMI_GetWave driven with a 1 V step and differenced "
                                "(Init_Returns_Impulse False)");
        }
        if (!rx->HasGetWave()) {
            // The rule amisim states for an Init-only receiver: its response
            // is what its AMI_Init returned over what it was given.
            const InitResponse response = ResponseFromInit(given, MatrixColumn(*rx_session, rx_rows, 0));
            rx_init_taps = response.taps;
            run.rx_init_residual = response.residual;
            char residual[32];
            std::snprintf(residual, sizeof residual, "%.1e", response.residual);
            run.notes.push_back(std::string("Rx waveform: the received wave through its AMI_Init's output over its "
                                            "input (GetWave_Exists False; residual ") +
                                residual + ")");
            if (response.residual > kInitResponseTolerance)
                print("warning: the Rx AMI_Init's output holds what its input does not carry (residual " +
                      std::string(residual) + " of the response taken as their ratio); its equalisation of the "
                      "waveform is approximate");
        }
    }

    run.impairments = ResolveImpairments(run.impairment_settings, settings.bit_time());

    if (!crosstalk.empty()) {
        if (rx != nullptr) ShapeByRx(*rx, *rx_session, rx_shaping, dt, crosstalk_taps, run.notes);
        run.crosstalk.aggressors = DescribeCrosstalk(crosstalk, std::move(crosstalk_taps), settings.samples_per_bit);
    }

    if (settings.statistical) {
        run.impulse_taps = combined;
        run.pulse = PulseResponse(combined, settings.samples_per_bit);
        StatEyeSettings stat_settings;
        stat_settings.samples_per_bit = settings.samples_per_bit;
        stat_settings.ber = settings.ber;
        stat_settings.impairments = run.impairments;
        if (!run.crosstalk.empty()) {
            run.crosstalk.without = ComputeStatisticalEye(run.pulse, stat_settings);
            run.crosstalk.has_without = true;
            stat_settings.crosstalk_cursors = AllCrosstalkCursors(run.crosstalk.aggressors);
        }
        run.statistical = ComputeStatisticalEye(run.pulse, stat_settings);
        run.has_statistical = true;
    }

    if (!settings.time_domain) {
        // A search's candidate: the instances close here, their failures
        // reported as after the time-domain flow.
        if (!tx_session.Close())
            throw ModelError(std::string(rx != nullptr ? "Tx " : "") + "AMI_Close failed (returned 0)");
        if (rx_session && !rx_session->Close()) throw ModelError("Rx AMI_Close failed (returned 0)");
        return run;
    }
    // The channel stage carries an Init-only transmitter's impulse, which
    // holds the channel already.
    const std::vector<double>& channel_stage = tx.HasGetWave() ? channel.taps : tx_init_taps;
    std::unique_ptr<OverlapSaveConvolver> convolver;
    if (!tx.HasGetWave() || !channel.ideal())
        convolver = std::make_unique<OverlapSaveConvolver>(channel_stage, 0, settings.block_samples);
    std::unique_ptr<OverlapSaveConvolver> rx_filter;
    if (!rx_init_taps.empty())
        rx_filter = std::make_unique<OverlapSaveConvolver>(rx_init_taps, 0, settings.block_samples);
    LinkStages stages;
    stages.tx = tx.HasGetWave() ? &tx_session : nullptr;
    stages.channel = convolver.get();
    stages.rx = rx != nullptr && rx->HasGetWave() ? rx_session.get() : nullptr;
    stages.rx_filter = rx_filter.get();
    std::unique_ptr<CrosstalkSource> aggressors;
    if (!crosstalk.empty()) {
        CrosstalkSource::Settings source;
        source.prbs = settings.prbs;
        source.samples_per_bit = settings.samples_per_bit;
        source.sample_interval = dt;
        source.bit_time = settings.bit_time();
        source.block_samples = settings.block_samples;
        source.rows = impulse_samples;
        source.hosting = settings.hosting;
        source.init_only_paths = std::move(init_only_paths);
        source.tx_jitter = run.impairments.tx;
        source.jitter_seed = run.impairments.seed;
        aggressors = std::make_unique<CrosstalkSource>(tx, run.crosstalk.tx_parameters, crosstalk, source);
        stages.crosstalk = aggressors.get();
    }
    TimeDomainSettings td;
    td.prbs = settings.prbs;
    td.bits = settings.bits;
    td.samples_per_bit = settings.samples_per_bit;
    td.block_samples = settings.block_samples;
    td.skip_bits = run.skip_bits;
    td.sample_interval = dt;
    td.bit_time = settings.bit_time();
    td.impairments = run.impairments;
    // The eye may lag by the channel's delay on top of the models' own.
    const auto delay_bits = [&](const std::vector<double>& taps) -> std::size_t {
        if (taps.empty()) return 0;
        return FindCursors(PulseResponse(taps, settings.samples_per_bit), settings.samples_per_bit).main_index /
               per_bit;
    };
    td.max_latency_bits = 64 + (convolver ? delay_bits(channel_stage) : 0) + delay_bits(rx_init_taps);
    run.time_domain = RunTimeDomain(stages, td, sink);
    run.has_time_domain = true;

    if (aggressors) aggressors->Close();
    if (!tx_session.Close()) throw ModelError(std::string(rx != nullptr ? "Tx " : "") + "AMI_Close failed (returned 0)");
    if (!tx_session.parameters_out().empty()) run.tx_parameters_out = tx_session.parameters_out();
    if (rx_session) {
        if (!rx_session->Close()) throw ModelError("Rx AMI_Close failed (returned 0)");
        if (!rx_session->parameters_out().empty()) run.rx_parameters_out = rx_session->parameters_out();
    }
    return run;
}

}  // namespace amisim
