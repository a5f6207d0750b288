#include "tools/amisim/flows/parallel_runner.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace amisim {

unsigned DefaultWorkers() { return std::max(1u, std::thread::hardware_concurrency()); }

void RunInParallel(std::size_t count, unsigned workers, const std::function<void(std::size_t)>& task,
                   const std::function<void(std::size_t)>& finished) {
    if (count == 0) return;
    workers = static_cast<unsigned>(std::clamp<std::size_t>(workers, 1, count));
    if (workers == 1) {
        // No threads at all: the same order of work as one worker, and a
        // model that is not thread-safe stays on the main thread.
        for (std::size_t i = 0; i < count; ++i) {
            task(i);
            if (finished) finished(i);
        }
        return;
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::size_t next = 0;
    std::size_t running = workers;
    std::deque<std::size_t> ended;
    std::size_t failed_index = count;
    std::exception_ptr failure;

    const auto work = [&] {
        while (true) {
            std::size_t i;
            {
                const std::lock_guard<std::mutex> lock(mutex);
                if (next >= count || failure) break;
                i = next++;
            }
            std::exception_ptr error;
            try {
                task(i);
            } catch (...) {
                error = std::current_exception();
            }
            const std::lock_guard<std::mutex> lock(mutex);
            if (error) {
                if (i < failed_index) {
                    failed_index = i;
                    failure = error;
                }
            } else {
                ended.push_back(i);
            }
            changed.notify_one();
        }
        const std::lock_guard<std::mutex> lock(mutex);
        --running;
        changed.notify_one();
    };

    std::vector<std::thread> threads;
    threads.reserve(workers);
    for (unsigned w = 0; w < workers; ++w) threads.emplace_back(work);
    std::exception_ptr reporting_failure;
    {
        std::unique_lock<std::mutex> lock(mutex);
        while (true) {
            changed.wait(lock, [&] { return !ended.empty() || running == 0; });
            if (ended.empty()) break;
            const std::size_t i = ended.front();
            ended.pop_front();
            if (!finished || reporting_failure) continue;
            lock.unlock();
            try {
                finished(i);
            } catch (...) {
                reporting_failure = std::current_exception();
            }
            lock.lock();
            // Nothing new is handed out once reporting failed.
            if (reporting_failure && !failure) {
                failure = reporting_failure;
                failed_index = count;
            }
        }
    }
    for (std::thread& thread : threads) thread.join();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace amisim
