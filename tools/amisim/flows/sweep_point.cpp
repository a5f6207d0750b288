#include "tools/amisim/flows/sweep_point.h"

#include <cstdio>
#include <new>

#include "tools/amisim/reports/json_report.h"
#include "tools/amisim/reports/summary.h"

namespace amisim {

Objective ParseObjective(const std::string& text) {
    if (text == "stat-height" || text == "height") return Objective::kStatHeight;
    if (text == "stat-width" || text == "width") return Objective::kStatWidth;
    if (text == "td-height") return Objective::kTimeDomainHeight;
    throw UsageError("--objective " + text + ": one of stat-height, stat-width, td-height");
}

const char* ObjectiveName(Objective objective) {
    switch (objective) {
    case Objective::kStatWidth: return "stat-width";
    case Objective::kTimeDomainHeight: return "td-height";
    case Objective::kStatHeight: break;
    }
    return "stat-height";
}

std::string DescribeObjective(Objective objective, double ber) {
    char text[96];
    switch (objective) {
    case Objective::kStatWidth:
        std::snprintf(text, sizeof text, "statistical eye width at BER %.0e", ber);
        return text;
    case Objective::kTimeDomainHeight: return "time-domain eye height";
    case Objective::kStatHeight: break;
    }
    std::snprintf(text, sizeof text, "statistical eye height at BER %.0e", ber);
    return text;
}

double PointFigures::Value(Objective objective) const {
    switch (objective) {
    case Objective::kStatWidth: return stat_width;
    case Objective::kTimeDomainHeight: return td_height;
    case Objective::kStatHeight: break;
    }
    return stat_height;
}

PointResult RunSweepPoint(const LinkContext& context, const PointSetting& setting, bool keep_json) {
    PointResult result;
    const auto print = [&](const std::string& line) { result.lines.push_back(line); };
    try {
        const LinkRun run =
            RunLink(context.tx, context.rx, context.channel, context.settings, setting.tx, setting.rx, print);
        if (run.has_time_domain) {
            result.figures.td_height = CentreHeight(run.time_domain.eye, run.time_domain.clock);
            result.figures.td_height_best = run.time_domain.eye.eye_height;
            result.figures.td_width = run.time_domain.eye.eye_width;
            if (keep_json) result.time_domain = TimeDomainJson(run);
        }
        if (run.has_statistical) {
            result.figures.stat_height = run.statistical.eye_height;
            result.figures.stat_width = run.statistical.eye_width;
            if (keep_json) result.statistical = StatisticalJson(run);
        }
        result.ok = true;
    } catch (const AmisimError& e) {
        result.error = e.what();
        result.status = e.status();
    } catch (const std::bad_alloc&) {
        result.error = "out of memory";
        result.status = ExitStatus::kUsageOrFile;
    } catch (const std::exception& e) {
        result.error = e.what();
        result.status = ExitStatus::kUsageOrFile;
    }
    return result;
}

bool Ranks(const PointResult& candidate, const PointResult& incumbent, Objective objective) {
    if (!candidate.ok) return false;
    if (!incumbent.ok) return true;
    const double a = candidate.figures.Value(objective), b = incumbent.figures.Value(objective);
    if (std::isnan(a)) return false;
    return std::isnan(b) || a > b;
}

}  // namespace amisim
