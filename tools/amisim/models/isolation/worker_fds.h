#pragma once
// What amisim and its model workers agree on besides the frames: the file
// descriptors a worker is handed, the buffers a fault handler can name,
// the exit status of a worker that lost its channel, and how long each
// side stays awake waiting for the other.

#include <chrono>
#include <cstddef>

namespace amisim::isolation {

inline constexpr int kControlFd = 3;
inline constexpr int kMatrixArenaFd = 4;
inline constexpr int kWaveArenaFd = 5;

enum class OverrunBuffer : int { kImpulseMatrix = 0, kWave = 1, kClockTimes = 2 };

// The wave arena holds two wave slots, so that the model can filter one
// block while amisim works on the one before; each slot is a wave region
// followed by its clock-times region.
inline constexpr int kWaveSlots = 2;
inline constexpr std::size_t kWaveArenaRegions = 2 * kWaveSlots;
inline constexpr std::size_t WaveRegion(int slot) { return 2 * static_cast<std::size_t>(slot); }
inline constexpr std::size_t ClockRegion(int slot) { return 2 * static_cast<std::size_t>(slot) + 1; }

// A status no model is likely to choose, for a worker whose channel broke.
inline constexpr int kWorkerLostChannel = 117;

// Waking a process that sleeps in poll() or read() costs 50 to 300 us on
// a virtual machine (its idle CPU has to be woken first), more than a
// whole block of work. So each side, once it has sent a frame, polls for
// the answer without sleeping (yielding the CPU to anyone who wants it)
// for this long, which covers a block's call or a block's channel work,
// and only then sleeps until the answer or the deadline.
inline constexpr std::chrono::microseconds kStayAwake{2000};

inline constexpr const char* kWorkerName = "amisim-model-worker";

}  // namespace amisim::isolation
