#pragma once
// How a model's faults are told: which model, which entry point, what
// happened, and how far the run had got.

#include <cstddef>
#include <string>

namespace amisim::isolation {

// 1234567 as "1,234,567".
std::string Grouped(std::size_t value);

// "the Tx model", or "the model" for a lone model (empty role).
std::string ModelName(const std::string& role);

// What ended a process, from its wait status: "segmentation fault",
// "aborted", "exit status 3".
std::string HowItEnded(int wait_status);

// Where in the run: " after 1,234,567 bits" once bits have passed, else
// nothing.
std::string AfterBits(std::size_t samples, double samples_per_bit);

// "sample 12,345 (bit 771)".
std::string AtSample(std::size_t sample, double samples_per_bit);

}  // namespace amisim::isolation
