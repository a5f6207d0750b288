#pragma once
// Touchstone network parameter files: version 1.x (.s2p, .s4p, any .sNp:
// the option line "# <unit> S <format> R <ohms>" and the data after it)
// and version 2.0 ([Version] 2.0 and its keywords, one reference impedance
// per port, full or triangular matrices, single-ended or in mixed-mode
// form, which is turned back into single-ended).

#include <complex>
#include <filesystem>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "tools/amisim/channel/network.h"

namespace amisim {

// A Touchstone file's network, its ports' references as the file gives them.
using TouchstoneData = Network;

// Reads the text of a Touchstone file. `ports` is the count the file's
// name gives (0 when it gives none, as for a .ts file): a 1.x file needs
// it, a 2.0 file states its own, which must agree. A 2-port's 1.x point is
// ordered S11 S21 S12 S22; larger networks are written row by row, at most
// four pairs a line, each row on a new line (the count per point decides,
// so longer lines are read too). Throws a usage AmisimError naming
// `source`, the line and the reason when the text is not such a file.
TouchstoneData ReadTouchstoneText(std::string_view text, int ports, const std::string& source);
TouchstoneData ReadTouchstone(std::istream& in, int ports, const std::string& source);
TouchstoneData ReadTouchstoneFile(const std::filesystem::path& path);

// The port count a name such as "channel.s4p" gives, or 0.
int TouchstonePorts(const std::filesystem::path& path);
// Whether the name is a Touchstone file's: .sNp, or .ts (version 2).
bool IsTouchstoneName(const std::filesystem::path& path);

enum class TouchstoneFormat { kMagnitudeAngle, kDecibelAngle, kRealImaginary };

// Writes `data` as version 1.x in the given unit ("Hz", "kHz", "MHz",
// "GHz") and format, so the tests can read back what they wrote in every
// form.
void WriteTouchstone(std::ostream& out, const TouchstoneData& data, const std::string& unit,
                     TouchstoneFormat format);

enum class MatrixFormat { kFull, kLower, kUpper };

// Writes `data` as version 2.0: its per-port references, the matrix in the
// given form (a 2-port in 12_21 order).
void WriteTouchstone2(std::ostream& out, const TouchstoneData& data, MatrixFormat matrix,
                      TouchstoneFormat format = TouchstoneFormat::kRealImaginary);

}  // namespace amisim
