#include "tools/amisim/reference_rx/reference_receiver.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <stdexcept>

#include "amiparam/ami_parameter_reader.h"
#include "tools/amisim/eye/stat_eye.h"

namespace amisim {

namespace {

constexpr double kSymbol = 0.5;  // the NRZ level amisim drives

std::string Text(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

template <typename Value>
void Read(const AmiParameterReader& reader, const std::string& root, const char* name, Value& value) {
    const std::string path = root + "." + name;
    if (reader.GetLeaf(path.c_str()) == nullptr) return;
    if (!reader.GetValue(value, path.c_str())) throw std::invalid_argument(std::string(name) + ": not a value of its type");
}

}  // namespace

ReferenceRxSettings ReadReferenceRxSettings(const char* parameters, const std::string& root) {
    ReferenceRxSettings settings;
    const AmiParameterReader reader(parameters != nullptr ? parameters : "");
    if (!reader.IsValid()) throw std::invalid_argument("the parameter string is not a parameter tree");
    std::string mode = "peaking";
    Read(reader, root, "ctle_mode", mode);
    if (mode == "off") settings.ctle.mode = CtleSettings::Mode::kOff;
    else if (mode == "poles") settings.ctle.mode = CtleSettings::Mode::kPoles;
    else if (mode == "peaking") settings.ctle.mode = CtleSettings::Mode::kPeaking;
    else throw std::invalid_argument("ctle_mode " + mode + ": not peaking, poles or off");
    Read(reader, root, "ctle_zero", settings.ctle.zero_hz);
    Read(reader, root, "ctle_pole1", settings.ctle.pole1_hz);
    Read(reader, root, "ctle_pole2", settings.ctle.pole2_hz);
    Read(reader, root, "ctle_dc_gain", settings.ctle.dc_gain_db);
    Read(reader, root, "ctle_peak_freq", settings.ctle.peak_hz);
    Read(reader, root, "ctle_peaking", settings.ctle.peaking_db);
    Read(reader, root, "ctle_bandwidth", settings.ctle.bandwidth_hz);
    std::int32_t taps = 0;
    Read(reader, root, "dfe_taps", taps);
    if (taps < 0 || taps > 256) throw std::invalid_argument("dfe_taps must lie from 0 to 256");
    settings.dfe.taps = taps;
    Read(reader, root, "dfe_limit", settings.dfe.limit);
    if (!(settings.dfe.limit >= 0.0)) throw std::invalid_argument("dfe_limit must be 0 V or more");
    Read(reader, root, "dfe_adapt", settings.dfe.adapt);
    Read(reader, root, "dfe_step", settings.dfe.step);
    if (!(settings.dfe.step >= 0.0)) throw std::invalid_argument("dfe_step must be 0 V or more");
    std::string cdr = "bang-bang";
    Read(reader, root, "cdr", cdr);
    if (cdr == "bang-bang") settings.cdr = CdrMode::kBangBang;
    else if (cdr == "mm") settings.cdr = CdrMode::kMuellerMuller;
    else if (cdr == "none") settings.cdr = CdrMode::kNone;
    else throw std::invalid_argument("cdr " + cdr + ": not bang-bang, mm or none");
    Read(reader, root, "cdr_gain", settings.cdr_gain);
    if (!(settings.cdr_gain >= 0.0 && settings.cdr_gain <= 0.5))
        throw std::invalid_argument("cdr_gain must lie from 0 to 0.5 UI");
    return settings;
}

ReferenceReceiver::ReferenceReceiver(const ReferenceRxSettings& settings, double* impulse, std::size_t length,
                                     double sample_interval, double bit_time)
    : settings_(settings),
      design_(DesignCtle(settings.ctle)),
      sample_interval_(sample_interval),
      bit_time_(bit_time),
      per_bit_(bit_time / sample_interval) {
    const long per_bit = std::lround(per_bit_);
    if (per_bit < 2 || !(sample_interval > 0.0)) throw std::invalid_argument("fewer than two samples a unit interval");
    if (impulse == nullptr || length == 0) throw std::invalid_argument("no impulse");

    // The CTLE on the impulse, then the pulse response it makes.
    CtleFilter(design_, sample_interval).Process(impulse, length);
    filter_ = CtleFilter(design_, sample_interval);
    std::vector<double> taps(impulse, impulse + length);
    for (double& t : taps) t *= sample_interval;
    const std::vector<double> pulse = PulseResponse(taps, static_cast<int>(per_bit));
    const PulseCursors cursors = FindCursors(pulse, static_cast<int>(per_bit));

    // The ideal DFE at the pulse's peak, taken off the impulse.
    zero_forcing_ = ZeroForcingTaps(pulse, cursors.main_index, static_cast<int>(per_bit), settings.dfe, kSymbol);
    CancelPostCursors(impulse, length, cursors.main_index, static_cast<int>(per_bit), zero_forcing_, cursors.sign,
                      kSymbol, sample_interval);
    dfe_ = Dfe(zero_forcing_, settings.dfe, kSymbol * std::abs(cursors.main));

    // The clock starts at the peak; without recovery it stays at the middle
    // of the statistical eye's opening.
    initial_phase_ = static_cast<double>(cursors.main_index);
    if (settings.cdr == CdrMode::kNone) {
        for (std::size_t n = 0; n < length; ++n) taps[n] = impulse[n] * sample_interval;
        StatEyeSettings eye_settings;
        eye_settings.samples_per_bit = static_cast<int>(per_bit);
        const StatisticalEye eye = ComputeStatisticalEye(PulseResponse(taps, static_cast<int>(per_bit)), eye_settings);
        initial_phase_ += eye.PhaseUi(eye.centre_phase) * per_bit_;
    }
    cdr_ = Cdr(settings.cdr, settings.cdr_gain);
    next_sample_ = initial_phase_;
    history_.assign(static_cast<std::size_t>(2 * per_bit + 8), 0.0);
}

double ReferenceReceiver::History(double position) const {
    const double whole = std::floor(position);
    const double part = position - whole;
    const std::size_t size = history_.size();
    const auto at = [&](double index) {
        return index < 0.0 ? 0.0 : history_[static_cast<std::size_t>(index) % size];
    };
    return part == 0.0 ? at(whole) : (1.0 - part) * at(whole) + part * at(whole + 1.0);
}

void ReferenceReceiver::GetWave(double* wave, std::size_t size, double* clock_times) {
    std::size_t ticks = 0;
    const std::size_t ring = history_.size();
    for (std::size_t i = 0; i < size; ++i, ++sample_) {
        const double x = filter_.Step(wave[i]);
        history_[static_cast<std::size_t>(sample_) % ring] = x;
        if (sample_ == switch_at_) {
            previous_feedback_ = feedback_;
            feedback_ = pending_feedback_;
        }
        wave[i] = x - feedback_;
        while (static_cast<double>(sample_) >= std::ceil(next_sample_)) {
            const double unequalised = History(next_sample_);
            const double value = unequalised - feedback_;
            // The edge sits where the feedback changes: it sees the mean of
            // the two bits' feedback, as a finite-speed loop would.
            const double edge = History(next_sample_ - 0.5 * per_bit_) - 0.5 * (feedback_ + previous_feedback_);
            const double decision = dfe_.Decide(value);
            const double step = cdr_.Update(decision, edge, unequalised);
            pending_feedback_ = dfe_.Feedback();
            switch_at_ = static_cast<long>(std::ceil(next_sample_ + 0.5 * per_bit_));
            const double tick = next_sample_ * sample_interval_ - 0.5 * bit_time_;
            if (clock_times != nullptr && tick >= 0.0) clock_times[ticks++] = tick;
            ++bits_;
            next_sample_ += per_bit_ * (1.0 + step);
        }
    }
    if (clock_times != nullptr) clock_times[ticks] = -1.0;
}

double ReferenceReceiver::phase_ui() const {
    return next_sample_ / per_bit_ - static_cast<double>(bits_);
}

std::string ReferenceReceiver::InitReport() const {
    std::string text = "(reference_rx";
    if (!design_.bypass) {
        constexpr double kTwoPi = 6.283185307179586;
        text += " (ctle_zero " + Text("%.6g", design_.zero / kTwoPi) + ")";
        text += " (ctle_pole1 " + Text("%.6g", design_.pole1 / kTwoPi) + ")";
        text += " (ctle_pole2 " + Text("%.6g", design_.pole2 / kTwoPi) + ")";
    }
    for (std::size_t k = 0; k < zero_forcing_.size(); ++k)
        text += " (dfe_tap" + std::to_string(k + 1) + " " + Text("%.9g", zero_forcing_[k]) + ")";
    text += " (cdr_phase " + Text("%.9g", initial_phase_ui()) + "))";
    return text;
}

std::string ReferenceReceiver::WaveReport() const {
    std::string text = "(reference_rx";
    const std::vector<double>& taps = dfe_.taps();
    for (std::size_t k = 0; k < taps.size(); ++k)
        text += " (dfe_tap" + std::to_string(k + 1) + " " + Text("%.9g", taps[k]) + ")";
    if (settings_.dfe.adapt && !taps.empty()) text += " (dfe_level " + Text("%.9g", dfe_.level()) + ")";
    text += " (cdr_phase " + Text("%.9g", phase_ui()) + "))";
    return text;
}

std::string ReferenceReceiver::Message() const {
    constexpr double kTwoPi = 6.283185307179586;
    std::string text = "reference receiver: ";
    if (design_.bypass) {
        text += "no CTLE";
    } else {
        const double top = std::abs(design_.Response(settings_.ctle.peak_hz));
        text += "CTLE zero " + Text("%.4g", design_.zero / kTwoPi / 1e9) + " GHz, poles " +
                Text("%.4g", design_.pole1 / kTwoPi / 1e9) + " and " + Text("%.4g", design_.pole2 / kTwoPi / 1e9) +
                " GHz";
        if (settings_.ctle.mode == CtleSettings::Mode::kPeaking)
            text += " (" + Text("%.3g", 20.0 * std::log10(top / design_.gain)) + " dB at " +
                    Text("%.4g", settings_.ctle.peak_hz / 1e9) + " GHz)";
    }
    text += "; ";
    if (zero_forcing_.empty()) text += "no DFE";
    else
        text += std::to_string(zero_forcing_.size()) + "-tap DFE" +
                (settings_.dfe.adapt ? " adapting by sign-sign LMS" : " with zero-forcing taps");
    text += "; ";
    switch (settings_.cdr) {
        case CdrMode::kBangBang: text += "bang-bang CDR"; break;
        case CdrMode::kMuellerMuller: text += "Mueller-Muller CDR"; break;
        case CdrMode::kNone: text += "fixed clock"; break;
    }
    text += " from " + Text("%.3f", initial_phase_ui()) + " UI";
    return text;
}

}  // namespace amisim
