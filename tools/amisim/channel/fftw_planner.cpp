#include "tools/amisim/channel/fftw_planner.h"

namespace amisim {

std::mutex& FftwPlannerMutex() {
    static std::mutex mutex;
    return mutex;
}

}  // namespace amisim
