#pragma once
// Shared memory that amisim and a model's worker both map: a memory file
// (it has no name, so nothing is left behind however the run ends) laid
// out as regions with an inaccessible guard after each, and one before the
// first. The worker maps the guards without access, so a model that writes
// past a buffer it was handed faults at once instead of scribbling on
// something else; amisim maps everything readable and writable.
//
// A buffer of `count` doubles is placed at the end of its region, so the
// first double past it lies in the guard, or in a 8-byte slack that a
// canary covers (a 16-byte aligned start, as malloc would give, leaves at
// most one double over).

#include <cstddef>
#include <vector>

namespace amisim::isolation {

inline constexpr std::size_t kGuardBytes = std::size_t{64} << 10;

// Where each region lies, from the regions' sizes alone, so both sides
// agree on the layout from the sizes in a message.
struct ArenaLayout {
    explicit ArenaLayout(std::vector<std::size_t> region_bytes);
    std::vector<std::size_t> region_bytes;  // each a whole number of pages
    std::vector<std::size_t> region_offset;
    std::size_t total = 0;

    static std::size_t PagesFor(std::size_t bytes);
};

class GuardedArena {
public:
    // amisim's side: a new memory file holding `regions` regions of a page.
    explicit GuardedArena(std::size_t regions);
    // The worker's side: the memory file it inherited as `fd`, mapped as
    // amisim's side starts.
    GuardedArena(int fd, std::size_t regions);
    ~GuardedArena();
    GuardedArena(const GuardedArena&) = delete;
    GuardedArena& operator=(const GuardedArena&) = delete;

    int fd() const noexcept { return fd_; }
    const ArenaLayout& layout() const noexcept { return layout_; }

    // amisim: makes region `index` hold at least `bytes`; true when the
    // layout changed (the worker must map it again).
    bool Reserve(std::size_t index, std::size_t bytes);
    // The worker: maps `layout` with its guards. Throws on failure.
    void MapWithGuards(const ArenaLayout& layout);

    // The first of `count` doubles placed at the end of region `index`.
    double* Place(std::size_t index, std::size_t count) const;
    // Fills the slack after such a buffer with the canary, and checks it.
    void SetCanary(std::size_t index, std::size_t count) const;
    bool CanaryIntact(std::size_t index, std::size_t count) const;
    // Whether `address` lies in region `index`.
    bool Holds(std::size_t index, const void* address) const noexcept;
    // Which region's guard (or slack) `address` falls in: the region before
    // it, -1 for the leading guard, -2 outside every guard.
    int GuardOf(const void* address) const noexcept;

private:
    void Map(bool guards);
    void Unmap() noexcept;

    int fd_ = -1;
    bool owner_ = false;
    ArenaLayout layout_;
    char* base_ = nullptr;
};

}  // namespace amisim::isolation
