#pragma once
// Names that repeat within one list (nodes, boards, package models), reported
// once for every pair of equal names.

#include <functional>
#include <vector>

// Calls `report` once for every pair (i, j), i < j, of equal names (exact
// case) in `names`, the pairs ordered by i and then by j; it is given the
// name. The work follows the length of the list plus the number of pairs, so
// n equal names cost n(n-1)/2 calls and nothing else grows with the square.
// When memory runs short the names not yet counted escape the check.
void CMN_ReportEqualPairs(const std::vector<const char*>& names, const std::function<void(const char*)>& report);
