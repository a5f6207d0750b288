#pragma once
// What --optimise searches: the values each parameter may take. With
// --sweep options, exactly their parameters and values; without, every
// input parameter the models' .ami files give a range of values
// (Range, List, Increment, Steps), less those the command line pins with
// --param or --rx-param. The reference receiver offers its CTLE peaking:
// its other parameters are its architecture (taps, poles, clock recovery)
// or only scale the signal, which no search should choose by eye height.

#include <string>
#include <vector>

#include "tools/amisim/flows/parameter_grid.h"
#include "tools/amisim/flows/sweep.h"
#include "tools/amisim/models/ami_parameter.h"
#include "tools/amisim/models/link_model.h"

namespace amisim {

// The values a search tries for one declared parameter: every integer of
// an Integer Range (up to 1000 of them); 21 evenly spaced values of any
// other numeric Range; min to max by the step of Increment; min, max and
// the steps between of Steps; the entries of a List. None for other
// formats (a fixed Value, process Corners, tables, jitter), for
// parameters that are not inputs, and for a Range that runs backwards.
std::vector<std::string> SearchValues(const AmiParameter& parameter);

// Throws a usage AmisimError when there is nothing to search.
ParameterGrid SearchGrid(const std::vector<SweepRequest>& sweeps, const LinkModel& tx, const LinkModel* rx);

}  // namespace amisim
