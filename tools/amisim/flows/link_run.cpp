#include "tools/amisim/flows/link_run.h"

#include <algorithm>
#include <cmath>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/flows/statistical_flow.h"

namespace amisim {

namespace {

// The bits left out of the eye while the link settles: the user's count,
// else the models' Ignore_Bits (the larger), else as many as the impulse
// AMI_Init gets; a channel adds the bits its impulse spans.
std::pair<std::size_t, std::string> ChooseSkip(const LinkModel& tx, const LinkModel* rx, const Channel& channel,
                                               const LinkSettings& settings) {
    if (settings.ignore_bits) return {*settings.ignore_bits, "--ignore-bits"};
    std::size_t skip = 0;
    std::string reason;
    if (tx.ami && tx.ami->ignore_bits) {
        skip = static_cast<std::size_t>(*tx.ami->ignore_bits);
        reason = "Ignore_Bits";
    }
    if (rx != nullptr && rx->ami && rx->ami->ignore_bits &&
        static_cast<std::size_t>(*rx->ami->ignore_bits) > skip) {
        skip = static_cast<std::size_t>(*rx->ami->ignore_bits);
        reason = "Ignore_Bits";
    }
    if (reason.empty()) {
        skip = settings.impulse_bits;
        reason = "the impulse length";
    }
    if (!channel.ideal()) {
        skip += (channel.taps.size() + settings.samples_per_bit - 1) / settings.samples_per_bit;
        reason += " and the channel's length";
    }
    return {skip, reason};
}

std::vector<double> Scaled(const std::vector<double>& values, double factor) {
    std::vector<double> out(values);
    for (double& v : out) v *= factor;
    return out;
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
    std::tie(run.skip_bits, run.skip_reason) = ChooseSkip(tx, rx, channel, settings);
    CheckSizes(settings, run.skip_bits, run.skip_reason);

    const double dt = settings.sample_interval();
    const std::size_t per_bit = static_cast<std::size_t>(settings.samples_per_bit);
    // AMI_Init sees the channel's whole impulse, or the usual length for an
    // ideal channel.
    const std::size_t impulse_samples = std::max(settings.impulse_bits * per_bit, channel.taps.size());
    const std::vector<double> channel_impulse = channel.AmiImpulse(dt, impulse_samples);

    const std::string tx_role = rx != nullptr ? "Tx" : "";
    const std::unique_ptr<ModelInstance> tx_instance = tx.NewInstance(tx_role, dt, settings.bit_time(), settings.hosting);
    ModelInstance& tx_session = *tx_instance;
    const bool tx_ok = tx_session.Init(run.tx_parameters, channel_impulse);
    run.tx_message = tx_session.message();
    run.tx_parameters_out = tx_session.parameters_out();
    print((rx != nullptr ? "Tx model message " : "model message ") + IndentMessage(run.tx_message, 16));
    if (!tx_ok) throw ModelError(std::string(rx != nullptr ? "Tx " : "") + "AMI_Init failed (returned 0)");

    // The transmitter's share of the statistical flow's impulse.
    std::vector<double> combined;
    if (settings.statistical || rx != nullptr) {
        if (tx.ReturnsImpulse()) {
            combined = Scaled(tx_session.impulse(), dt);
            run.notes.push_back("Tx impulse: from its AMI_Init (Init_Returns_Impulse True)");
        } else if (tx.HasGetWave()) {
            const std::size_t settle = std::max(run.skip_bits, settings.impulse_bits) * per_bit;
            const std::vector<double> tx_taps = TapsFromStep(*tx.NewInstance(tx_role, dt, settings.bit_time(), settings.hosting),
                                                             run.tx_parameters, channel_impulse, settle,
                                                             settings.impulse_bits * per_bit,
                                                             rx != nullptr ? "Tx " : "");
            combined = channel.ideal() ? tx_taps : ConvolveTaps(tx_taps, channel.taps);
            run.notes.push_back("Tx impulse: its AMI_GetWave driven with a 1 V step and differenced "
                                "(Init_Returns_Impulse False, GetWave_Exists True)");
        } else {
            combined = channel.ideal() ? std::vector<double>{1.0} : channel.taps;
            run.notes.push_back("Tx impulse: none (the model neither returns an impulse nor filters)");
        }
    }

    std::unique_ptr<ModelInstance> rx_session;
    if (rx != nullptr) {
        rx_session = rx->NewInstance("Rx", dt, settings.bit_time(), settings.hosting);
        const bool rx_ok = rx_session->Init(run.rx_parameters, Scaled(combined, 1.0 / dt));
        run.rx_message = rx_session->message();
        run.rx_parameters_out = rx_session->parameters_out();
        print("Rx model message " + IndentMessage(run.rx_message, 16));
        // The receiver is input to this run like the channel: one that will
        // not start with the settings given is reported as such (exit 2).
        if (!rx_ok) throw UsageError("Rx AMI_Init failed (returned 0)");
        if (rx->ReturnsImpulse()) {
            combined = Scaled(rx_session->impulse(), dt);
            run.notes.push_back("Rx impulse: from its AMI_Init (Init_Returns_Impulse True)");
        } else {
            run.notes.push_back("Rx impulse: unchanged (Init_Returns_Impulse False): the statistical eye "
                                "leaves out the receiver's equalisation");
        }
    }

    if (settings.statistical) {
        run.impulse_taps = combined;
        run.pulse = PulseResponse(combined, settings.samples_per_bit);
        StatEyeSettings stat_settings;
        stat_settings.samples_per_bit = settings.samples_per_bit;
        stat_settings.ber = settings.ber;
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
    std::unique_ptr<OverlapSaveConvolver> convolver;
    if (!channel.ideal()) convolver = std::make_unique<OverlapSaveConvolver>(channel.taps, 0, settings.block_samples);
    LinkStages stages;
    stages.tx = &tx_session;
    stages.channel = convolver.get();
    stages.rx = rx_session.get();
    TimeDomainSettings td;
    td.prbs = settings.prbs;
    td.bits = settings.bits;
    td.samples_per_bit = settings.samples_per_bit;
    td.block_samples = settings.block_samples;
    td.skip_bits = run.skip_bits;
    td.sample_interval = dt;
    td.bit_time = settings.bit_time();
    // The eye may lag by the channel's delay on top of the models' own.
    td.max_latency_bits = 64 + (channel.ideal() ? 0 : FindCursors(PulseResponse(channel.taps, settings.samples_per_bit),
                                                                   settings.samples_per_bit).main_index / per_bit);
    run.time_domain = RunTimeDomain(stages, td, sink);
    run.has_time_domain = true;

    if (!tx_session.Close()) throw ModelError(std::string(rx != nullptr ? "Tx " : "") + "AMI_Close failed (returned 0)");
    if (!tx_session.parameters_out().empty()) run.tx_parameters_out = tx_session.parameters_out();
    if (rx_session) {
        if (!rx_session->Close()) throw ModelError("Rx AMI_Close failed (returned 0)");
        if (!rx_session->parameters_out().empty()) run.rx_parameters_out = rx_session->parameters_out();
    }
    return run;
}

}  // namespace amisim
