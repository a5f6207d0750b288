// Instances share nothing: run side by side on their own threads, each gives
// exactly what it gives alone.

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "ami_test_support.h"

namespace {

struct Job {
    std::string parameters;
    std::vector<double> input;
    std::vector<double> output;
    bool ok = true;
};

void RunJob(Job& job) {
    amitest::Instance instance(job.parameters);
    job.ok = instance.result == 1;
    job.output = job.input;
    // Uneven blocks, as a simulator might hand them over.
    std::size_t at = 0;
    std::size_t size = 1;
    while (at < job.output.size()) {
        const std::size_t n = std::min(size, job.output.size() - at);
        std::vector<double> block(job.output.begin() + static_cast<long>(at),
                                  job.output.begin() + static_cast<long>(at + n));
        job.ok = instance.GetWave(block) == 1 && job.ok;
        std::copy(block.begin(), block.end(), job.output.begin() + static_cast<long>(at));
        at += n;
        size = size * 3 % 997 + 1;
    }
}

TEST(AmiThreads, InstancesOnSeparateThreadsMatchRunningAlone) {
    std::vector<Job> alone;
    for (int j = 0; j < 6; ++j) {
        Job job;
        job.parameters = amitest::Parameters(j, j % 3, (j + 1) % 3);
        job.input = amitest::BitPattern(1500, 16, static_cast<unsigned>(j + 1));
        alone.push_back(job);
    }
    std::vector<Job> together = alone;
    for (Job& job : alone) RunJob(job);

    std::vector<std::thread> threads;
    for (Job& job : together) threads.emplace_back(RunJob, std::ref(job));
    for (std::thread& thread : threads) thread.join();

    for (std::size_t j = 0; j < alone.size(); ++j) {
        EXPECT_TRUE(alone[j].ok);
        EXPECT_TRUE(together[j].ok);
        EXPECT_EQ(together[j].output, alone[j].output) << "job " << j;
    }
}

}  // namespace
