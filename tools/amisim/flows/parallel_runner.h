#pragma once
// Independent tasks on a few worker threads. The tasks write their results
// where the caller keeps them, by index; the calling thread hears of each
// task as it ends, so it alone prints and reports progress.

#include <cstddef>
#include <functional>

namespace amisim {

// The machine's cores (at least one).
unsigned DefaultWorkers();

// Runs task(i) for every i below `count` on min(workers, count) threads and
// calls finished(i) on the calling thread after each, in the order they end.
// A task that throws stops the handing out of new tasks; the exception of
// the lowest such index is rethrown once the running ones are done.
void RunInParallel(std::size_t count, unsigned workers, const std::function<void(std::size_t)>& task,
                   const std::function<void(std::size_t)>& finished = {});

}  // namespace amisim
