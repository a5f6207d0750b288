// amisim: drives IBIS-AMI models the way a channel simulator does: a
// transmitter, optionally a channel and a receiver, in the time-domain flow
// (a PRBS through every AMI_GetWave) and the statistical flow (the channel's
// impulse through every AMI_Init), and reports the eye at the far end.
//
//   amisim [options] MODEL
//
// MODEL is an .ibs file, whose [Algorithmic Model] Executable line for this
// platform names the library and its .ami file, or the library itself.

#include <CLI/CLI.hpp>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/channel/channel.h"
#include "tools/amisim/channel/touchstone.h"
#include "tools/amisim/cli/command_options.h"
#include "tools/amisim/cli/optimise_command.h"
#include "tools/amisim/cli/sweep_command.h"
#include "tools/amisim/figure_text.h"
#include "tools/amisim/flows/link_run.h"
#include "tools/amisim/flows/stimulus.h"
#include "tools/amisim/flows/sweep.h"
#include "tools/amisim/models/link_model.h"
#include "tools/amisim/reports/adaptation_report.h"
#include "tools/amisim/reports/crosstalk_report.h"
#include "tools/amisim/reports/csv_writer.h"
#include "tools/amisim/reports/flow_report.h"
#include "tools/amisim/reports/grid_report.h"
#include "tools/amisim/reports/impairment_report.h"
#include "tools/amisim/reports/json_report.h"
#include "tools/amisim/reports/pictures.h"
#include "tools/amisim/reports/progress.h"
#include "tools/amisim/reports/summary.h"

namespace fs = std::filesystem;
using namespace amisim;

namespace {

// Every output path is tried before the simulation starts, so a long run
// never ends in a file it cannot write. An existing file is left as it is.
void CheckWritable(const std::string& path, const char* option) {
    if (path.empty()) return;
    std::error_code error;
    const fs::path file(path);
    if (fs::is_directory(file, error)) throw UsageError(option + (" " + path) + ": is a folder, not a file");
    if (fs::exists(file, error)) {
        if (::access(path.c_str(), W_OK) != 0) throw UsageError(option + (" " + path) + ": cannot write the file");
        return;
    }
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    if (!fs::is_directory(folder, error)) throw UsageError(option + (" " + path) + ": no such folder");
    if (::access(folder.c_str(), W_OK) != 0) throw UsageError(option + (" " + path) + ": cannot write in its folder");
}

template <typename Write>
void WriteFile(const std::string& path, const char* what, Write write) {
    std::ofstream out(path, std::ios::binary);
    if (!out) throw UsageError(path + ": cannot write the " + what);
    write(out);
    out.close();
    if (!out) throw UsageError(path + ": cannot write the " + what);
}

void Print(const std::string& line) {
    if (line.rfind("warning: ", 0) == 0) {
        std::fflush(stdout);
        std::cerr << "amisim: " << line << '\n';
    } else {
        std::printf("  %s\n", line.c_str());
        std::fflush(stdout);
    }
}

Channel MakeChannel(const Options& options, const AnalogEnds& ends) {
    const double dt = options.link.sample_interval();
    if (!options.channel.empty() && !options.line.empty())
        throw UsageError("--channel and --line both give the channel; choose one");
    Channel channel;
    if (!options.channel.empty()) {
        channel = LoadChannel(options.channel, options.ports, ends, dt);
    } else if (!options.line.empty()) {
        LineParameters line = options.line_parameters;
        line.length_m = ParseLength(options.line);
        channel = LineChannel(line, ends, dt);
    } else {
        channel.name = channel.description = "ideal";
    }
    const EndOptions& given = options.ends;
    if (!given.tx_rs.empty() || !given.tx_cs.empty() || !given.rx_rt.empty() || !given.rx_cp.empty())
        if (options.line.empty() && (options.channel.empty() || !IsTouchstoneName(options.channel)))
            channel.warnings.push_back("--tx-rs, --tx-cs, --rx-rt and --rx-cp shape a Touchstone or --line channel; "
                                       "this channel is taken as given");
    return channel;
}

// The aggressors of --aggressor and --aggressor-channel, in that order.
// Aggressor lanes of the victim's own file terminate ports the victim's
// through saw matched, so the through is taken from the same solve.
CrosstalkSetup MakeCrosstalk(const Options& options, const AnalogEnds& ends, Channel& channel) {
    const double dt = options.link.sample_interval();
    CrosstalkSetup setup;
    if (!options.aggressors.empty() && !options.line.empty())
        throw UsageError("--aggressor takes its ports from a --channel Touchstone file, not from --line");
    NetworkAggressors network = AggressorsFromNetwork(options.channel, options.ports, options.aggressors, ends, dt);
    if (!network.aggressors.empty()) channel.taps = std::move(network.victim_taps);
    setup.aggressors = std::move(network.aggressors);
    for (const std::string& written : options.aggressor_channels)
        setup.aggressors.push_back(LoadAggressorChannel(written, ends, dt));
    for (const std::string& text : options.aggressor_params) setup.tx_params.push_back(ParseOverride(text));
    setup.seeds = options.aggressor_seeds;
    if (setup.empty() && (!setup.tx_params.empty() || !setup.seeds.empty()))
        throw UsageError("--aggressor-param and --aggressor-seed need an --aggressor or --aggressor-channel");
    if (setup.seeds.size() > setup.aggressors.size())
        throw UsageError("--aggressor-seed is given " + std::to_string(setup.seeds.size()) + " times for " +
                         std::to_string(setup.aggressors.size()) + " aggressors");
    return setup;
}

void PrintHeader(const Options& options, const LinkModel& tx, const LinkModel* rx, const Channel& channel,
                 const std::string& tx_parameters, const std::string& rx_parameters) {
    const bool link = rx != nullptr || !channel.ideal() || !options.link.crosstalk.empty();
    std::printf("amisim: %s%s\n", tx.library_path.string().c_str(), tx.origin.c_str());
    std::printf("  %s %s\n", link ? "Tx parameters" : "parameters   ", tx_parameters.c_str());
    if (rx != nullptr) {
        std::printf("  Rx model      %s%s\n", rx->library_path.string().c_str(), rx->origin.c_str());
        std::printf("  Rx parameters %s\n", rx_parameters.c_str());
    }
    std::printf("  stimulus      PRBS%d, %zu bits at %.4g Gb/s, %d samples per bit, NRZ +/-%.1f V\n",
                options.link.prbs, options.link.bits, options.link.bit_rate / 1e9, options.link.samples_per_bit,
                kNrzLevel);
    if (link) {
        std::string text = channel.description;
        if (!channel.ideal())
            text += ", loss " + Figure("%.1f", channel.LossDb(options.link.bit_rate / 2, options.link.sample_interval())) +
                    " dB at " + Figure("%.4g", options.link.bit_rate / 2e9) + " GHz";
        std::printf("  channel       %s\n", text.c_str());
        for (const std::string& end : channel.ends) std::printf("  ends          %s\n", end.c_str());
    }
    const std::vector<AggressorPath>& aggressors = options.link.crosstalk.aggressors;
    for (std::size_t i = 0; i < aggressors.size(); ++i)
        std::printf("  aggressor %-3zu %s %s, %zu taps, seed %llu\n", i + 1, aggressors[i].kind.c_str(),
                    aggressors[i].source.c_str(), aggressors[i].taps.size(),
                    static_cast<unsigned long long>(options.link.crosstalk.Seed(i)));
    std::fflush(stdout);
}

std::string LinkTitle(const Options& options, const LinkModel& tx, const LinkModel* rx, const Channel& channel) {
    std::string title = tx.library_path.filename().string();
    if (!channel.ideal()) title += " -> " + channel.name;
    if (rx != nullptr) title += " -> " + rx->library_path.filename().string();
    title += ": PRBS" + std::to_string(options.link.prbs) + ", " + std::to_string(options.link.bits) + " bits at " +
             Figure("%.4g", options.link.bit_rate / 1e9) + " Gb/s";
    return title;
}

void WriteOutputs(const Options& options, const LinkModel& tx, const LinkModel* rx, const Channel& channel,
                  const LinkRun& run, const std::string& overrides_text) {
    const std::string title = LinkTitle(options, tx, rx, channel) + (overrides_text.empty() ? "" : ", " + overrides_text);
    const std::string parameters = run.tx_parameters + (rx != nullptr ? " " + run.rx_parameters : "");
    if (!options.eye.empty()) {
        WriteFile(options.eye, "eye diagram", [&](std::ostream& out) {
            WriteTimeDomainEyeSvg(out, run, title, parameters);
        });
        std::printf("eye:  %s\n", options.eye.c_str());
    }
    if (!options.stat_eye.empty()) {
        WriteFile(options.stat_eye, "statistical eye", [&](std::ostream& out) { WriteStatEyeSvg(out, run, title); });
        std::printf("statistical eye: %s\n", options.stat_eye.c_str());
    }
    if (!options.bathtub.empty()) {
        WriteFile(options.bathtub, "bathtub curve", [&](std::ostream& out) { WriteBathtubSvg(out, run, title); });
        std::printf("bathtub: %s\n", options.bathtub.c_str());
    }
    if (!options.vbathtub.empty()) {
        WriteFile(options.vbathtub, "vertical bathtub", [&](std::ostream& out) { WriteVerticalBathtubSvg(out, run, title); });
        std::printf("vertical bathtub: %s\n", options.vbathtub.c_str());
    }
    if (!options.pulse.empty()) {
        WriteFile(options.pulse, "pulse response", [&](std::ostream& out) { WritePulseSvg(out, run, title); });
        std::printf("pulse: %s\n", options.pulse.c_str());
    }
    if (!options.adaptation.empty()) {
        WriteFile(options.adaptation, "adaptation picture",
                  [&](std::ostream& out) { WriteAdaptationSvg(out, run, rx != nullptr, title); });
        std::printf("adaptation: %s\n", options.adaptation.c_str());
    }
}

// The rows of the CSV as the blocks pass: time,input,output for a bare
// model, time,input,tx,channel[,rx] for a link.
class CsvSink {
public:
    CsvSink(const std::string& path, bool link, bool has_rx, double sample_interval, bool crosstalk = false)
        : path_(path), out_(path, std::ios::binary), link_(link), sample_interval_(sample_interval) {
        if (!out_) throw UsageError(path + ": cannot write the CSV file");
        out_ << (link ? (has_rx ? "time,input,tx,channel,rx" : "time,input,tx,channel") : "time,input,output")
             << (crosstalk ? ",xtalk\n" : "\n");
    }
    void operator()(const StageBlock& block) {
        if (link_)
            WriteStageRows(out_, sample_interval_, block.first_sample, block.count, block.input, block.tx,
                           block.channel, block.rx, block.crosstalk);
        else
            // The channel stage's output: the Tx's own, or an Init-only
            // Tx's impulse applied to the stimulus.
            WriteStageRows(out_, sample_interval_, block.first_sample, block.count, block.input, block.channel,
                           nullptr, nullptr);
    }
    void Close() {
        out_.close();
        if (!out_) throw UsageError(path_ + ": cannot write the CSV file");
    }

private:
    std::string path_;
    std::ofstream out_;
    bool link_;
    double sample_interval_;
};

std::string Join(const std::vector<std::string>& texts) {
    std::string joined;
    for (const std::string& t : texts) joined += (joined.empty() ? "" : " ") + t;
    return joined;
}

int Run(Options& options) {
    options.link.hosting.memory_bytes = options.model_memory_mb << 20;
    for (const auto& [path, option] : {std::pair{options.csv, "--csv"}, {options.eye, "--eye"},
                                       {options.stat_eye, "--stat-eye"}, {options.bathtub, "--bathtub"},
                                       {options.pulse, "--pulse"}, {options.json, "--json"},
                                       {options.vbathtub, "--vbathtub"},
                                       {options.adaptation, "--adaptation"}})
        CheckWritable(path, option);
    // A malformed sweep is reported before any model loads.
    for (const std::string& sweep : options.sweep) (void)ParseSweep(sweep);
    (void)ParseObjective(options.objective);
    options.link.impairments = ParseImpairmentOptions(options.impairments);

    const LinkModel tx = LoadLinkModel(options.tx, &options.link.hosting);
    std::optional<LinkModel> rx_model;
    if (!options.rx.path.empty()) rx_model.emplace(LoadLinkModel(options.rx, &options.link.hosting));
    const LinkModel* rx = rx_model ? &*rx_model : nullptr;
    for (const std::string& warning : tx.warnings) Print("warning: " + warning);
    if (rx != nullptr)
        for (const std::string& warning : rx->warnings) Print("warning: " + warning);

    const AnalogEnds ends = ChooseAnalogEnds(options.ends, options.tx, rx != nullptr ? &options.rx : nullptr);
    Channel channel = MakeChannel(options, ends);
    for (const std::string& warning : channel.warnings) Print("warning: " + warning);
    options.link.crosstalk = MakeCrosstalk(options, ends, channel);
    for (const AggressorPath& path : options.link.crosstalk.aggressors)
        for (const std::string& warning : path.warnings) Print("warning: " + warning);
    const bool link = rx != nullptr || !channel.ideal() || !options.link.crosstalk.empty();
    constexpr std::size_t kMaxCsvSamples = std::size_t{1} << 28;
    if (!options.csv.empty() && options.link.bits > kMaxCsvSamples / static_cast<std::size_t>(options.link.samples_per_bit))
        throw UsageError("--csv of --bits times --samples-per-bit exceeds the " + std::to_string(kMaxCsvSamples) +
                         " rows amisim writes");

    nlohmann::ordered_json json;
    std::vector<ParameterOverride> tx_extra, rx_extra;
    std::string overrides_text = Join(options.tx.params);
    if (options.optimise) {
        PrintHeader(options, tx, rx, channel, tx.Parameters().text, rx != nullptr ? rx->Parameters().text : "");
        OptimiseOutcome search = RunOptimiseCommand(options, tx, rx, channel, Print);
        for (auto& [key, value] : search.json.items()) json[key] = value;
        tx_extra = search.best.tx;
        rx_extra = search.best.rx;
        for (const std::vector<ParameterOverride>* best : {&tx_extra, &rx_extra})
            for (const ParameterOverride& o : *best) overrides_text += (overrides_text.empty() ? "" : " ") + o.path + "=" + o.value;
        std::printf("\n== the best setting in both flows, confirming it in the time domain\n");
    } else if (!options.sweep.empty()) {
        PrintHeader(options, tx, rx, channel, tx.Parameters().text, rx != nullptr ? rx->Parameters().text : "");
        SweepOutcome sweep = RunSweepCommand(options, tx, rx, channel, Print);
        for (auto& [key, value] : sweep.json.items()) json[key] = value;
        if (!sweep.best)
            throw AmisimError(sweep.failure->status(), "every point of the sweep failed; the first: " +
                                                           std::string(sweep.failure->what()));
        tx_extra = sweep.best->tx;
        rx_extra = sweep.best->rx;
        for (const std::vector<ParameterOverride>* best : {&tx_extra, &rx_extra})
            for (const ParameterOverride& o : *best) overrides_text += (overrides_text.empty() ? "" : " ") + o.path + "=" + o.value;
        const bool files = !options.csv.empty() || !options.eye.empty() || !options.stat_eye.empty() ||
                           !options.bathtub.empty() || !options.pulse.empty() || !options.json.empty() ||
                           !options.vbathtub.empty() || !options.adaptation.empty();
        if (!files) return 0;
        std::printf("\n== the best point again, for the files\n");
    } else {
        PrintHeader(options, tx, rx, channel, tx.Parameters().text, rx != nullptr ? rx->Parameters().text : "");
    }

    std::optional<CsvSink> csv;
    if (!options.csv.empty())
        csv.emplace(options.csv, link, rx != nullptr, options.link.sample_interval(), !options.link.crosstalk.empty());
    ProgressLine progress(options.link.bits, options.link.samples_per_bit, ProgressLine::StandardErrorIsTerminal());
    const LinkRun run = RunLink(tx, rx, channel, options.link, tx_extra, rx_extra, Print, [&](const StageBlock& block) {
        if (csv) (*csv)(block);
        progress.Update(block.first_sample + block.count);
    });
    progress.Finish();
    if (!run.tx_parameters_out.empty())
        std::printf("  %s %s\n", rx != nullptr ? "Tx parameters out" : "parameters out", run.tx_parameters_out.c_str());
    if (!run.rx_parameters_out.empty()) std::printf("  Rx parameters out %s\n", run.rx_parameters_out.c_str());
    std::printf("%s", FormatFlowSummary(tx, rx, run).c_str());
    if (link)
        for (const std::string& note : run.notes) std::printf("  flow          %s\n", note.c_str());
    std::printf("  impairments   %s\n", DescribeImpairments(run.impairment_settings, options.link.bit_time()).c_str());

    RunFigures figures;
    figures.samples_per_bit = options.link.samples_per_bit;
    figures.skip_bits = run.skip_bits;
    figures.skip_reason = run.skip_reason;
    figures.samples = run.time_domain.samples;
    figures.get_wave_seconds = run.time_domain.tx_seconds;
    figures.get_wave_calls = run.time_domain.calls;
    figures.link = link;
    figures.channel_seconds = run.time_domain.channel_seconds;
    figures.rx_seconds = run.time_domain.rx_seconds;
    figures.clock = run.time_domain.clock;
    figures.crossing = run.time_domain.crossing;
    std::printf("%s", FormatSummary(run.time_domain.eye, figures).c_str());
    std::printf("%s", FormatStatisticalSummary(run.statistical, run.pulse, options.link.samples_per_bit).c_str());
    std::printf("%s", FormatCrosstalkSummary(run).c_str());

    if (csv) {
        csv->Close();
        std::printf("csv:  %s\n", options.csv.c_str());
    }
    WriteOutputs(options, tx, rx, channel, run, overrides_text);
    if (!options.json.empty()) {
        nlohmann::ordered_json out;
        out["time_domain"] = TimeDomainJson(run);
        out["statistical"] = StatisticalJson(run);
        out["channel"] = {{"description", channel.description},
                          {"taps", channel.taps.size()},
                          {"ends", channel.ends},
                          {"loss_db_at_half_bit_rate",
                           channel.LossDb(options.link.bit_rate / 2, options.link.sample_interval())}};
        if (channel.reference_ohms > 0.0)
            out["channel"]["analog_ends"] = {{"reference_ohms", channel.reference_ohms},
                                             {"tx_rs_ohms", ends.tx_rs.value_or(channel.reference_ohms)},
                                             {"tx_cs_farads", ends.tx_cs},
                                             {"rx_rt_ohms", ends.rx_rt.value_or(channel.reference_ohms)},
                                             {"rx_cp_farads", ends.rx_cp},
                                             {"per", "leg"}};
        out["tx_parameters"] = run.tx_parameters;
        if (rx != nullptr) out["rx_parameters"] = run.rx_parameters;
        out["flow_notes"] = run.notes;
        out["flow"] = FlowJson(tx, rx, run);
        out["impairments"] = ImpairmentsJson(run, options.link.bit_time());
        if (!run.crosstalk.empty()) {
            out["crosstalk"] = CrosstalkJson(run);
            out["statistical_without_crosstalk"] = StatisticalWithoutCrosstalkJson(run);
        }
        out["adaptation"] = AdaptationJson(run, rx != nullptr);
        for (auto& [key, value] : json.items()) out[key] = value;
        if (options.no_timings) NullTimings(out);
        WriteFile(options.json, "JSON report", [&](std::ostream& stream) { stream << out.dump(2) << '\n'; });
        std::printf("json: %s\n", options.json.c_str());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    CLI::App app{kAmisimDescription, "amisim"};
    AddCommandOptions(app, options);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::cerr << "amisim: " << e.what() << " (see amisim --help)\n";
        return static_cast<int>(ExitStatus::kUsageOrFile);
    }

    try {
        return Run(options);
    } catch (const AmisimError& e) {
        std::fflush(stdout);
        std::cerr << "amisim: " << e.what() << '\n';
        return static_cast<int>(e.status());
    } catch (const std::bad_alloc&) {
        std::fflush(stdout);
        std::cerr << "amisim: out of memory\n";
        return static_cast<int>(ExitStatus::kUsageOrFile);
    } catch (const std::exception& e) {
        std::fflush(stdout);
        std::cerr << "amisim: " << e.what() << '\n';
        return static_cast<int>(ExitStatus::kUsageOrFile);
    }
}
