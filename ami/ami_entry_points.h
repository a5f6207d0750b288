#pragma once
// The three functions a channel simulator calls, with the prototypes of the
// IBIS-AMI standard: C linkage, `long` sizes and results (a host that
// declares the standard prototype reads the whole register), exported under
// their plain names and nothing else leaving the shared library.

#define KORVAN_AMI_EXPORT __attribute__((visibility("default")))

extern "C" {

// Creates one model instance, reads its parameters and sets it up. Returns 1
// on success, 0 on failure; the handle is written even on failure and must be
// passed to AMI_Close. The impulse response and AMI_parameters_out are left
// untouched.
KORVAN_AMI_EXPORT long AMI_Init(double* impulse_matrix, long row_size, long aggressors,
                                double sample_interval, double bit_time, char* AMI_parameters_in,
                                char** AMI_parameters_out, void** AMI_memory_handle, char** msg);

// Filters wave_size samples of the transmitted waveform in place, continuing
// the waveform of the previous call, and writes the clock-time terminator
// -1.0 into element 0 of clock_times. Returns 1 on success, 0 on failure.
KORVAN_AMI_EXPORT long AMI_GetWave(double* wave, long wave_size, double* clock_times,
                                   char** AMI_parameters_out, void* AMI_memory);

// Finalises and frees an instance. Returns 1 on success, 0 on failure
// (including a null handle).
KORVAN_AMI_EXPORT long AMI_Close(void* AMI_memory);

}  // extern "C"
