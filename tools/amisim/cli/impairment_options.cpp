#include "tools/amisim/cli/impairment_options.h"

#include <CLI/CLI.hpp>

namespace amisim {

void AddImpairmentOptions(CLI::App& app, ImpairmentOptions& options) {
    const char* time = " (1.5ps, 300fs, 2e-12s or 0.02UI); overrides the model's file";
    const auto add = [&](const char* name, std::string& target, const std::string& text) {
        app.add_option(name, target, text)->group("Jitter and noise");
    };
    add("--tx-rj", options.tx_rj, std::string("Tx random jitter, the standard deviation of a Gaussian") + time);
    add("--tx-dj", options.tx_dj, std::string("Tx deterministic jitter, uniform over +-this") + time);
    add("--tx-dcd", options.tx_dcd,
        std::string("Tx duty-cycle distortion: rising edges late by this, falling ones early") + time);
    add("--tx-sj", options.tx_sj, std::string("Tx sinusoidal jitter, the amplitude") + time);
    add("--tx-sj-frequency", options.tx_sj_frequency,
        "The sinusoidal jitter's frequency (10MHz, 1e7); also the Rx's. Default: the bit rate / 1000");
    add("--rx-rj", options.rx_rj, std::string("Rx clock random jitter (moves the sampling instants)") + time);
    add("--rx-dj", options.rx_dj, std::string("Rx clock deterministic jitter, uniform over +-this") + time);
    add("--rx-sj", options.rx_sj, std::string("Rx clock sinusoidal jitter, the amplitude") + time);
    add("--rx-dcd", options.rx_dcd, std::string("Rx clock duty-cycle distortion, +-this on alternate bits") + time);
    add("--rx-noise", options.rx_noise,
        "Rx Gaussian noise at the sampler, the standard deviation (5mV, 0.005V); not fed to the Rx model");
    add("--rx-uniform-noise", options.rx_uniform_noise, "Rx uniform noise at the sampler, half its width (5mV)");
    add("--rx-sensitivity", options.rx_sensitivity,
        "The voltage each level must clear beyond the threshold (5mV): narrows the eye that much on each side");
    app.add_option("--seed", options.seed, "Seed of the time-domain flow's jitter and noise; a run repeats with the same")
        ->group("Jitter and noise")
        ->capture_default_str();
    app.footer(app.get_footer() +
               "\n\nJitter and noise: the models' .ami files may carry Tx_Jitter (Gaussian, Dual-Dirac, DjRj or "
               "Table), Tx_DCD, Tx_Rj, Tx_Dj, Tx_Sj, Tx_Sj_Frequency, Rx_Clock_PDF, Rx_Rj, Rx_Dj, Rx_Sj, Rx_DCD, "
               "Rx_Clock_Recovery_Mean/Rj/Dj/Sj/DCD, Rx_Noise, Rx_GaussianNoise, Rx_UniformNoise and "
               "Rx_Receiver_Sensitivity (Type Float: seconds or volts; Type UI: unit intervals); Rx_Noise also as a "
               "distribution in volts (Gaussian mean sigma, Dual-Dirac left right sigma, DjRj minDj maxDj sigma, or "
               "Table), its mean moving every sample. The options above "
               "override them; --tx-rj or --tx-dj replaces a Tx_Jitter Dual-Dirac or Table whole (and --rx-rj or "
               "--rx-dj an Rx_Clock_PDF's, --rx-noise an Rx_Noise distribution). The statistical eye convolves the ISI with the jitter in phase (a Tx edge "
               "only where the neighbouring bit differs) and with the noise in voltage; the time-domain flow moves "
               "the stimulus's edges by sub-sample amounts and the sampling instants, and adds the noise at the "
               "sampler, after the Rx model.");
}

ImpairmentSettings ParseImpairmentOptions(const ImpairmentOptions& options) {
    ImpairmentSettings settings;
    settings.seed = options.seed;
    const auto time = [&](const char* option, const char* key, const std::string& text) {
        if (!text.empty()) settings.values[key] = ParseTimeText(text, option);
    };
    const auto volts = [&](const char* option, const char* key, const std::string& text) {
        if (!text.empty()) settings.values[key] = ParseVoltageText(text, option);
    };
    time("--tx-rj", "tx_rj", options.tx_rj);
    time("--tx-dj", "tx_dj", options.tx_dj);
    time("--tx-dcd", "tx_dcd", options.tx_dcd);
    time("--tx-sj", "tx_sj", options.tx_sj);
    if (!options.tx_sj_frequency.empty())
        settings.values["tx_sj_frequency"] = ParseFrequencyText(options.tx_sj_frequency, "--tx-sj-frequency");
    time("--rx-rj", "rx_rj", options.rx_rj);
    time("--rx-dj", "rx_dj", options.rx_dj);
    time("--rx-sj", "rx_sj", options.rx_sj);
    time("--rx-dcd", "rx_dcd", options.rx_dcd);
    volts("--rx-noise", "rx_noise", options.rx_noise);
    volts("--rx-uniform-noise", "rx_uniform_noise", options.rx_uniform_noise);
    volts("--rx-sensitivity", "rx_sensitivity", options.rx_sensitivity);
    return settings;
}

}  // namespace amisim
