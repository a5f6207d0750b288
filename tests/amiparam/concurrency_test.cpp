// Separate model instances initialise on separate threads, each with its own
// reader: readers must not share any state with one another.

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "IbisParser/cmn.h"
#include "amiparam/ami_parameter_reader.h"

namespace {

TEST(ReaderThreads, EightThreadsReadTheirOwnParameters) {
    constexpr int kThreads = 8;
    constexpr int kRounds = 400;
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &wrong] {
            // Each thread's strings differ, and some carry blank runs far
            // beyond one checker line, which the shared skipper would refuse.
            const std::string blanks(200 + 37 * t, ' ');
            for (int round = 0; round < kRounds; ++round) {
                const int emphasis = (t + round) % 7;
                const std::string text = "(korvan_tx" + blanks + "(emphasis " + std::to_string(emphasis) +
                                         ") (Vreg " + std::to_string(t) + ".5)" + blanks + "(corner \"Typ\"))";
                AmiParameterReader reader(text.c_str());
                double e = -1.0, v = -1.0, c = -1.0;
                const bool ok = reader.GetValue(e, "korvan_tx.emphasis") && reader.GetValue(v, "korvan_tx.Vreg");
                const bool corner_failed = !reader.GetValue(c, "korvan_tx.corner");
                if (!ok || e != emphasis || v != t + 0.5 || !corner_failed || c != -1.0) ++wrong;
                AmiParameterReader broken("(korvan_tx (emphasis 1)");
                if (broken.IsValid()) ++wrong;
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(CMN_GetUnlimitedScan(), 0);
}

}  // namespace
