#pragma once
// Touchstone 1.x network parameter files (.s2p, .s4p, any .sNp): the option
// line "# <unit> S <format> R <ohms>" and the data lines after it.

#include <complex>
#include <filesystem>
#include <istream>
#include <string>
#include <vector>

#include "tools/amisim/channel/network.h"

namespace amisim {

// A Touchstone file's network, its ports' references as the file gives them.
using TouchstoneData = Network;

// Reads a file of `ports` ports. A 2-port's line is ordered S11 S21 S12 S22
// (by columns); larger networks are written row by row, at most four pairs
// a line. Throws a usage AmisimError naming `source`, the line and the
// reason when the text is not such a file.
TouchstoneData ReadTouchstone(std::istream& in, int ports, const std::string& source);
TouchstoneData ReadTouchstoneFile(const std::filesystem::path& path);

// The port count a name such as "channel.s4p" gives, or 0.
int TouchstonePorts(const std::filesystem::path& path);

enum class TouchstoneFormat { kMagnitudeAngle, kDecibelAngle, kRealImaginary };

// Writes `data` in the given unit ("Hz", "kHz", "MHz", "GHz") and format,
// so the tests can read back what they wrote in every form.
void WriteTouchstone(std::ostream& out, const TouchstoneData& data, const std::string& unit,
                     TouchstoneFormat format);

}  // namespace amisim
