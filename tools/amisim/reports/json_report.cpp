#include "tools/amisim/reports/json_report.h"

#include <cmath>

#include "tools/amisim/reports/impairment_report.h"

namespace amisim {

namespace {

// JSON has no infinities: a figure that was never measured is null.
nlohmann::ordered_json Number(double value) {
    return std::isfinite(value) ? nlohmann::ordered_json(value) : nlohmann::ordered_json(nullptr);
}

}  // namespace

nlohmann::ordered_json TimeDomainJson(const LinkRun& run) {
    const EyeMetrics& eye = run.time_domain.eye;
    nlohmann::ordered_json out;
    out["eye_height"] = Number(CentreHeight(eye, run.time_domain.clock));
    out["eye_height_best"] = Number(eye.eye_height);
    out["eye_width"] = Number(eye.eye_width);
    out["level_high"] = Number(eye.upper_level);
    out["level_low"] = Number(eye.lower_level);
    out["bits_measured"] = eye.bits_measured;
    out["skip_bits"] = run.skip_bits;
    out["sampling_ui"] = static_cast<double>(eye.latency + eye.best_phase) / run.samples_per_bit;
    out["inverted"] = eye.inverted;
    if (run.time_domain.clock) {
        out["clock_ticks"] = run.time_domain.clock->ticks;
        out["eye_height_clock"] = Number(run.time_domain.clock->Height());
    }
    out["tx_seconds"] = run.time_domain.tx_seconds;
    out["channel_seconds"] = run.time_domain.channel_seconds;
    out["rx_seconds"] = run.time_domain.rx_seconds;
    out["jitter_rms_ui"] = Number(run.time_domain.crossing.rms_ui);
    out["jitter_pp_ui"] = Number(run.time_domain.crossing.peak_to_peak_ui);
    out["crossings"] = run.time_domain.crossing.crossings;
    if (!run.crosstalk.empty()) out["crosstalk_seconds"] = run.time_domain.crosstalk_seconds;
    return out;
}

nlohmann::ordered_json StatisticalJson(const LinkRun& run) {
    const StatisticalEye& eye = run.statistical;
    nlohmann::ordered_json out;
    out["eye_height"] = Number(eye.eye_height);
    out["eye_width"] = Number(eye.eye_width);
    out["ber"] = eye.ber;
    out["eye_height_best"] = Number(eye.eye_height_best);
    out["worst_case_height"] = Number(eye.worst_case_height);
    out["level"] = Number(eye.main_cursor);
    out["ber_at_centre"] = Number(eye.bathtub[static_cast<std::size_t>(eye.centre_phase)]);
    const PulseCursors cursors = FindCursors(run.pulse, eye.samples_per_bit);
    out["main_cursor"] = Number(cursors.main);
    std::vector<double> pre(cursors.pre.begin(), cursors.pre.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(cursors.pre.size(), 4)));
    std::vector<double> post(cursors.post.begin(), cursors.post.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(cursors.post.size(), 16)));
    out["pre_cursors"] = pre;
    out["post_cursors"] = post;
    out["pulse_samples"] = run.pulse.size();
    out["bathtub"] = BathtubJson(eye);
    out["vertical_bathtub"] = VerticalBathtubJson(eye);
    return out;
}

}  // namespace amisim
