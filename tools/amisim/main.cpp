// amisim: drives an IBIS-AMI model the way a channel simulator does and
// reports the eye at its output.
//
//   amisim [options] MODEL
//
// MODEL is an .ibs file, whose [Algorithmic Model] Executable line for this
// platform names the library and its .ami file, or the library itself.

#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <utility>
#include <string>
#include <vector>

#include "tools/amisim/ami_file.h"
#include "tools/amisim/ami_library.h"
#include "tools/amisim/amisim_error.h"
#include "tools/amisim/block_runner.h"
#include "tools/amisim/csv_writer.h"
#include "tools/amisim/eye.h"
#include "tools/amisim/eye_svg.h"
#include "tools/amisim/ibis_executable.h"
#include "tools/amisim/parameter_string.h"
#include "tools/amisim/prbs.h"
#include "tools/amisim/stimulus.h"
#include "tools/amisim/summary.h"

namespace fs = std::filesystem;
using namespace amisim;

namespace {

struct Options {
    std::string model;
    std::string ami;
    std::string model_name;
    std::vector<std::string> params;
    int prbs = 7;
    std::size_t bits = 4096;
    double bit_rate = 10.8e9;
    int samples_per_bit = 16;
    std::size_t block_samples = 16384;
    std::optional<std::size_t> ignore_bits;
    std::size_t impulse_bits = 16;
    std::string csv;
    std::string eye;
};

bool IsIbsFile(const fs::path& path) {
    std::string extension = path.extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".ibs";
}

std::string Join(const std::vector<ParameterOverride>& overrides) {
    std::string text;
    for (const auto& o : overrides) text += (text.empty() ? "" : " ") + o.path + "=" + o.value;
    return text;
}

template <typename Write>
void WriteFile(const std::string& path, const char* what, Write write) {
    std::ofstream out(path, std::ios::binary);
    if (!out) throw UsageError(path + ": cannot write the " + what);
    write(out);
    out.close();
    if (!out) throw UsageError(path + ": cannot write the " + what);
}

// The library to load, the parameter file to read, and how they were found.
struct ModelFiles {
    fs::path library;
    std::optional<fs::path> ami;
    std::string origin;
};

ModelFiles FindModelFiles(const Options& options) {
    ModelFiles files;
    if (IsIbsFile(options.model)) {
        const ResolvedModel resolved = ResolveIbsModel(options.model, options.model_name, ThisHost());
        files.library = resolved.library;
        files.ami = resolved.ami_file;
        files.origin = " (model " + resolved.model + " of " + options.model + ")";
    } else {
        if (!options.model_name.empty())
            throw UsageError("--model chooses among the models of an .ibs file; " + options.model +
                             " is a library");
        files.library = options.model;
    }
    if (!options.ami.empty()) {
        files.ami = fs::path(options.ami);
        files.origin += " (parameters from " + options.ami + ")";
    }
    return files;
}

// The bits left out of the eye while the model settles: the user's count,
// else the model's Ignore_Bits, else as many as the impulse AMI_Init gets,
// which is what a channel simulator waits for its channel to fill.
std::pair<std::size_t, std::string> ChooseSkip(const Options& options, const std::optional<AmiFile>& ami) {
    if (options.ignore_bits) return {*options.ignore_bits, "--ignore-bits"};
    if (ami && ami->ignore_bits) return {static_cast<std::size_t>(*ami->ignore_bits), "Ignore_Bits"};
    return {options.impulse_bits, "the impulse length"};
}

void CheckSizes(const Options& options, std::size_t skip_bits, const std::string& skip_reason) {
    if (skip_bits >= options.bits || options.bits - skip_bits < 4)
        throw UsageError("--bits " + std::to_string(options.bits) + " leaves too few bits after the " +
                         std::to_string(skip_bits) + " skipped (" + skip_reason + ")");
    // Input, output and the CSV text all scale with the sample count.
    constexpr std::size_t kMaxSamples = std::size_t{1} << 28;
    if (options.bits > kMaxSamples / static_cast<std::size_t>(options.samples_per_bit))
        throw UsageError("--bits times --samples-per-bit exceeds the " + std::to_string(kMaxSamples) +
                         " samples amisim handles");
}

void WriteEyePicture(const Options& options, const fs::path& library, const std::string& parameters,
                     const std::vector<ParameterOverride>& overrides, const std::vector<double>& output,
                     const EyeMetrics& eye, std::size_t skip_bits) {
    char rate[32];
    std::snprintf(rate, sizeof rate, "%.4g", options.bit_rate / 1e9);
    EyePicture picture;
    picture.title = library.filename().string() + ": PRBS" + std::to_string(options.prbs) + ", " +
                    std::to_string(options.bits) + " bits at " + rate + " Gb/s" +
                    (overrides.empty() ? "" : ", " + Join(overrides));
    char figures[160];
    std::snprintf(figures, sizeof figures,
                  "   eye height %.3f V, width %.3f UI at 0 V, levels %.3f / %.3f V", eye.eye_height,
                  eye.eye_width, eye.upper_level, eye.lower_level);
    picture.subtitle = parameters + figures;
    picture.samples_per_bit = options.samples_per_bit;
    picture.skip_bits = skip_bits;
    WriteFile(options.eye, "eye diagram",
              [&](std::ostream& out) { WriteEyeSvg(out, output, eye, picture); });
    std::printf("eye:  %s\n", options.eye.c_str());
}

int Run(const Options& options) {
    const ModelFiles files = FindModelFiles(options);
    std::optional<AmiFile> ami;
    if (files.ami) ami = ReadAmiFile(*files.ami);
    if (ami && ami->getwave_exists == false)
        throw UsageError(files.ami->string() + ": the model declares GetWave_Exists False; "
                         "amisim drives models through AMI_GetWave");

    std::vector<ParameterOverride> overrides;
    for (const std::string& text : options.params) overrides.push_back(ParseOverride(text));
    const ParameterString parameters = ami ? BuildParameterString(*ami, overrides)
                                           : BuildParameterString(files.library.stem().string(), overrides);
    for (const std::string& warning : parameters.warnings)
        std::cerr << "amisim: warning: " << warning << '\n';

    const auto [skip_bits, skip_reason] = ChooseSkip(options, ami);
    CheckSizes(options, skip_bits, skip_reason);

    const double bit_time = 1.0 / options.bit_rate;
    const double sample_interval = bit_time / options.samples_per_bit;
    const std::vector<std::uint8_t> bits = PrbsGenerator(options.prbs).Generate(options.bits);
    const std::vector<double> input = NrzWaveform(bits, options.samples_per_bit);

    const AmiLibrary model(files.library);
    std::printf("amisim: %s%s\n", files.library.string().c_str(), files.origin.c_str());
    std::printf("  parameters    %s\n", parameters.text.c_str());
    std::printf("  stimulus      PRBS%d, %zu bits at %.4g Gb/s, %d samples per bit, NRZ +/-%.1f V\n",
                options.prbs, options.bits, options.bit_rate / 1e9, options.samples_per_bit, kNrzLevel);

    AmiSession session(model, sample_interval, bit_time);
    const bool initialised =
        session.Init(parameters.text, static_cast<long>(options.impulse_bits * options.samples_per_bit));
    // The model's own words come first: they often explain a failure.
    std::printf("  model message %s\n", session.message().empty() ? "(none)" : session.message().c_str());
    std::fflush(stdout);
    if (!initialised) throw ModelError("AMI_Init failed (returned 0)");

    const BlockRun run = RunInBlocks(session, input, options.block_samples);
    if (!session.Close()) throw ModelError("AMI_Close failed (returned 0)");
    if (!session.parameters_out().empty())
        std::printf("  parameters out %s\n", session.parameters_out().c_str());

    EyeOptions eye_options;
    eye_options.samples_per_bit = options.samples_per_bit;
    eye_options.skip_bits = skip_bits;
    const EyeMetrics eye = MeasureEye(bits, run.output, eye_options);
    RunFigures figures;
    figures.samples_per_bit = options.samples_per_bit;
    figures.skip_bits = skip_bits;
    figures.skip_reason = skip_reason;
    figures.samples = run.output.size();
    figures.get_wave_seconds = run.get_wave_seconds;
    figures.get_wave_calls = run.calls;
    std::printf("%s", FormatSummary(eye, figures).c_str());

    if (!options.csv.empty()) {
        WriteFile(options.csv, "CSV file", [&](std::ostream& out) {
            WriteWaveformCsv(out, sample_interval, input, run.output);
        });
        std::printf("csv:  %s\n", options.csv.c_str());
    }
    if (!options.eye.empty())
        WriteEyePicture(options, files.library, parameters.text, overrides, run.output, eye, skip_bits);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    CLI::App app{"Drives an IBIS-AMI model the way a channel simulator does: a PRBS through "
                 "AMI_Init, AMI_GetWave and AMI_Close, then the eye at the model's output.",
                 "amisim"};
    app.add_option("MODEL", options.model,
                   "An .ibs file (its [Algorithmic Model] Executable line for this platform names "
                   "the library and .ami file) or a model library")
        ->required();
    app.add_option("--ami", options.ami, "The .ami parameter file (instead of the one the .ibs names)");
    app.add_option("--model", options.model_name, "The [Model] to drive when the .ibs has several");
    app.add_option("--param", options.params,
                   "NAME=VALUE overriding a parameter's default; repeatable. Dotted names reach "
                   "parameters inside sub-branches");
    app.add_option("--prbs", options.prbs, "PRBS pattern: 7, 15, 23 or 31")
        ->check(CLI::IsMember({7, 15, 23, 31}))
        ->capture_default_str();
    app.add_option("--bits", options.bits, "Number of bits to send")
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
    app.add_option("--bit-rate", options.bit_rate, "Bit rate in bits per second")
        ->check(positive)
        ->capture_default_str();
    app.add_option("--samples-per-bit", options.samples_per_bit, "Samples per bit")
        ->check(CLI::Range(2, 4096))
        ->capture_default_str();
    app.add_option("--block-size", options.block_samples, "Samples per AMI_GetWave call")
        ->check(CLI::Range(std::size_t{1}, std::size_t{1} << 26))
        ->capture_default_str();
    app.add_option("--ignore-bits", options.ignore_bits,
                   "Bits left out of the eye (default: the .ami Ignore_Bits, else the impulse length)");
    app.add_option("--impulse-bits", options.impulse_bits,
                   "Length of the unit impulse given to AMI_Init, in bits")
        ->check(CLI::Range(std::size_t{1}, std::size_t{65536}))
        ->capture_default_str();
    app.add_option("--csv", options.csv, "Write time,input,output for every sample to FILE");
    app.add_option("--eye", options.eye, "Write the eye diagram to FILE.svg");

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
    } catch (const std::exception& e) {
        std::fflush(stdout);
        std::cerr << "amisim: " << e.what() << '\n';
        return static_cast<int>(ExitStatus::kUsageOrFile);
    }
}
