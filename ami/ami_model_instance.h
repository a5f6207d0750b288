#pragma once
// The record a simulator holds between calls, behind the opaque handle. All
// state of one model instance lives here, so separate instances can run on
// separate threads.

#include <cstdint>
#include <string>
#include <vector>

#include "model/korvan_tx.h"

struct AmiModelInstance {
    korvan_tx model;
    // Sentences for the simulator, each ending in a blank. Only ever appended
    // to, so the text pointer handed out by AMI_Init stays meaningful.
    std::string message;
    // Clock times recorded during one AMI_GetWave call, ending in -1.0.
    std::vector<double> clock_list;
    std::int32_t samples_per_bit = 0;
    // Set when AMI_Init has set up and initialised the model; AMI_GetWave
    // refuses to run an instance that never got that far.
    bool ready = false;
};
