#include "tools/amisim/models/block_runner.h"

#include <algorithm>
#include <chrono>
#include <string>

#include "tools/amisim/amisim_error.h"

namespace amisim {

BlockRun RunInBlocks(ModelInstance& session, const std::vector<double>& input,
                     std::size_t block_samples) {
    if (block_samples == 0) throw UsageError("the block size must be at least one sample");
    BlockRun run;
    run.output = input;
    using Clock = std::chrono::steady_clock;
    Clock::duration spent{};
    for (std::size_t start = 0; start < run.output.size(); start += block_samples) {
        const std::size_t count = std::min(block_samples, run.output.size() - start);
        const Clock::time_point before = Clock::now();
        const bool ok = session.GetWave(run.output.data() + start, static_cast<long>(count));
        spent += Clock::now() - before;
        ++run.calls;
        if (!ok)
            throw ModelError("AMI_GetWave failed (returned 0) on samples " + std::to_string(start) +
                             " to " + std::to_string(start + count - 1));
    }
    run.get_wave_seconds = std::chrono::duration<double>(spent).count();
    return run;
}

}  // namespace amisim
