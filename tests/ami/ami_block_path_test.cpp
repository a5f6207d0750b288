// AMI_GetWave on the block path against AMI_GetWave on the per-sample graph:
// nothing a simulator can see may differ, neither the samples nor the
// results, the clock times or the message text.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ami/ami_model_instance.h"
#include "ami_test_support.h"
#include "model/block_convolution.h"

namespace {

struct Seen {
    std::vector<double> wave;
    std::vector<long> results;
    std::vector<std::vector<double>> clock_times;
    std::string message;  // the instance's message text at the end
    std::string errors;   // what the blocks printed
};

Seen Drive(const std::string& parameters, WavePath path, const std::vector<double>& input,
           const std::vector<std::size_t>& calls) {
    Seen seen;
    testing::internal::CaptureStderr();
    {
        amitest::Instance instance(parameters);
        auto* record = static_cast<AmiModelInstance*>(instance.handle);
        record->model.wave_path = path;
        seen.wave = input;
        std::size_t at = 0;
        for (std::size_t c = 0; at < input.size(); ++c) {
            const std::size_t n = std::min(calls[c % calls.size()], input.size() - at);
            std::vector<double> block(seen.wave.begin() + static_cast<long>(at),
                                      seen.wave.begin() + static_cast<long>(at + n));
            seen.results.push_back(instance.GetWave(block));
            seen.clock_times.push_back(instance.clock_times);
            std::copy(block.begin(), block.end(), seen.wave.begin() + static_cast<long>(at));
            at += n;
        }
        // The whole text, with the sentences the failed calls appended.
        seen.message = record->message;
    }
    seen.errors = testing::internal::GetCapturedStderr();
    return seen;
}

TEST(AmiBlockPath, NothingASimulatorSeesDiffersFromTheGraph) {
    const std::vector<double> input = amitest::BitPattern(700, 16, 31);
    const std::vector<std::size_t> calls = {4000, 1, 31, 32, 33, 2047, 2049, 100};
    std::vector<WavePath> paths = {WavePath::Automatic, WavePath::Baseline};
    if (korvan_block::ProcessorHasAvx2()) paths.push_back(WavePath::Avx2);
    // Valid selections, one out of range (every call fails and prints), and
    // a missing parameter (a sentence in the message).
    for (const std::string& parameters :
         {amitest::Parameters(6, 2, 2), amitest::Parameters(3, 0, 1), amitest::Parameters(2, 1, -0.7),
          std::string("(korvan_tx (emphasis 4) (Vreg 1))")}) {
        SCOPED_TRACE(parameters);
        const Seen graph = Drive(parameters, WavePath::Graph, input, calls);
        for (WavePath path : paths) {
            const Seen block = Drive(parameters, path, input, calls);
            EXPECT_EQ(block.results, graph.results);
            EXPECT_EQ(block.clock_times, graph.clock_times);
            EXPECT_EQ(block.message, graph.message);
            EXPECT_EQ(block.errors, graph.errors);
            ASSERT_EQ(block.wave.size(), graph.wave.size());
            EXPECT_EQ(std::memcmp(block.wave.data(), graph.wave.data(), graph.wave.size() * sizeof(double)), 0);
        }
    }
}

}  // namespace
