#pragma once
// The smoke run of the benchmarks (tools/bench_smoke.sh) runs every one of
// them once, at its smallest size, so that a benchmark that no longer works
// is noticed before it lands. A benchmark that fixes its own number of
// iterations asks this for it: one during the smoke run, `iterations`
// otherwise.

#include <cstdint>
#include <cstdlib>

namespace korvan_bench {

inline std::int64_t IterationsOr(std::int64_t iterations) {
    return std::getenv("KORVAN_BENCH_SMOKE") != nullptr ? 1 : iterations;
}

}  // namespace korvan_bench
