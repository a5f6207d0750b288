#pragma once
// One point of a sweep or a search: the link run with that point's
// parameters, its figures kept and its failure caught, so that the other
// points go on. Safe to call from several threads at once: each call makes
// its own model instances.

#include <cmath>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/channel/channel.h"
#include "tools/amisim/flows/link_run.h"
#include "tools/amisim/flows/parameter_grid.h"

namespace amisim {

// The figure a sweep or search ranks its points by.
enum class Objective { kStatHeight, kStatWidth, kTimeDomainHeight };
// "stat-height" (also "height"), "stat-width" ("width"), "td-height";
// throws a usage AmisimError for any other.
Objective ParseObjective(const std::string& text);
const char* ObjectiveName(Objective objective);
// "statistical eye height at BER 1e-12"
std::string DescribeObjective(Objective objective, double ber);

struct PointFigures {
    // NaN where the flow did not run.
    double td_height = NAN, td_height_best = NAN, td_width = NAN;
    double stat_height = NAN, stat_width = NAN;
    double Value(Objective objective) const;
};

struct PointResult {
    bool ok = false;
    std::string error;                           // why the point failed
    ExitStatus status = ExitStatus::kSuccess;    // how the failure would end a single run
    std::vector<std::string> lines;              // what the run printed, in order
    PointFigures figures;
    nlohmann::ordered_json time_domain, statistical;  // the --json figures; null when not kept
};

// What every point shares.
struct LinkContext {
    const LinkModel& tx;
    const LinkModel* rx;
    const Channel& channel;
    LinkSettings settings;  // time_domain off for statistical points
};

// Runs the link with `setting` on top of the command line's parameters.
// `keep_json` keeps the figures' JSON (a sweep's table); a search needs
// only the figures.
PointResult RunSweepPoint(const LinkContext& context, const PointSetting& setting, bool keep_json);

// Which of two results ranks higher: the larger objective, a failed point
// never; ties go to the earlier point, so the choice never depends on the
// order in which workers finish.
bool Ranks(const PointResult& candidate, const PointResult& incumbent, Objective objective);

}  // namespace amisim
