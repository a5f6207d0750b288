#pragma once
// The pictures of a link run, as SVG a browser shows: the time-domain eye,
// the statistical eye with its BER contours, the bathtub curve, and the
// pulse response with its cursors.

#include <ostream>
#include <string>

#include "tools/amisim/flows/link_run.h"

namespace amisim {

void WriteTimeDomainEyeSvg(std::ostream& out, const LinkRun& run, const std::string& title,
                           const std::string& parameters);
void WriteStatEyeSvg(std::ostream& out, const LinkRun& run, const std::string& title);
void WriteBathtubSvg(std::ostream& out, const LinkRun& run, const std::string& title);
void WritePulseSvg(std::ostream& out, const LinkRun& run, const std::string& title);

}  // namespace amisim
