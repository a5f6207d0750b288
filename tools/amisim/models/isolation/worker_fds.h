#pragma once
// What amisim and its model workers agree on besides the frames: the file
// descriptors a worker is handed, the buffers a fault handler can name,
// and the exit status of a worker that lost its channel.

namespace amisim::isolation {

inline constexpr int kControlFd = 3;
inline constexpr int kMatrixArenaFd = 4;
inline constexpr int kWaveArenaFd = 5;

enum class OverrunBuffer : int { kImpulseMatrix = 0, kWave = 1, kClockTimes = 2 };

// A status no model is likely to choose, for a worker whose channel broke.
inline constexpr int kWorkerLostChannel = 117;

inline constexpr const char* kWorkerName = "amisim-model-worker";

}  // namespace amisim::isolation
