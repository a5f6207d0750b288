// Eight model instances on eight threads, each with its own parameter
// string, give exactly what each gives when run alone through the per-sample
// graph. Together they run the block path (on whichever kernel the
// processor takes, then on the baseline kernel), alone the graph, so the
// outputs agree bit for bit only if the block path is the graph's equal.
// The instances share nothing; the ThreadSanitizer build (make test-tsan)
// checks that no memory is touched by two threads without order, including
// the error stream the blocks report to, the parameter reader's shared
// helpers and the one-time look at the processor's features.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "ami_driver.h"

namespace {

using hostile::kBitTime;

struct Job {
    std::string parameters;
    double sample_interval = kBitTime / 16;
    std::vector<double> input;
    std::vector<std::size_t> blocks;
    hostile::Run run;
};

std::vector<Job> EightJobs() {
    // Every emphasis setting, every Vreg and corner, two samples-per-bit
    // counts, a string that does not parse (defaults), blank runs far beyond
    // a checker line, and a selection out of range (every call fails and the
    // blocks write to the shared error stream).
    const std::string blanks(300, ' ');
    const char* const texts[8] = {
        "(korvan_tx (emphasis 0) (Vreg 0) (corner 0))",
        "(korvan_tx (emphasis 1) (Vreg 1) (corner 2))",
        "(korvan_tx (emphasis 2) (Vreg 2) (corner 1))",
        "(korvan_tx (emphasis 3) (Vreg 0.6) (corner 1.4))",
        "(korvan_tx (emphasis 4) (Vreg 1) (corner 0)",
        nullptr,
        "(korvan_tx (emphasis 6) (Vreg 2) (corner 3))",
        "(korvan_tx (Vreg 1) (emphasis 5.9) (corner 2) (emphasis 0))",
    };
    std::vector<Job> jobs(8);
    for (std::size_t j = 0; j < jobs.size(); ++j) {
        Job& job = jobs[j];
        job.parameters = texts[j] != nullptr ? texts[j]
                                             : "(korvan_tx" + blanks + "(emphasis 5)" + blanks + "(Vreg \"1\"))";
        const std::size_t samples_per_bit = j % 2 == 0 ? 16 : 8;
        job.sample_interval = kBitTime / static_cast<double>(samples_per_bit);
        job.input = hostile::BitPattern(1500, samples_per_bit, static_cast<unsigned>(j + 11));
        // Short calls for the graph, longer ones for the block path, one
        // longer than a stretch of it.
        job.blocks = {1 + j, 97, 1024, 3 * j + 2, 5000};
        // Every call of the failing job writes one line to the error stream;
        // a few calls are enough to share it with the others.
        if (j == 6) job.blocks = {4096};
    }
    return jobs;
}

void RunJob(Job& job, WavePath path) {
    job.run =
        hostile::RunInstance(job.parameters.c_str(), job.sample_interval, kBitTime, job.input, job.blocks, path);
}

void ExpectSameRun(const hostile::Run& together, const hostile::Run& alone) {
    EXPECT_EQ(together.init, alone.init);
    EXPECT_EQ(together.message, alone.message);
    EXPECT_EQ(together.get_wave, alone.get_wave);
    EXPECT_EQ(together.close, alone.close);
    ASSERT_EQ(together.wave.size(), alone.wave.size());
    EXPECT_EQ(std::memcmp(together.wave.data(), alone.wave.data(), alone.wave.size() * sizeof(double)), 0);
}

TEST(InstanceThreads, EightInstancesOnEightThreadsMatchRunningAlone) {
    std::vector<Job> alone = EightJobs();
    for (Job& job : alone) RunJob(job, WavePath::Graph);

    // Twice over, so that instances also start and end while others run.
    for (int round = 0; round < 2; ++round) {
        std::vector<Job> together = EightJobs();
        std::vector<std::thread> threads;
        const WavePath path = round == 0 ? WavePath::Automatic : WavePath::Baseline;
        for (Job& job : together) threads.emplace_back(RunJob, std::ref(job), path);
        for (std::thread& thread : threads) thread.join();
        for (std::size_t j = 0; j < together.size(); ++j) {
            SCOPED_TRACE("job " + std::to_string(j) + ", round " + std::to_string(round));
            ExpectSameRun(together[j].run, alone[j].run);
        }
    }

    // The jobs differ from one another, so a mix-up between instances would
    // show: every output is its own.
    for (std::size_t j = 1; j < alone.size(); ++j) EXPECT_NE(alone[j].run.wave, alone[j - 1].run.wave) << j;
    EXPECT_EQ(alone[0].run.init, 1);
    EXPECT_EQ(alone[6].run.get_wave.front(), 0);  // corner 3: out of range
}

}  // namespace
