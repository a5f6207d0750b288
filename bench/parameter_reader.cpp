// The parameter reader on hostile parameter strings of growing length: the
// fitted complexity (and the time per doubling) shows whether any
// arrangement of quotes and brackets makes AMI_Init's parse super-linear.

#include <benchmark/benchmark.h>

#include <functional>
#include <string>

#include "amiparam/ami_parameter_reader.h"

namespace {

std::string Repeat(const std::string& piece, std::int64_t times) {
    std::string out;
    out.reserve(piece.size() * static_cast<std::size_t>(times));
    for (std::int64_t i = 0; i < times; ++i) out += piece;
    return out;
}

using TextOfSize = std::function<std::string(std::int64_t)>;

void ReadHostile(benchmark::State& state, const TextOfSize& make) {
    const std::string text = make(state.range(0));
    for (auto _ : state) {
        AmiParameterReader reader(text.c_str());
        double emphasis = 0.0;
        benchmark::DoNotOptimize(reader.GetValue(emphasis, "korvan_tx.emphasis"));
    }
    state.SetComplexityN(static_cast<std::int64_t>(text.size()));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void QuotesInsideValues(benchmark::State& state) {
    ReadHostile(state, [](std::int64_t n) { return "(korvan_tx " + Repeat("(a x\"y) ", n) + ")"; });
}
void QuotedValuesSwallowingGroups(benchmark::State& state) {
    ReadHostile(state, [](std::int64_t n) { return "(korvan_tx " + Repeat("(a \"x) ", n) + ")"; });
}
void DeepGroupsClosedInQuotes(benchmark::State& state) {
    ReadHostile(state, [](std::int64_t n) {
        const auto count = static_cast<std::size_t>(n);
        return std::string(count, '(') + "a \"" + std::string(count, ')') + "\"" + std::string(count, ')');
    });
}
void DroppedLeavesWithNestedGroups(benchmark::State& state) {
    ReadHostile(state, [](std::int64_t n) {
        return "(korvan_tx (a " + Repeat("1 (", n) + std::string(static_cast<std::size_t>(n), ')') + "))";
    });
}
void ManyLeavesOfWhichOneIsRead(benchmark::State& state) {
    ReadHostile(state, [](std::int64_t n) { return "(korvan_tx " + Repeat("(p \"1\") ", n) + "(emphasis 4))"; });
}

}  // namespace

BENCHMARK(QuotesInsideValues)->RangeMultiplier(2)->Range(1 << 15, 1 << 18)->Complexity(benchmark::oN);
BENCHMARK(QuotedValuesSwallowingGroups)->RangeMultiplier(2)->Range(1 << 15, 1 << 18)->Complexity(benchmark::oN);
BENCHMARK(DeepGroupsClosedInQuotes)->RangeMultiplier(2)->Range(1 << 16, 1 << 19)->Complexity(benchmark::oN);
BENCHMARK(DroppedLeavesWithNestedGroups)->RangeMultiplier(2)->Range(1 << 16, 1 << 19)->Complexity(benchmark::oN);
BENCHMARK(ManyLeavesOfWhichOneIsRead)->RangeMultiplier(2)->Range(1 << 15, 1 << 18)->Complexity(benchmark::oN);

BENCHMARK_MAIN();
