#pragma once
// FFTW's planner keeps global tables: only fftw_execute may run on several
// threads at once. Every plan is made and destroyed under this lock, so
// sweep workers can each run a link.

#include <mutex>

namespace amisim {

std::mutex& FftwPlannerMutex();

}  // namespace amisim
