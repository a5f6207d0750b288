#include "tools/amisim/cli/command_options.h"

#include "tools/amisim/reference_rx/reference_rx_model.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <cstddef>

#include "tools/amisim/reports/flow_report.h"

namespace amisim {

const char* const kAmisimDescription =
    "Drives IBIS-AMI models the way a channel simulator does: a transmitter, a channel and a "
    "receiver, in the time-domain flow (a PRBS through AMI_Init, AMI_GetWave and AMI_Close) and "
    "the statistical flow (the channel's impulse through AMI_Init), then the eye at the far end. "
    "A Touchstone or --line channel's transfer is the voltage at the Rx pad per volt of the Tx output "
    "wave (what the Tx would put on a load of the reference impedance), with the analog ends (Tx Rs and "
    "Cs, Rx Rt and Cp) at both sides; they are matched to the reference unless given or read from an "
    ".ibs model.";

// How models are kept out of amisim's way, for the help's closing text.
const std::string kIsolationRule =
    "Models out of process: each model instance runs in a worker process of its own, so a model "
    "that crashes, calls exit(), hangs past --model-timeout, writes past the buffers it is handed "
    "(they lie between guard pages) or returns NaN or infinity is reported in one line naming the "
    "model, the entry point and the fault, and within a --sweep only that point fails (its row and "
    "its JSON entry say why). What a model prints goes to standard error under its name, at most "
    "64 KB a model instance.";

void AddCommandOptions(CLI::App& app, Options& options) {
    app.add_option("MODEL", options.tx.path,
                   "The transmitter: an .ibs file (its [Algorithmic Model] Executable line for this platform "
                   "names the library and .ami file) or a model library")
        ->required();
    app.add_option("--ami", options.tx.ami, "The .ami parameter file (instead of the one the .ibs names)");
    app.add_option("--model", options.tx.model_name, "The [Model] to drive when the .ibs has several");
    app.add_option("--param", options.tx.params,
                   "NAME=VALUE overriding a parameter's default; repeatable. Dotted names reach "
                   "parameters inside sub-branches; reserved inputs (DLL_ID, DLL_Path) are set the same way");
    app.add_option("--root", options.tx.root,
                   "The parameter string's root for a library run without an .ami file (default: the file name)");
    app.add_option("--rx", options.rx.path,
                   "The receiver: an .ibs file, a model library, or ref for the built-in reference receiver "
                   "(its parameters below)");
    app.add_option("--rx-ami", options.rx.ami, "The receiver's .ami parameter file");
    app.add_option("--rx-model", options.rx.model_name, "The receiver's [Model] when its .ibs has several");
    app.add_option("--rx-param", options.rx.params, "NAME=VALUE for the receiver; repeatable");
    app.add_option("--rx-root", options.rx.root, "The receiver's parameter string root without an .ami file");
    app.add_option("--channel", options.channel,
                   "The channel: a Touchstone file (1.x .sNp of any port count, or 2.0), or a CSV with the "
                   "header time,step (V/V) or time,impulse (1/s), taken as the transfer as it is. "
                   "Default: ideal");
    app.add_option("--ports", options.ports,
                   "The lane in a multi-port file: in+,in-,out+,out- for a pair, in,out for single ports "
                   "(default 1,2,3,4; 1,2 for a 2-port)")
        ->type_name("PORTS");
    app.add_option("--tx-rs", options.ends.tx_rs,
                   "Tx output resistance, ohms per leg (a pair's is twice this). Default: from the Tx .ibs "
                   "[Pullup]/[Pulldown] tables, else the channel's reference impedance")
        ->type_name("OHMS");
    app.add_option("--tx-cs", options.ends.tx_cs,
                   "Tx pad capacitance to ground, farads per leg (1.2p or 1.2e-12; a pair's is half). "
                   "Default: the Tx .ibs C_comp, else 0")
        ->type_name("FARADS");
    app.add_option("--rx-rt", options.ends.rx_rt,
                   "Rx termination, ohms per leg (a pair's is twice this). Default: the Rx .ibs [Rgnd]/[Rpower] "
                   "in parallel with its clamp tables' slope where the pin rests, else the channel's reference "
                   "impedance")
        ->type_name("OHMS");
    app.add_option("--rx-cp", options.ends.rx_cp,
                   "Rx pad capacitance to ground, farads per leg (a pair's is half). Default: the Rx .ibs "
                   "C_comp, else 0")
        ->type_name("FARADS");
    app.add_option("--line", options.line,
                   "A built-in lossy FR-4 line of this length (0.5m, 50cm, 20in) as the channel");
    app.add_option("--line-skin", options.line_parameters.skin_db_per_m_at_1ghz,
                   "The line's conductor (skin-effect) loss at 1 GHz, dB/m")
        ->check(CLI::Range(0.0, 1000.0))
        ->capture_default_str();
    app.add_option("--line-er", options.line_parameters.permittivity, "The line's relative permittivity at 1 GHz")
        ->check(CLI::Range(1.0, 100.0))
        ->capture_default_str();
    app.add_option("--line-tand", options.line_parameters.loss_tangent, "The line's loss tangent at 1 GHz")
        ->check(CLI::Range(0.0, 0.5))
        ->capture_default_str();
    app.add_option("--line-z0", options.line_parameters.impedance_ohms,
                   "The line's characteristic impedance, ohms (the ends are matched to it by default)")
        ->check(CLI::Range(1.0, 1000.0))
        ->capture_default_str();
    app.add_option("--aggressor", options.aggressors,
                   "KIND:in+,in-,out+,out-: an aggressor lane of the --channel Touchstone file, KIND next or "
                   "fext: its Tx drives its in ports and its Rx terminates its out ports (in,out for a "
                   "single-ended file); its crosstalk is the transfer from its in ports to the victim's Rx "
                   "(--ports), under the same analog ends; repeatable")
        ->type_name("KIND:PORTS");
    app.add_option("--aggressor-channel", options.aggressor_channels,
                   "[KIND:]FILE[:PORTS]: an aggressor's path from its Tx to the victim's Rx in a file of its own "
                   "(Touchstone, its lane as --ports reads it, with the analog ends; or a CSV like --channel); "
                   "repeatable. Each aggressor is a Tx instance of the victim's model and parameters with a PRBS "
                   "of its own seed (in the time domain, with the victim's Tx jitter drawn anew); its crosstalk "
                   "adds at the Rx input. The statistical eye takes each "
                   "aggressor at its worst phase. AMI_Init gets as many aggressor columns as the model's "
                   "Max_Init_Aggressors")
        ->type_name("[KIND:]FILE[:PORTS]");
    app.add_option("--aggressor-param", options.aggressor_params,
                   "NAME=VALUE for the aggressors' Tx, on top of the victim's parameters; repeatable");
    app.add_option("--aggressor-seed", options.aggressor_seeds,
                   "The PRBS seed of each aggressor in turn (default 1, 2, ...; 0 is the victim's own pattern); "
                   "repeatable");
    app.add_option("--prbs", options.link.prbs, "PRBS pattern: 7, 15, 23 or 31")
        ->check(CLI::IsMember({7, 15, 23, 31}))
        ->capture_default_str();
    app.add_option("--bits", options.link.bits, "Number of bits to send")
        ->check(CLI::Range(std::size_t{1}, std::size_t{100000000}))
        ->capture_default_str();
    // CLI::PositiveNumber would print the whole range of a double.
    const CLI::Validator positive(
        [](std::string& text) {
            double value = 0.0;
            return CLI::detail::lexical_cast(text, value) && value > 0.0 && std::isfinite(value)
                       ? std::string()
                       : "must be a positive number, not " + text;
        },
        "POSITIVE");
    app.add_option("--bit-rate", options.link.bit_rate, "Bit rate in bits per second")
        ->check(positive)
        ->capture_default_str();
    app.add_option("--samples-per-bit", options.link.samples_per_bit, "Samples per bit")
        ->check(CLI::Range(2, 4096))
        ->capture_default_str();
    app.add_option("--block-size", options.link.block_samples, "Samples per AMI_GetWave call")
        ->check(CLI::Range(std::size_t{1}, std::size_t{1} << 26))
        ->capture_default_str();
    app.add_option("--ignore-bits", options.link.ignore_bits,
                   "Bits left out of the eye (default: the .ami Ignore_Bits, else the impulse length, "
                   "plus the channel's length)");
    app.add_option("--impulse-bits", options.link.impulse_bits,
                   "Length of the impulse given to AMI_Init with an ideal channel, in bits")
        ->check(CLI::Range(std::size_t{1}, std::size_t{65536}))
        ->capture_default_str();
    app.add_option("--ber", options.link.ber, "Target bit error ratio of the statistical eye")
        ->check(CLI::Range(1e-30, 0.4))
        ->capture_default_str();
    app.add_option("--sweep", options.sweep,
                   "NAME=FROM..TO or NAME=v1,v2,...: a Tx or Rx parameter (tx:NAME or rx:NAME when both "
                   "declare it). Repeatable: the runs form the grid of every combination, the last "
                   "parameter changing fastest. Prints a row per point and the best one; a point that fails "
                   "is marked so and the others go on (the exit status is then the first failure's)");
    app.add_option("--sweep-flow", options.sweep_flow,
                   "both: every sweep point runs both flows; statistical: the statistical flow only "
                   "(much faster; the run that writes the files still runs both)")
        ->check(CLI::IsMember({"both", "statistical"}))
        ->capture_default_str();
    app.add_option("--objective", options.objective,
                   "What makes a point best: stat-height (the statistical eye height at --ber), stat-width "
                   "(its width), td-height (the time-domain eye height)")
        ->check(CLI::IsMember({"stat-height", "height", "stat-width", "width", "td-height"}))
        ->capture_default_str();
    app.add_option("-j,--jobs", options.jobs,
                   "Workers for sweep points and search candidates (default: the machine's cores). Each "
                   "point has its own model instances and the results are the same for any number. With "
                   "--in-process the workers share each loaded library, so a model that keeps state in "
                   "globals across its instances needs -j 1 there")
        ->check(CLI::Range(1u, 256u));
    app.add_flag("--optimise,--optimize", options.optimise,
                 "Find the best Tx and Rx settings in the statistical flow without running the whole grid: "
                 "over the --sweep ranges when given, else over every input the .ami files give a Range, "
                 "List, Increment or Steps (the reference receiver: its ctle_peaking), less those --param "
                 "and --rx-param pin. A pattern search with restarts; prints how many candidates it tried, "
                 "then confirms the best with one run of both flows");
    app.add_option("--max-candidates", options.max_candidates,
                   "The most settings --optimise may try (default: a tenth of the settings it searches, at "
                   "least 20)")
        ->check(CLI::Range(std::size_t{1}, std::size_t{1000000}));
    app.add_flag("--no-timings", options.no_timings,
                 "Write the wall-clock figures of --json (the keys ending in _seconds) as null, so that the "
                 "same inputs give the same file byte for byte");
    app.add_flag("--in-process", options.link.hosting.in_process,
                 "Run the models in amisim's own process, as before (e.g. to debug one under gdb); by default "
                 "each model instance runs in a worker process of its own, so a crash, a hang or a stray write "
                 "is reported by name instead of ending the run");
    app.add_option("--model-timeout", options.link.hosting.timeout_seconds,
                   "Seconds one call of a model (AMI_Init, one AMI_GetWave, AMI_Close) may take before it is "
                   "stopped and reported, out of process")
        ->check(CLI::Range(0.001, 1e6))
        ->capture_default_str();
    app.add_option("--model-memory", options.model_memory_mb,
                   "The address space each model worker may use, in MB (0: no limit)")
        ->check(CLI::Range(std::size_t{0}, std::size_t{1} << 30))
        ->capture_default_str();
    app.add_option("--csv", options.csv,
                   "Write time,input,output (with a channel or Rx: time,input,tx,channel,rx) for every sample; "
                   "with aggressors a last column xtalk holds their crosstalk, which channel includes");
    app.add_option("--eye", options.eye, "Write the time-domain eye diagram to FILE.svg");
    app.add_option("--stat-eye", options.stat_eye, "Write the statistical eye with BER contours to FILE.svg");
    app.add_option("--bathtub", options.bathtub,
                   "Write the bathtub curve (BER against the sampling time at the threshold) to FILE.svg");
    app.add_option("--vbathtub", options.vbathtub,
                   "Write the vertical bathtub (BER against the threshold at the best phase) to FILE.svg");
    app.add_option("--pulse", options.pulse, "Write the pulse response with its cursors (and the aggressors' crosstalk pulses) to FILE.svg");
    app.add_option("--json", options.json, "Write every figure of the summary to FILE.json");
    app.add_option("--adaptation", options.adaptation,
                   "Write the models' adaptation (each number in the AMI_parameters_out of every AMI_GetWave, "
                   "over time, converged values marked) to FILE.svg");
    app.footer(ReferenceRxHelp() + "\n\n" + kInitOnlyRule + "\n\n" + kIsolationRule + "\n\n" +
               "Exit status: 0 success; 1 the transmitter model failed to load or failed a call, or a model "
               "crashed, hung, wrote past its buffers or returned NaN (in a --sweep, only when every point "
               "failed); 2 bad "
               "options, unreadable or malformed files (Touchstone, CSV, .ibs, .ami), a channel too long "
               "for memory, non-causal channel data, or a receiver that refuses AMI_Init.");
    AddImpairmentOptions(app, options.impairments);

}

}  // namespace amisim
