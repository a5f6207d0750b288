#pragma once
// A Touchstone 2.0 network written in mixed-mode form ([Mixed-Mode Order]):
// each row and column is a differential or common-mode port of a pair of
// single-ended ports, or a single-ended port as it is. amisim pairs lanes
// itself, so such data are turned back into the single-ended network.

#include <string>
#include <vector>

#include "tools/amisim/channel/network.h"

namespace amisim {

struct MixedModePort {
    enum class Kind { kDifferential, kCommon, kSingle };
    Kind kind = Kind::kSingle;
    int first = 0;   // single-ended port numbers, from 1
    int second = 0;  // 0 for a single-ended port
};

// Reads one entry as files write it: D2,3, C2,3 or S4 (either case).
// Returns false for anything else.
bool ReadMixedModePort(std::string_view word, MixedModePort& port);

// Why the order cannot describe `ports` single-ended ports (each exactly
// once, every pair both as D and C), or empty when it can.
std::string MixedModeOrderProblem(const std::vector<MixedModePort>& order, int ports);

// Replaces each frequency's mixed-mode matrix in `network` (rows and columns
// in `order`) by the single-ended one. The waves of a pair's differential
// and common modes are (a_i - a_j)/sqrt 2 and (a_i + a_j)/sqrt 2 on the
// references twice and half the pair's single-ended one, so the change is
// orthogonal: S = M^T S_mm M.
void ToSingleEnded(Network& network, const std::vector<MixedModePort>& order);

}  // namespace amisim
